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

// The inverse of the numbering; nothing for text that is not an upper-case
// base-36 number of at least the two counter digits.
std::optional<DecodedStampId> DecodeStampId(const QString &id);

// Every record of the stamp log that carries the number: its first two
// lines, joined by a line break. A log that cannot be read has none.
QStringList StampRecords(const QString &logPath, const QString &id);

// The answer shown to the user when asked about a number.
QString StampLookupReport(const QString &id, const QString &logPath);

} // namespace stamp
