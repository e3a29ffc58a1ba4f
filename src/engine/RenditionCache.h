#pragma once

#include <QHash>
#include <QImage>
#include <QSize>

// Pictures scaled (and turned) to their screen box, ready to be blitted, keyed
// by the decoded picture's serial, the kind of drawing and the box.
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

    QImage find(const Key& key);
    void insert(const Key& key, const QImage& image);
    void setBudget(qint64 budgetBytes);
    qint64 bytesUsed() const { return m_bytesUsed; }
    void clear();

private:
    struct Slot
    {
        QImage image;
        quint64 lastUse = 0;
    };
    void evictFor(qint64 incoming);

    QHash<Key, Slot> m_slots;
    qint64 m_budget;
    qint64 m_bytesUsed = 0;
    quint64 m_clock = 0;
};

size_t qHash(const RenditionCache::Key& key, size_t seed = 0) noexcept;
