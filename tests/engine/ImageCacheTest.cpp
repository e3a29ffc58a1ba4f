#include "ImageCache.h"
#include "TestPictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using TestPictures::coordinatePicture;
using TestPictures::solidPicture;

namespace {

class ImageCacheTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString file(const QString& name, const QImage& image)
    {
        return TestPictures::save(image, QDir(m_dir.path()).filePath(name));
    }

    static void setModified(const QString& path, const QDateTime& when)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }

    QTemporaryDir m_dir;
};

// 64 x 64 pictures with more than 256 colours: kept at 24 bits.
QImage picture(int shade)
{
    QImage image = coordinatePicture(64, 64);
    image.setPixel(0, 0, qRgb(shade, shade, shade));
    return image;
}

qint64 pictureBytes()
{
    return ImageCache::compact(picture(0)).sizeInBytes();
}

} // namespace

TEST_F(ImageCacheTest, ServesAnUnchangedFileFromMemoryAndDecodesAChangedOneAgain)
{
    const QString path = file("a.png", picture(1));
    ImageCache cache;
    const ImageCache::Entry first = cache.get(path);
    ASSERT_TRUE(first.ok());
    EXPECT_TRUE(first.decodedNow);
    EXPECT_EQ(first.image.pixel(5, 7), qRgb(5, 7, 77));

    const ImageCache::Entry again = cache.get(path);
    EXPECT_FALSE(again.decodedNow);
    EXPECT_EQ(again.serial, first.serial);
    EXPECT_EQ(cache.decodeCount(), 1);

    // Same bytes, newer modification time.
    const QDateTime modified = QFileInfo(path).lastModified();
    setModified(path, modified.addSecs(10));
    const ImageCache::Entry touched = cache.get(path);
    EXPECT_TRUE(touched.decodedNow);
    EXPECT_NE(touched.serial, first.serial);

    // Other size, modification time put back as it was.
    file("a.png", solidPicture(20, 10, Qt::red));
    setModified(path, modified.addSecs(10));
    const ImageCache::Entry resized = cache.get(path);
    EXPECT_TRUE(resized.decodedNow);
    EXPECT_EQ(resized.image.size(), QSize(20, 10));
    EXPECT_EQ(cache.size(path).value, QSize(20, 10));
    EXPECT_EQ(cache.decodeCount(), 3);

    // A file that went away gives its error once, then from memory.
    QFile::remove(path);
    const ImageCache::Entry gone = cache.get(path);
    EXPECT_FALSE(gone.ok());
    EXPECT_TRUE(gone.decodedNow);
    EXPECT_FALSE(cache.get(path).decodedNow);
}

TEST_F(ImageCacheTest, EvictsTheLeastRecentlyUsedPicturesByTheirBytes)
{
    const qint64 bytes = pictureBytes();
    const QString a = file("a.png", picture(1)), b = file("b.png", picture(2)),
                  c = file("c.png", picture(3));
    ImageCache cache(bytes * 5 / 2);
    cache.get(a);
    const ImageCache::Entry fromB = cache.get(b);
    cache.get(a);
    cache.get(c); // no room for three: b goes, the least recently used
    EXPECT_EQ(cache.bytesUsed(), 2 * bytes);
    EXPECT_EQ(cache.decodeCount(), 3);
    EXPECT_FALSE(cache.get(a).decodedNow);
    EXPECT_TRUE(cache.get(b).decodedNow); // and now c goes
    EXPECT_TRUE(cache.get(c).decodedNow);
    EXPECT_LE(cache.bytesUsed(), cache.budget());

    // What a caller got stays whole after the cache let go of it.
    cache.clear();
    EXPECT_EQ(cache.bytesUsed(), 0);
    EXPECT_EQ(fromB.image.pixel(0, 0), qRgb(2, 2, 2));
    EXPECT_EQ(fromB.image.pixel(9, 4), qRgb(9, 4, 77));

    // A smaller budget keeps only what fits, the most recent first.
    cache.get(a);
    cache.get(b);
    cache.setBudget(bytes);
    EXPECT_EQ(cache.bytesUsed(), bytes);
    EXPECT_FALSE(cache.get(b).decodedNow);
    EXPECT_TRUE(cache.get(a).decodedNow);
}

TEST_F(ImageCacheTest, APictureLargerThanTheBudgetIsReturnedAndKeptUntilTheNextOne)
{
    const QString small = file("small.png", solidPicture(8, 8, Qt::blue));
    const QString big = file("big.png", picture(9));
    ImageCache cache(pictureBytes() / 2);
    ASSERT_TRUE(cache.get(small).ok());

    const ImageCache::Entry entry = cache.get(big);
    ASSERT_TRUE(entry.ok());
    EXPECT_TRUE(entry.decodedNow);
    EXPECT_EQ(entry.image.size(), QSize(64, 64));
    EXPECT_EQ(entry.image.pixel(0, 0), qRgb(9, 9, 9));
    EXPECT_EQ(entry.image.pixel(63, 62), qRgb(63, 62, 77));
    EXPECT_EQ(cache.bytesUsed(), pictureBytes()); // alone: the small one made room
    EXPECT_FALSE(cache.get(big).decodedNow);
    EXPECT_EQ(cache.get(big).serial, entry.serial);

    EXPECT_TRUE(cache.get(small).decodedNow);
    EXPECT_LE(cache.bytesUsed(), cache.budget());
    EXPECT_TRUE(cache.get(big).decodedNow);

    // Room enough again: it joins the others.
    cache.setBudget(pictureBytes() * 2);
    EXPECT_FALSE(cache.get(big).decodedNow);
    EXPECT_TRUE(cache.get(small).decodedNow);
    EXPECT_FALSE(cache.get(big).decodedNow);
}

TEST_F(ImageCacheTest, RememberedAndPreloadedPicturesAreServedWithoutDecoding)
{
    const QString a = file("a.png", picture(1)), b = file("b.png", picture(2));
    ImageCache cache;
    cache.remember(a, picture(4));
    const ImageCache::Entry remembered = cache.get(a);
    EXPECT_FALSE(remembered.decodedNow);
    EXPECT_EQ(remembered.image.pixel(0, 0), qRgb(4, 4, 4));
    EXPECT_EQ(cache.decodeCount(), 0);

    cache.remember(a, QImage()); // forgotten
    EXPECT_TRUE(cache.get(a).decodedNow);

    const QString missing = QDir(m_dir.path()).filePath("missing.png");
    cache.preload({ a, b, b, missing });
    EXPECT_EQ(cache.decodeCount(), 2); // a was in memory, b once, missing left to get()
    EXPECT_FALSE(cache.get(b).decodedNow);
    EXPECT_EQ(cache.get(b).image.pixel(0, 0), qRgb(2, 2, 2));
    cache.preload({ a, b });
    EXPECT_EQ(cache.decodeCount(), 2);
}

TEST_F(ImageCacheTest, PreloadKeepsTheFirstPicturesThatFitTheBudget)
{
    QStringList files;
    for (int i = 0; i < 10; ++i)
        files << file(QStringLiteral("p%1.png").arg(i), picture(i));
    ImageCache cache(3 * pictureBytes());
    cache.preload(files);
    EXPECT_LE(cache.bytesUsed(), cache.budget());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(cache.isFresh(files.at(i))) << i;
    for (int i = 3; i < 10; ++i)
        EXPECT_FALSE(cache.isFresh(files.at(i))) << i;
    EXPECT_FALSE(cache.get(files.at(0)).decodedNow);
}
