#pragma once

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include <functional>
#include <memory>

namespace app {

// Runs `call` on the GUI thread soon, unless `receiver` is gone by then; from
// any thread.
inline void PostToGui(const QPointer<QObject> &receiver, std::function<void()> call)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [receiver, call = std::move(call)] {
            if (receiver)
                call();
        },
        Qt::QueuedConnection);
}

// Runs `work` on a thread of its own, then `done` with its result on the GUI
// thread, unless `receiver` is gone by then. Nothing waits for the thread:
// whatever `work` uses it must own (shared pointers), so that a window closed
// while it runs neither waits nor pulls anything from under it.
template<class Result>
void RunInBackground(QObject *receiver, std::function<Result()> work, std::function<void(Result)> done)
{
    const QPointer<QObject> alive(receiver);
    QThread *thread = QThread::create([alive, work = std::move(work), done = std::move(done)] {
        auto result = std::make_shared<Result>(work());
        PostToGui(alive, [result, done] { done(std::move(*result)); });
    });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

} // namespace app
