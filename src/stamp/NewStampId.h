#pragma once

#include <QString>

namespace host {
class Clock;
}

namespace bas_QVanto {

// What the numbering keeps for the whole run; every start begins afresh.
struct StampIdState {
    QString LastTimePart;
    qint32 RepeatCount = 0;
};

// What row 4 holds until the first stamp; never a number.
inline const QString PlaceholderStampId = QStringLiteral("QVANTOID");

// A new stamp identification number: the seconds since 1 January 1998 local
// time in base 36, then a two-digit base-36 repeat counter. Each number is
// greater than the last one issued (compared as base-36 numbers, the time
// part first): while the clock runs forward they are the clock's own; after
// it steps back they count on from the last one until it catches up.
QString NewStampId(StampIdState &state, host::Clock &clock);

// Makes the next number greater than `issued` as well, such as the last
// number in the stamp log. Anything that is not a number is passed over.
void ContinueAfter(StampIdState &state, const QString &issued);

} // namespace bas_QVanto
