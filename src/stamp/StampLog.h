#pragma once

#include <QString>
#include <array>

namespace host {
class Clock;
class RegularFile;
} // namespace host

namespace stamp {

// One record of the stamp log:
//   QVID:<number>,yyyy/MM/dd HH:mm:ss<space>
//   <four spaces><row 0>,<row 1>,<row 2>,<row 3>
//   <empty line>
// Lines end in CR LF and are in the system's code page; texts are written as
// they stand. The time is read as the record is made.
QByteArray StampLogRecord(
    const QString &stampId, const std::array<QString, 4> &rows, const host::Clock &clock);

// The number of the log's last whole record, read from the end of the file
// only; empty when there is none or the log cannot be read. A record whose
// number is damaged (too long to be one, or holding anything but base-36
// digits) is passed over for the one before it.
QString LastLoggedStampId(const QString &path);
// The same from a log already open; throws host::HostError when it cannot
// be read.
QString LastLoggedStampId(const host::RegularFile &log);

} // namespace stamp
