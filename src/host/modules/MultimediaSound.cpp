// The sound module: plays sound files through Qt Multimedia. Loaded on the
// first sound, on the sound thread, so neither its libraries nor the
// connection to the sound server are part of start-up or of a stamp.
#include "host/SoundPlayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace {

class MultimediaSoundPlayer final : public host::SoundPlayer {
public:
    bool play(const QString &path, quint32 flags) override
    {
        // With no sound server or device the sound cannot start: say so, as
        // the classic call does, instead of handing it to a player that
        // drops it.
        if (QMediaDevices::audioOutputs().isEmpty())
            return false;
        if (path != m_loadedPath) {
            m_effect.setSource(QUrl::fromLocalFile(path));
            m_loadedPath = path;
        }
        m_effect.setLoopCount((flags & Loop) ? QSoundEffect::Infinite : 1);
        m_effect.stop();
        // QSoundEffect plays asynchronously; a sound still loading starts when ready.
        m_effect.play();
        return true;
    }

private:
    // Kept alive between calls: an asynchronous sound plays on after play() returns.
    QSoundEffect m_effect;
    QString m_loadedPath;
};

} // namespace

extern "C" Q_DECL_EXPORT host::SoundPlayer *qvanto_make_sound_player()
{
    // Reaching the sound server is the slow part; done here, before the
    // first request is checked for having waited too long.
    QMediaDevices::audioOutputs();
    return new MultimediaSoundPlayer;
}
