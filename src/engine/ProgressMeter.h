#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <mutex>

// How far a running picture job has got, as a whole percentage. The worker
// threads raise it row by row; any other thread may read it at any time. The
// value only grows while a job runs, so rows finished out of order never make
// it step back.
class ProgressMeter
{
public:
    // No job has reported yet: the text is empty.
    void reset();

    // Row y of height rows is about to be processed: y * 100 / height.
    void atRow(int y, int height);

    // -1 before the first row, then 0 to 99.
    int percent() const { return m_percent.load(std::memory_order_relaxed); }

    // "%d/100", or empty before the first row.
    QString text() const;

    // Called (from the worker threads) each time the percentage rises. Set it
    // only while no job runs.
    void setObserver(std::function<void(int)> observer) { m_observer = std::move(observer); }

private:
    std::atomic<int> m_percent{ -1 };
    std::function<void(int)> m_observer;
    // The observer hears the values in rising order, one call at a time,
    // whichever thread reached them first.
    std::mutex m_observerLock;
    int m_told = -1;
};
