#include "SoundPlayer.h"

#include "CloseOnTerminate.h"
#include "Module.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace host {

namespace {

// A stamp sound heard later than this after the press would only puzzle.
constexpr qint64 kLatestStartMs = 2000;
// How long closing the program waits for the sound thread to wind down.
constexpr int kWindDownMs = 1000;

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

// Owns the sound module's player; everything that may wait on the sound
// server runs here, one request at a time.
class SoundThread final : public QThread {
public:
    SoundThread() { m_context.moveToThread(this); }

    void request(const QString &path, quint32 flags)
    {
        QElapsedTimer asked;
        asked.start();
        QMetaObject::invokeMethod(
            &m_context, [this, path, flags, asked] { playNow(path, flags, asked); }, Qt::QueuedConnection);
    }

    bool hasOutput() const { return m_hasOutput; }

protected:
    void run() override
    {
        exec();
        m_player.reset();
    }

private:
    void playNow(const QString &path, quint32 flags, const QElapsedTimer &asked)
    {
        try {
            if (!m_player)
                m_player.reset(m_module.function<MakeSoundPlayer>(kMakeSoundPlayer)());
            if (asked.elapsed() > kLatestStartMs)
                return;
            m_hasOutput = m_player->play(path, flags);
        } catch (...) {
            // A missing module or a failing backend is silence, never a message.
            m_hasOutput = false;
        }
    }

    QObject m_context; // lives on this thread: queued requests run here
    Module m_module {QStringLiteral("qvanto_sound")};
    std::unique_ptr<SoundPlayer> m_player;
    std::atomic<bool> m_hasOutput {true};
};

QtSoundPlayer::QtSoundPlayer(QString programFolder) : m_programFolder(std::move(programFolder)) { }

QtSoundPlayer::~QtSoundPlayer()
{
    if (!m_thread)
        return;
    m_thread->quit();
    if (m_thread->wait(QDeadlineTimer(kWindDownMs)))
        return;
    // The thread still waits on a sound server that never answers, holding a
    // lock of Qt Multimedia whose exit handler would then wait for it too.
    // It is left running, and the process, whose window is closed and whose
    // settings are saved by now, ends before the library exit handlers run:
    // a handler registered now runs ahead of those registered earlier.
    (void)m_thread.release();
    std::atexit([] {
        std::fflush(nullptr);
        std::_Exit(0);
    });
}

bool QtSoundPlayer::play(const QString &name, quint32 flags)
{
    const QString path = findSound(name, m_programFolder);
    if (path.isEmpty()) {
        if (!(flags & NoDefault))
            QApplication::beep();
        return false;
    }
    // A stamp finished while the session ends (its "error" box was open)
    // would otherwise bring up the sound server only to hold up the exit.
    if (TerminationRequested())
        return false;
    if (!m_thread) {
        m_thread = std::make_unique<SoundThread>();
        m_thread->start();
    }
    m_thread->request(path, flags);
    return m_thread->hasOutput();
}

} // namespace host
