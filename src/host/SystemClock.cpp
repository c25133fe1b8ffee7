#include "Clock.h"

#include <QThread>
#include <chrono>

namespace host {

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

qint64 SystemClock::monotonicMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::pause(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
}

} // namespace host
