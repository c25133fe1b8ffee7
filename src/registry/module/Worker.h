#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace registry {

// One thread of its own that runs jobs in order: the database connection
// lives there, so a server that hangs holds up this thread only. A caller
// waits for its job at most as long as it says; a job given up on before it
// starts is skipped. The thread is left to end with the process, as it may
// be stuck in a connection that no one can cut short.
class Worker {
public:
    // atEnd runs on the thread once it is told to stop, after the jobs
    // still waiting are passed over.
    explicit Worker(std::function<void()> atEnd);
    // Waits a moment for the thread to run atEnd, never longer.
    ~Worker();
    // Runs job on the worker; true when it finished within waitMs.
    bool run(std::function<void()> job, int waitMs);

private:
    struct Job {
        std::function<void()> work;
        bool abandoned = false;
        bool done = false;
    };
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::shared_ptr<Job>> jobs;
        bool stopping = false;
        bool ended = false;
        std::function<void()> atEnd;
    };
    static void loop(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> m_shared;
};

} // namespace registry
