#include "RenditionCache.h"

#include <gtest/gtest.h>

namespace {

using Key = RenditionCache::Key;
using Kind = RenditionCache::Kind;

QImage filled(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

Key key(quint64 serial, int width = 10, int height = 10)
{
    return Key{ serial, Kind::Plain, width, height, 0.0f };
}

constexpr qint64 TenByTen = qint64(10) * 10 * 4;

} // namespace

TEST(RenditionCache, FindsARenditionOnlyUnderItsOwnKey)
{
    RenditionCache cache;
    const Key turned{ 7, Kind::Opaque, 10, 10, 30.0f };
    cache.insert(turned, filled(10, 10, 0xFF112233));
    EXPECT_EQ(cache.find(turned).pixel(3, 3), 0xFF112233);
    EXPECT_TRUE(cache.find(Key{ 8, Kind::Opaque, 10, 10, 30.0f }).isNull());
    EXPECT_TRUE(cache.find(Key{ 7, Kind::ScreenDoor, 10, 10, 30.0f }).isNull());
    EXPECT_TRUE(cache.find(Key{ 7, Kind::Opaque, 10, 11, 30.0f }).isNull());
    EXPECT_TRUE(cache.find(Key{ 7, Kind::Opaque, 10, 10, 31.0f }).isNull());

    // Inserting again under the same key replaces the picture and its cost.
    cache.insert(turned, filled(20, 10, 0xFF445566));
    EXPECT_EQ(cache.find(turned).width(), 20);
    EXPECT_EQ(cache.bytesUsed(), 2 * TenByTen);
}

TEST(RenditionCache, EvictsTheLeastRecentlyUsedRenditionsByTheirBytes)
{
    RenditionCache cache(TenByTen * 5 / 2);
    cache.insert(key(1), filled(10, 10, 0xFF000001));
    cache.insert(key(2), filled(10, 10, 0xFF000002));
    const QImage one = cache.find(key(1));
    cache.insert(key(3), filled(10, 10, 0xFF000003));
    EXPECT_TRUE(cache.find(key(2)).isNull());
    EXPECT_FALSE(cache.find(key(1)).isNull());
    EXPECT_FALSE(cache.find(key(3)).isNull());
    EXPECT_EQ(cache.bytesUsed(), 2 * TenByTen);

    // A picture handed out stays whole once the cache let go of it.
    cache.setBudget(TenByTen);
    EXPECT_TRUE(cache.find(key(1)).isNull());
    EXPECT_EQ(one.pixel(9, 9), 0xFF000001);
    cache.clear();
    EXPECT_EQ(cache.bytesUsed(), 0);
    EXPECT_TRUE(cache.find(key(3)).isNull());
}

TEST(RenditionCache, ARenditionLargerThanTheBudgetIsNotKept)
{
    RenditionCache cache(TenByTen * 2);
    cache.insert(key(1), filled(10, 10, 0xFF000001));
    cache.insert(key(2, 30, 30), filled(30, 30, 0xFF000002));
    EXPECT_TRUE(cache.find(key(2, 30, 30)).isNull());
    EXPECT_FALSE(cache.find(key(1)).isNull());
    EXPECT_EQ(cache.bytesUsed(), TenByTen);
}
