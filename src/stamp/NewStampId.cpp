#include "stamp/NewStampId.h"

#include "host/Clock.h"
#include "host/HostError.h"

#include <cmath>

namespace bas_QVanto {

namespace {

// 1 January 1998 in the host's day count (days since 30 December 1899).
constexpr qint32 FirstDay = 35796;
constexpr qint32 LastRepeatCount = 36 * 36 - 1;
// Long enough for any running clock to reach the next second, short enough
// that a stopped clock does not look like a hung program.
constexpr qint64 GiveUpAfterMs = 2000;

// 0-9, then upper-case A-Z.
QLatin1Char base36Digit(qint64 value)
{
    return QLatin1Char(static_cast<char>(value < 10 ? '0' + value : 'A' + (value - 10)));
}

// Exact halves go to the even neighbour, whatever the floating-point
// environment's rounding mode is.
qint64 roundHalfToEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    qint64 result = static_cast<qint64>(below);
    if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0))
        ++result;
    return result;
}

// Seconds since 1 January 1998 local time. 64-bit, so the count goes on past
// January 2066 instead of overflowing.
qint64 secondsSince1998(const host::Clock &clock)
{
    const qint32 today = clock.Date();
    const double sinceMidnight = clock.Timer();
    return roundHalfToEven(static_cast<double>(today - FirstDay) * 86400.0 + sinceMidnight);
}

// Most significant digit first, no leading zeros; empty for 0 and below.
QString timePart(qint64 seconds)
{
    QString digits;
    while (seconds > 0) {
        digits.prepend(base36Digit(seconds % 36));
        seconds /= 36;
    }
    return digits;
}

QString counterPart(qint32 repeatCount)
{
    QString digits;
    digits += base36Digit(repeatCount / 36 % 36);
    digits += base36Digit(repeatCount % 36);
    return digits;
}

} // namespace

QString NewStampId(StampIdState &state, host::Clock &clock)
{
    const qint64 startedMs = clock.monotonicMs();
    for (;;) {
        const QString time = timePart(secondsSince1998(clock));
        if (time != state.LastTimePart) {
            state.LastTimePart = time;
            state.RepeatCount = 0;
            return time + counterPart(state.RepeatCount);
        }
        if (state.RepeatCount < LastRepeatCount) {
            ++state.RepeatCount;
            return time + counterPart(state.RepeatCount);
        }
        // Every counter value of this second is used: wait for the next
        // second, yielding the processor between readings.
        if (clock.monotonicMs() - startedMs >= GiveUpAfterMs)
            throw host::HostError(host::HostError::General,
                QStringLiteral("The clock does not advance: no new stamp "
                               "identification number can be made."));
        clock.pause(1);
    }
}

} // namespace bas_QVanto
