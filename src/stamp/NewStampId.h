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

// A new stamp identification number: the seconds since 1 January 1998 local
// time in base 36, then a two-digit base-36 repeat counter.
QString NewStampId(StampIdState &state, host::Clock &clock);

} // namespace bas_QVanto
