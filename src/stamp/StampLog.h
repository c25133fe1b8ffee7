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
// they stand. The time is read as the record is made. The record is written
// whole or not at all: throws host::HostError when the file is no regular
// file or cannot be opened or written, leaving it as it was.
void appendStampLogRecord(const QString &path, const QString &stampId, const std::array<QString, 4> &rows,
    const host::Clock &clock);

// The number of the log's last record, read from the end of the file only;
// empty when there is none or the log cannot be read.
QString LastLoggedStampId(const QString &path);

} // namespace stamp
