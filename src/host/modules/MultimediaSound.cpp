// The sound module: plays sound files through Qt Multimedia. Loaded on the
// first sound, on the sound thread, so neither its libraries nor the
// connection to the sound server are part of start-up or of a stamp.
#include "host/SoundPlayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <memory>

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
        // A fresh player for every sound: Qt 6.4's player, played again and
        // again on PulseAudio, falls silent after some eight sounds while it
        // still reports playing. The sample itself is cached by Qt, so a new
        // player costs no decoding; the one before stops with it, as a sound
        // played anew always has.
        auto next = std::make_unique<QSoundEffect>();
        next->setSource(QUrl::fromLocalFile(path));
        next->setLoopCount((flags & Loop) ? QSoundEffect::Infinite : 1);
        // QSoundEffect plays asynchronously; a sound still loading starts when ready.
        next->play();
        // Replaced only now, so the samples the two share stay loaded.
        m_effect = std::move(next);
        return true;
    }

    void prepare(const QString &path) override
    {
        if (m_effect || QMediaDevices::audioOutputs().isEmpty())
            return;
        // Loading the source reads and decodes the samples, which the next
        // player of the same sound then finds done.
        m_effect = std::make_unique<QSoundEffect>();
        m_effect->setSource(QUrl::fromLocalFile(path));
    }

private:
    // Kept alive between calls: an asynchronous sound plays on after play() returns.
    std::unique_ptr<QSoundEffect> m_effect;
};

} // namespace

extern "C" Q_DECL_EXPORT host::SoundPlayer *qvanto_make_sound_player()
{
    // Reaching the sound server is the slow part; done here, before the
    // first request is checked for having waited too long.
    QMediaDevices::audioOutputs();
    return new MultimediaSoundPlayer;
}
