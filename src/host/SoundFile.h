#pragma once

#include <QByteArray>
#include <QString>

namespace host {

// The largest sound file played. A stamp's sound is a few kilobytes; a
// file far larger is no stamp sound, and is never read.
inline constexpr qint64 kSoundFileLimitBytes = 4 * 1024 * 1024;

// Whether `path` is a regular file (not a link, FIFO or device) of at most
// kSoundFileLimitBytes. Never waits.
bool isPlayableSoundFile(const QString &path);

// The bytes of a playable sound file, read once and never more than the
// limit, even from a file that grows meanwhile; empty otherwise.
QByteArray readSoundFile(const QString &path);

// An absolute name as it is; a bare one looked up in the working folder, the
// program's folder, then the application's data folders. A candidate that is
// not playable is passed over. Empty when none is found.
QString findSoundFile(const QString &name, const QString &programFolder);

} // namespace host
