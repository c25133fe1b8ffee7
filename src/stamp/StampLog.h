#pragma once

#include <QString>
#include <array>

namespace host {
class Clock;
}

namespace stamp {

// Appends one record to the stamp log, creating the file if it is missing:
//   QVID:<number>,yyyy/MM/dd HH:mm:ss<space>
//   <four spaces><row 0>,<row 1>,<row 2>,<row 3>
//   <empty line>
// Lines end in CR LF and are in the system's code page; texts are written as
// they stand. The time is read as the first line is written. Throws
// host::HostError when the file cannot be opened, written or closed; lines
// written before the failure stay in the file.
void appendStampLogRecord(const QString &path, const QString &stampId, const std::array<QString, 4> &rows,
    const host::Clock &clock);

} // namespace stamp
