#include "ParallelFor.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Runs work on a thread of its own and waits for it a while. A run that does
// not end has deadlocked: the process is ended, since the stuck threads would
// keep it from ever finishing.
void mustFinish(const std::function<void()>& work)
{
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::thread runner([&] {
        work();
        const std::lock_guard<std::mutex> lock(mutex);
        done = true;
        ended.notify_all();
    });
    std::unique_lock<std::mutex> lock(mutex);
    if (!ended.wait_for(lock, std::chrono::seconds(60), [&] { return done; })) {
        std::fprintf(stderr, "parallelFor did not return: deadlock\n");
        std::_Exit(1);
    }
    lock.unlock();
    runner.join();
}

// Counts the calls for every index.
struct Visits
{
    explicit Visits(int count)
        : calls(std::size_t(count))
    {
    }
    void operator()(int i) { ++calls[std::size_t(i)]; }
    bool eachOnce() const
    {
        for (const std::atomic<int>& c : calls) {
            if (c.load() != 1)
                return false;
        }
        return true;
    }
    std::vector<std::atomic<int>> calls;
};

// Holds threads of the engine's pool busy until it goes out of scope.
class PoolBlocker
{
public:
    explicit PoolBlocker(int threads)
        : m_threads(threads)
    {
        for (int i = 0; i < m_threads; ++i) {
            parallelForPool()->start([gates = m_gates] {
                gates->started.release();
                gates->release.acquire();
            });
        }
        m_gates->started.acquire(m_threads);
    }
    ~PoolBlocker() { m_gates->release.release(m_threads); }

private:
    struct Gates
    {
        QSemaphore started;
        QSemaphore release;
    };
    int m_threads = 0;
    std::shared_ptr<Gates> m_gates = std::make_shared<Gates>();
};

} // namespace

TEST(ParallelFor, VisitsEveryIndexExactlyOnceWhateverTheThreadCap)
{
    for (int cap : { 0, 1, 2, 3, 64 }) {
        Visits visits(5000);
        parallelFor(5000, std::ref(visits), cap);
        EXPECT_TRUE(visits.eachOnce()) << "cap " << cap;
    }
}

TEST(ParallelFor, EmptyAndSingleRangesStayOnTheCallingThread)
{
    int calls = 0;
    parallelFor(0, [&](int) { ++calls; });
    parallelFor(-3, [&](int) { ++calls; });
    EXPECT_EQ(calls, 0);

    std::thread::id where;
    parallelFor(1, [&](int i) {
        EXPECT_EQ(i, 0);
        where = std::this_thread::get_id();
        ++calls;
    });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(where, std::this_thread::get_id());
}

TEST(ParallelFor, NeverRunsMoreBodiesAtOnceThanTheCap)
{
    parallelForPool()->setMaxThreadCount(qMax(4, QThread::idealThreadCount()));
    std::atomic<int> running{ 0 }, most{ 0 };
    parallelFor(
        40,
        [&](int) {
            const int now = ++running;
            for (int seen = most.load(); now > seen && !most.compare_exchange_weak(seen, now);) {
            }
            QThread::msleep(2);
            --running;
        },
        2);
    EXPECT_LE(most.load(), 2);
    EXPECT_GE(most.load(), 1);
    parallelForPool()->setMaxThreadCount(QThread::idealThreadCount());
}

TEST(ParallelFor, PassesTheFirstExceptionToTheCallerAndStaysUsable)
{
    Visits visits(10000);
    const auto throwing = [&](int i) {
        visits(i);
        if (i == 10)
            throw std::runtime_error("bad row");
    };
    EXPECT_THROW(parallelFor(10000, throwing), std::runtime_error);
    for (const std::atomic<int>& c : visits.calls)
        ASSERT_LE(c.load(), 1);

    Visits alone(100);
    EXPECT_THROW(parallelFor(
                     100,
                     [&](int i) {
                         alone(i);
                         throw std::runtime_error("first");
                     },
                     1),
                 std::runtime_error);
    EXPECT_EQ(alone.calls[0].load(), 1);
    EXPECT_EQ(alone.calls[1].load(), 0); // nothing after the failure

    Visits after(1000);
    EXPECT_NO_THROW(parallelFor(1000, std::ref(after)));
    EXPECT_TRUE(after.eachOnce());
}

TEST(ParallelFor, NestedCallsFinish)
{
    constexpr int Outer = 16, Inner = 300;
    std::vector<std::atomic<int>> calls(std::size_t(Outer) * Inner);
    const auto nested = [&] {
        parallelFor(Outer, [&](int outer) {
            parallelFor(Inner, [&](int inner) {
                ++calls[std::size_t(outer) * Inner + std::size_t(inner)];
            });
        });
    };
    // From a pool thread, every pool thread ends up calling in while the
    // helpers it asks for can only queue.
    mustFinish([&] {
        QSemaphore done;
        parallelForPool()->start([&] {
            nested();
            done.release();
        });
        done.acquire();
    });
    for (const std::atomic<int>& c : calls)
        ASSERT_EQ(c.load(), 1);
}

TEST(ParallelFor, TheCallerDoesAllTheWorkWhenThePoolIsBusy)
{
    QThreadPool* pool = parallelForPool();
    {
        PoolBlocker blocker(pool->maxThreadCount());
        Visits visits(500);
        std::atomic<int> elsewhere{ 0 };
        mustFinish([&] {
            const std::thread::id caller = std::this_thread::get_id();
            parallelFor(500, [&](int i) {
                visits(i);
                if (std::this_thread::get_id() != caller)
                    ++elsewhere;
            });
        });
        EXPECT_TRUE(visits.eachOnce());
        EXPECT_EQ(elsewhere.load(), 0);
    }
    pool->waitForDone();

    // A pool task that calls in while every other pool thread is held: its
    // helpers can only queue.
    {
        PoolBlocker blocker(pool->maxThreadCount() - 1);
        Visits visits(500);
        mustFinish([&] {
            QSemaphore done;
            pool->start([&] {
                parallelFor(500, std::ref(visits));
                done.release();
            });
            done.acquire();
        });
        EXPECT_TRUE(visits.eachOnce());
    }
    pool->waitForDone();
}
