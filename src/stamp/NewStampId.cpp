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
// January 2066 instead of overflowing. Date and time come from one reading,
// so a number made at midnight cannot pair one day's date with the next
// day's time.
qint64 secondsSince1998(const host::Clock &clock)
{
    const QDateTime now = clock.now();
    const qint32 today = host::Clock::dayNumber(now.date());
    const double sinceMidnight = host::Clock::secondsSinceMidnight(now.time());
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

// Base-36 texts compared as numbers: leading zeros aside, the longer is
// greater, and digits sort as their characters do.
int compareBase36(QStringView a, QStringView b)
{
    while (a.startsWith(QLatin1Char('0')))
        a = a.mid(1);
    while (b.startsWith(QLatin1Char('0')))
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

QString nextTimePart(const QString &time)
{
    QString next = time;
    for (qsizetype i = next.size() - 1; i >= 0; --i) {
        if (next[i] != QLatin1Char('Z')) {
            next[i] = next[i] == QLatin1Char('9') ? QLatin1Char('A') : QChar(next[i].unicode() + 1);
            return next;
        }
        next[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + next;
}

bool isBase36(QStringView text)
{
    for (QChar c : text)
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))))
            return false;
    return true;
}

qint32 digitValue(QChar c)
{
    return c <= QLatin1Char('9') ? c.unicode() - '0' : c.unicode() - 'A' + 10;
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
        const int order = compareBase36(time, state.LastTimePart);
        if (order > 0) {
            state.LastTimePart = time;
            state.RepeatCount = 0;
            return time + counterPart(state.RepeatCount);
        }
        if (state.RepeatCount < LastRepeatCount) {
            ++state.RepeatCount;
            return state.LastTimePart + counterPart(state.RepeatCount);
        }
        // The clock stands behind the last number (set back, or summer time
        // ended): waiting for it could take an hour, so the numbers run
        // ahead of it until it catches up.
        if (order < 0) {
            state.LastTimePart = nextTimePart(state.LastTimePart);
            state.RepeatCount = 0;
            return state.LastTimePart + counterPart(state.RepeatCount);
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

void ContinueAfter(StampIdState &state, const QString &issued)
{
    if (issued.size() < 2 || issued == PlaceholderStampId || !isBase36(issued))
        return;
    const QString time = issued.left(issued.size() - 2);
    const qint32 count = digitValue(issued[issued.size() - 2]) * 36 + digitValue(issued[issued.size() - 1]);
    const int order = compareBase36(time, state.LastTimePart);
    if (order > 0 || (order == 0 && count > state.RepeatCount)) {
        state.LastTimePart = time;
        state.RepeatCount = count;
    }
}

} // namespace bas_QVanto
