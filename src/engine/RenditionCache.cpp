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
    : m_renditions(budgetBytes)
{
}

QImage RenditionCache::find(const Key& key)
{
    const QImage* image = m_renditions.object(key);
    return image ? *image : QImage();
}

void RenditionCache::insert(const Key& key, const QImage& image)
{
    m_renditions.insert(key, new QImage(image), image.sizeInBytes());
}
