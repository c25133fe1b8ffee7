#pragma once

#include <QByteArray>
#include <QString>

namespace host {

// Text files are written in the system's code page: UTF-8 on Linux and
// macOS, the ANSI code page (Shift_JIS on Japanese Windows) on Windows.
QByteArray encodeSystemText(const QString &text);
QString decodeSystemText(const QByteArray &bytes);

// Reading is more forgiving than writing: a UTF-8 byte-order mark is skipped,
// and bytes that are not valid UTF-8 are read as Shift_JIS, so files written
// on a Japanese Windows system still load.
QString decodeTextFile(const QByteArray &bytes);

} // namespace host
