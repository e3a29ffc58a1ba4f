#include "ParallelFor.h"

#include <QGlobalStatic>
#include <QThreadPool>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

namespace {

// What the caller and its helpers share. Helpers hold it by shared pointer,
// since a helper the pool starts late may find the caller long gone; it then
// finds no index left and never touches the body.
class Run
{
public:
    Run(int count, const std::function<void(int)>& body)
        : m_count(count)
        , m_body(&body)
    {
    }

    // Takes indices until none is left.
    void work()
    {
        for (int i = m_next.fetch_add(1); i < m_count; i = m_next.fetch_add(1)) {
            if (!m_failed.load(std::memory_order_relaxed)) {
                try {
                    (*m_body)(i);
                } catch (...) {
                    fail(std::current_exception());
                }
            }
            if (m_finished.fetch_add(1) + 1 == m_count) {
                const std::lock_guard<std::mutex> lock(m_mutex);
                m_allFinished.notify_all();
            }
        }
    }

    // Waits for the indices other threads are still working on.
    void wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_allFinished.wait(lock, [this] { return m_finished.load() == m_count; });
        if (m_error)
            std::rethrow_exception(m_error);
    }

private:
    void fail(std::exception_ptr error)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_error)
            m_error = std::move(error);
        m_failed = true;
    }

    const int m_count;
    const std::function<void(int)>* m_body;
    std::atomic<int> m_next{ 0 };
    std::atomic<int> m_finished{ 0 };
    std::atomic<bool> m_failed{ false };
    std::mutex m_mutex;
    std::condition_variable m_allFinished;
    std::exception_ptr m_error;
};

// The engine's own pool. Qt's image conversions spread their rows over the
// global pool and, on a thread outside it, wait for free global threads; were
// our helpers global threads too, a conversion on the calling thread would
// wait for the very helpers that wait for it to finish its share.
Q_GLOBAL_STATIC(QThreadPool, enginePool)

} // namespace

QThreadPool* parallelForPool()
{
    return enginePool();
}

void parallelFor(int count, const std::function<void(int)>& body, int maxThreads)
{
    if (count <= 0)
        return;
    QThreadPool* pool = parallelForPool();
    if (maxThreads <= 0)
        maxThreads = pool->maxThreadCount();
    const int helpers = qMin(maxThreads, count) - 1;
    if (helpers <= 0) {
        for (int i = 0; i < count; ++i)
            body(i);
        return;
    }
    const auto run = std::make_shared<Run>(count, body);
    for (int i = 0; i < helpers; ++i)
        pool->start([run] { run->work(); });
    run->work();
    run->wait();
}
