#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

// Ends the event loop once the watched window's first frame is painted. With
// QVANTO_STARTUP_TRACE set it also writes when ("painted"), as the program's
// own trace does, so that the floors' first frame is timed like the
// program's, not only their whole run, whose end includes the teardown.
class QuitAfterFirstPaint : public QObject {
public:
    explicit QuitAfterFirstPaint(QWidget *window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // The window paints before its children: the frame is whole,
            // every caption drawn, when the event loop next comes round.
            QTimer::singleShot(0, QCoreApplication::instance(), [] {
                traceFrameDone();
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static void traceFrameDone()
    {
        if (!std::getenv("QVANTO_STARTUP_TRACE"))
            return;
        timespec now {};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::fprintf(stderr, "qvanto-trace painted %lld\n",
            static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    }

    bool m_seen = false;
};
