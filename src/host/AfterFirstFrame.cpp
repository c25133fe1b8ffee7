#include "AfterFirstFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace host {

namespace {

class FirstFrameWatch final : public QObject {
public:
    FirstFrameWatch(QWidget *window, std::function<void()> work) : QObject(window), m_work(std::move(work))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // The window paints before its children: the frame is whole when
            // the event loop next comes round.
            QTimer::singleShot(0, this, [this] {
                m_work();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> m_work;
};

} // namespace

void afterFirstFrame(QWidget *window, std::function<void()> work)
{
    new FirstFrameWatch(window, std::move(work));
}

} // namespace host
