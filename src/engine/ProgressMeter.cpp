#include "ProgressMeter.h"

void ProgressMeter::reset()
{
    m_percent.store(-1, std::memory_order_relaxed);
    const std::lock_guard<std::mutex> guard(m_observerLock);
    m_told = -1;
}

void ProgressMeter::atRow(int y, int height)
{
    if (height <= 0)
        return;
    const int value = int(qint64(y) * 100 / height);
    int seen = m_percent.load(std::memory_order_relaxed);
    while (value > seen) {
        if (m_percent.compare_exchange_weak(seen, value, std::memory_order_relaxed)) {
            if (m_observer) {
                // Two threads may pass the exchange in one order and get
                // here in the other: a value older than the last one told
                // is not told at all.
                const std::lock_guard<std::mutex> guard(m_observerLock);
                if (value > m_told) {
                    m_told = value;
                    m_observer(value);
                }
            }
            return;
        }
    }
}

QString ProgressMeter::text() const
{
    const int value = percent();
    return value < 0 ? QString() : QStringLiteral("%1/100").arg(value);
}
