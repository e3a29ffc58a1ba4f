#pragma once

#include <QCache>
#include <QImage>
#include <QSize>

// Pictures scaled (and turned) to their screen box, ready to be blitted, keyed
// by the decoded picture's serial, the kind of drawing and the box. The least
// recently used renditions make room for new ones; one larger than the whole
// budget is not kept.
class RenditionCache
{
public:
    static constexpr qint64 DefaultBudget = qint64(160) * 1024 * 1024;

    enum class Kind
    {
        Plain,     // scaled to the box, unrotated
        Opaque,    // scaled and turned inside the box, alpha ignored
        ScreenDoor // as Opaque, every other pixel left transparent
    };

    struct Key
    {
        quint64 serial = 0;
        Kind kind = Kind::Plain;
        int width = 0;
        int height = 0;
        float angle = 0.0f;
        bool operator==(const Key&) const = default;
    };

    explicit RenditionCache(qint64 budgetBytes = DefaultBudget);

    // A null picture when the rendition is not in memory.
    QImage find(const Key& key);
    void insert(const Key& key, const QImage& image);
    void setBudget(qint64 budgetBytes) { m_renditions.setMaxCost(budgetBytes); }
    qint64 bytesUsed() const { return m_renditions.totalCost(); }
    void clear() { m_renditions.clear(); }

private:
    QCache<Key, QImage> m_renditions; // cost: bytes of the picture
};

size_t qHash(const RenditionCache::Key& key, size_t seed = 0) noexcept;
