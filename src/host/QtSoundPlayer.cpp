#include "SoundPlayer.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QUrl>

namespace host {

class QtSoundPlayerPrivate {
public:
    // Kept alive between calls: an asynchronous sound plays on after play() returns.
    QSoundEffect effect;
    QString loadedPath;
};

QtSoundPlayer::QtSoundPlayer(QString programFolder) : m_programFolder(std::move(programFolder)) { }

QtSoundPlayer::~QtSoundPlayer() = default;

namespace {

QString findSound(const QString &name, const QString &programFolder)
{
    if (QFileInfo(name).isAbsolute())
        return QFileInfo(name).isFile() ? name : QString();
    QStringList folders {QDir::currentPath(), programFolder};
    folders += QStandardPaths::locateAll(
        QStandardPaths::AppDataLocation, QString(), QStandardPaths::LocateDirectory);
    for (const QString &folder : folders) {
        const QFileInfo candidate(QDir(folder), name);
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

} // namespace

bool QtSoundPlayer::play(const QString &name, quint32 flags)
{
    const QString path = findSound(name, m_programFolder);
    if (path.isEmpty()) {
        if (!(flags & NoDefault))
            QApplication::beep();
        return false;
    }
    // With no sound server or device the sound cannot start: say so, as the
    // classic call does, instead of handing it to a player that drops it.
    if (QMediaDevices::audioOutputs().isEmpty())
        return false;
    // Made on the first stamp, not at start-up: the audio backend takes a
    // while to connect and a window that never stamps does not need it.
    if (!d)
        d = std::make_unique<QtSoundPlayerPrivate>();
    if (path != d->loadedPath) {
        d->effect.setSource(QUrl::fromLocalFile(path));
        d->loadedPath = path;
    }
    d->effect.setLoopCount((flags & Loop) ? QSoundEffect::Infinite : 1);
    d->effect.stop();
    // QSoundEffect plays asynchronously; a sound still loading starts when ready.
    d->effect.play();
    return true;
}

} // namespace host
