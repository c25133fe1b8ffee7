#include "Worker.h"

#include <chrono>
#include <thread>

namespace registry {

namespace {
constexpr auto kLongestEnd = std::chrono::milliseconds(200);
}

Worker::Worker(std::function<void()> atEnd) : m_shared(std::make_shared<Shared>())
{
    m_shared->atEnd = std::move(atEnd);
    std::thread(loop, m_shared).detach();
}

Worker::~Worker()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->stopping = true;
    m_shared->changed.notify_all();
    m_shared->changed.wait_for(lock, kLongestEnd, [&] { return m_shared->ended; });
}

bool Worker::run(std::function<void()> job, int waitMs)
{
    auto entry = std::make_shared<Job>();
    entry->work = std::move(job);
    std::unique_lock lock(m_shared->mutex);
    m_shared->jobs.push_back(entry);
    m_shared->changed.notify_all();
    const bool done
        = m_shared->changed.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return entry->done; });
    if (!done)
        entry->abandoned = true;
    return done;
}

void Worker::loop(std::shared_ptr<Shared> shared)
{
    std::unique_lock lock(shared->mutex);
    for (;;) {
        shared->changed.wait(lock, [&] { return shared->stopping || !shared->jobs.empty(); });
        if (shared->stopping) {
            lock.unlock();
            shared->atEnd();
            lock.lock();
            shared->ended = true;
            shared->changed.notify_all();
            return;
        }
        const std::shared_ptr<Job> job = shared->jobs.front();
        shared->jobs.pop_front();
        if (job->abandoned)
            continue;
        lock.unlock();
        job->work();
        lock.lock();
        job->done = true;
        shared->changed.notify_all();
    }
}

} // namespace registry
