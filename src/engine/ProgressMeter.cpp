#include "ProgressMeter.h"

void ProgressMeter::reset()
{
    m_percent.store(-1, std::memory_order_relaxed);
}

void ProgressMeter::atRow(int y, int height)
{
    if (height <= 0)
        return;
    const int value = int(qint64(y) * 100 / height);
    int seen = m_percent.load(std::memory_order_relaxed);
    while (value > seen) {
        if (m_percent.compare_exchange_weak(seen, value, std::memory_order_relaxed)) {
            if (m_observer)
                m_observer(value);
            return;
        }
    }
}

QString ProgressMeter::text() const
{
    const int value = percent();
    return value < 0 ? QString() : QStringLiteral("%1/100").arg(value);
}
