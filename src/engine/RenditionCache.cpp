#include "RenditionCache.h"

#include <QHashFunctions>
#include <cstring>

size_t qHash(const RenditionCache::Key& key, size_t seed) noexcept
{
    quint32 angleBits = 0;
    std::memcpy(&angleBits, &key.angle, sizeof angleBits);
    return qHashMulti(seed, key.serial, int(key.kind), key.width, key.height, angleBits);
}

RenditionCache::RenditionCache(qint64 budgetBytes)
    : m_budget(budgetBytes)
{
}

QImage RenditionCache::find(const Key& key)
{
    auto found = m_slots.find(key);
    if (found == m_slots.end())
        return {};
    found->lastUse = ++m_clock;
    return found->image;
}

void RenditionCache::insert(const Key& key, const QImage& image)
{
    auto found = m_slots.find(key);
    if (found != m_slots.end()) {
        m_bytesUsed -= found->image.sizeInBytes();
        m_slots.erase(found);
    }
    evictFor(image.sizeInBytes());
    m_slots.insert(key, Slot{ image, ++m_clock });
    m_bytesUsed += image.sizeInBytes();
}

void RenditionCache::setBudget(qint64 budgetBytes)
{
    m_budget = budgetBytes;
    evictFor(0);
}

void RenditionCache::clear()
{
    m_slots.clear();
    m_bytesUsed = 0;
}

void RenditionCache::evictFor(qint64 incoming)
{
    while (!m_slots.isEmpty() && m_bytesUsed + incoming > m_budget) {
        auto oldest = m_slots.begin();
        for (auto it = m_slots.begin(); it != m_slots.end(); ++it) {
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        }
        m_bytesUsed -= oldest->image.sizeInBytes();
        m_slots.erase(oldest);
    }
}
