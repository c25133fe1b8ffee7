#pragma once

#include <QString>

namespace host {
class SoundPlayer;
}

namespace bas_Api {

// Plays a sound by name; each switch counts as on when non-zero: play
// asynchronously (1), no default sound (2), loop (8). Reports nothing.
bool PlaySound(
    host::SoundPlayer &player, const QString &soundName, qint16 async, qint16 noDefault, qint16 loop);

} // namespace bas_Api
