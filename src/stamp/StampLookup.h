#pragma once

#include <QDateTime>
#include <QStringList>
#include <optional>

namespace stamp {

// What an identification number's digits say: the local date and time of
// the second it was made in, and how many numbers came before it in that
// second.
struct DecodedStampId {
    QDateTime madeAt;
    int repeatCount = 0;
};

// The inverse of the numbering; nothing for text that is not a base-36
// number of at least the two counter digits (upper or lower case).
std::optional<DecodedStampId> DecodeStampId(const QString &id);

// Every record of the stamp log that carries the number: its first two
// lines, joined by a line break. The whole log is read as a stream; a log
// that cannot be read, or is no regular file, has none.
QStringList StampRecords(const QString &logPath, const QString &id);

// What a typed number says, for the user: the time it encodes (saying so
// when that lies after `now`), or why it is no number (the placeholder row 4
// shows before a stamp); *isNumber tells which.
QString DescribeStampId(const QString &id, const QDateTime &now, bool *isNumber);

// The answer shown to the user when asked about a number at the time `now`:
// what it encodes (saying so when that lies in the future) and its records,
// or why it is no number (the placeholder row 4 shows before a stamp).
QString StampLookupReport(const QString &id, const QString &logPath, const QDateTime &now);

} // namespace stamp
