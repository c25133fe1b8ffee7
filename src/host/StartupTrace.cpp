#include "StartupTrace.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace host {

namespace {

bool tracing()
{
    static const bool on = std::getenv("QVANTO_STARTUP_TRACE") != nullptr;
    return on;
}

// Watches the whole application: the expose event goes to the window's
// QWindow, which the widget makes only when it is shown.
class FirstPaintWatch final : public QObject {
public:
    explicit FirstPaintWatch(QWidget *window) : QObject(window), m_window(window) { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType() && !m_mapped) {
            m_mapped = true;
            startupMark("mapped");
        } else if (event->type() == QEvent::Paint && watched == m_window) {
            startupMark("first-paint");
            QCoreApplication::instance()->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QWidget *m_window;
    bool m_mapped = false;
};

} // namespace

void startupMark(const char *milestone)
{
    if (!tracing())
        return;
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "qvanto-trace %s %lld\n", milestone,
        static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
}

void traceFirstPaint(QWidget *window)
{
    if (tracing())
        QCoreApplication::instance()->installEventFilter(new FirstPaintWatch(window));
}

} // namespace host
