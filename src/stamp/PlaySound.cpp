#include "stamp/PlaySound.h"

#include "host/SoundPlayer.h"

namespace bas_Api {

bool PlaySound(
    host::SoundPlayer &player, const QString &soundName, qint16 async, qint16 noDefault, qint16 loop)
{
    quint32 flags = 0;
    if (async != 0)
        flags += host::SoundPlayer::Async;
    if (noDefault != 0)
        flags += host::SoundPlayer::NoDefault;
    if (loop != 0)
        flags += host::SoundPlayer::Loop;
    // A sound that cannot be played is never worth interrupting the user for.
    try {
        return player.play(soundName, flags);
    } catch (...) {
        return false;
    }
}

} // namespace bas_Api
