#pragma once

#include <QDateTime>

namespace host {

// The local clock, plus the monotonic time and pause that waiting loops need.
// Tests replace it with a fixed or scripted clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Milliseconds from an arbitrary start; never goes back.
    virtual qint64 monotonicMs() const = 0;
    virtual void pause(int ms) = 0;

    // Today as days since 30 December 1899 (the host's day count).
    qint32 Date() const { return dayNumber(now().date()); }
    // Seconds since local midnight, with the fraction of a second.
    double Timer() const { return secondsSinceMidnight(now().time()); }

    static qint32 dayNumber(const QDate &date)
    {
        return static_cast<qint32>(QDate(1899, 12, 30).daysTo(date));
    }
    static double secondsSinceMidnight(const QTime &time) { return time.msecsSinceStartOfDay() / 1000.0; }
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    qint64 monotonicMs() const override;
    void pause(int ms) override;
};

} // namespace host
