#pragma once

#include "host/Clock.h"

#include <functional>

namespace fakes {

// A clock that stands where the test puts it. Each read can advance it by a
// fixed step; pause() advances the monotonic time (and the local time too,
// unless the clock is told to stand still).
//
// The program reads only the date and time a clock shows, so the fake keeps
// them as given, free of the machine's time zone: steps never cross a summer
// time change that would make them jump an hour.
class FakeClock final : public host::Clock {
public:
    explicit FakeClock(const QDateTime &start = QDateTime(QDate(2026, 12, 7), QTime(9, 0)))
        : m_now(asShown(start))
    {
    }

    QDateTime now() const override
    {
        QDateTime result = m_now;
        m_now = m_now.addMSecs(stepPerReadMs);
        ++reads;
        return result;
    }
    qint64 monotonicMs() const override { return m_monotonicMs; }
    void pause(int ms) override
    {
        m_monotonicMs += ms;
        ++pauses;
        if (!standsStill)
            m_now = m_now.addMSecs(ms);
    }

    void set(const QDateTime &when) { m_now = asShown(when); }

    // The date and time as the clock shows them, in no time zone.
    static QDateTime asShown(const QDateTime &when) { return QDateTime(when.date(), when.time(), Qt::UTC); }

    qint64 stepPerReadMs = 0;
    bool standsStill = false;
    mutable int reads = 0;
    int pauses = 0;

private:
    mutable QDateTime m_now;
    qint64 m_monotonicMs = 0;
};

} // namespace fakes
