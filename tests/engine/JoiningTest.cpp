#include "EngineFixture.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cstdlib>

using TestPictures::coordinatePicture;
using TestPictures::solidPicture;

namespace {

// The colour type byte of a PNG file's header: 2 RGB, 3 palette, 6 RGBA.
int pngColourType(const QString& file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray head = in.read(26);
    return head.size() == 26 ? int(uchar(head.at(25))) : -1;
}

int channelDistance(QRgb a, QRgb b)
{
    return std::max({ std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                      std::abs(qBlue(a) - qBlue(b)) });
}

} // namespace

class JoiningTest : public EngineFixture
{};

TEST_F(JoiningTest, CanvasSpansThePicturesFromTheirTopLeft)
{
    ASSERT_TRUE(m_engine.addPlacedPicture(
        TestPictures::save(coordinatePicture(200, 100), path("a.png")), 100, 50));
    const QImage joined = m_engine.RenderJoinedPicture();
    ASSERT_EQ(joined.size(), QSize(200, 100));
    EXPECT_EQ(joined.pixel(0, 0), qRgb(0, 0, 77));
    EXPECT_EQ(joined.pixel(199, 99), qRgb(199, 99, 77));
}

TEST_F(JoiningTest, GapsStayTransparentAndLaterPicturesCoverEarlierOnes)
{
    const QString red = TestPictures::save(solidPicture(100, 100, Qt::red), path("r.png"));
    const QString blue = TestPictures::save(solidPicture(100, 100, Qt::blue), path("b.png"));
    m_engine.addPlacedPicture(red, 0, 0);
    m_engine.addPlacedPicture(blue, 150, 0);
    m_engine.addPlacedPicture(blue, 50, 50, 20, 20);
    const QImage joined = m_engine.RenderJoinedPicture();
    ASSERT_EQ(joined.size(), QSize(250, 100));
    EXPECT_EQ(joined.pixel(120, 10), 0u);
    EXPECT_EQ(joined.pixel(10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(joined.pixel(60, 60), qRgb(0, 0, 255));
    EXPECT_EQ(joined.pixel(160, 10), qRgb(0, 0, 255));
}

TEST_F(JoiningTest, PicturesLeftOfTheOriginStillCountFromZero)
{
    m_engine.addPlacedPicture(TestPictures::save(solidPicture(200, 100, Qt::red), path("r.png")),
                              -500, -300);
    const QImage joined = m_engine.RenderJoinedPicture();
    ASSERT_EQ(joined.size(), QSize(500, 300));
    EXPECT_EQ(joined.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(joined.pixel(250, 150), 0u);
}

TEST_F(JoiningTest, DisplayStateDoesNotReachTheSavedPicture)
{
    addPicture(coordinatePicture(100, 80), "a.png");
    m_engine.SetHotTransparent(1);
    m_engine.SetTrimLine(0, 40, TrimMode::FromBelow);
    paint();
    ASSERT_TRUE(m_engine.SaveJoinedPicture("PNG", path("joined.PNG")));
    const QImage saved = QImageReader(path("joined.PNG")).read();
    ASSERT_EQ(saved.size(), QSize(100, 80));
    EXPECT_EQ(saved.pixel(1, 0), qRgb(1, 0, 77));
    EXPECT_EQ(saved.pixel(99, 79), qRgb(99, 79, 77));
}

TEST_F(JoiningTest, FormatTextPicksTheEncoder)
{
    addPicture(coordinatePicture(40, 40), "a.png");
    paint();
    for (const char* format : { "jpg", "JPG", "bmp", "PNG", "gif" }) {
        const QString file = path(QString("out.%1").arg(format));
        ASSERT_TRUE(m_engine.SaveJoinedPicture(format, file)) << format;
        QByteArray expected = QByteArray(format).toLower();
        if (expected == "jpg")
            expected = "jpeg";
        EXPECT_EQ(QImageReader(file).format(), expected) << format;
    }
}

TEST_F(JoiningTest, CoveredJoinsAreOpaqueAndJoinsWithGapsKeepTheirTransparency)
{
    // Thousands of colours, so the PNG cannot fall back on a palette.
    const QString a = TestPictures::save(coordinatePicture(300, 200), path("a.png"));
    const QString b = TestPictures::save(coordinatePicture(200, 200), path("b.png"));
    const QString c = TestPictures::save(solidPicture(40, 40, Qt::green), path("c.png"));
    m_engine.addPlacedPicture(a, 0, 0);
    m_engine.addPlacedPicture(b, 250, 0);                  // overlaps a
    m_engine.addPlacedPicture(c, 100, 100, 40, 40, 30.0f); // turned, over covered ground
    const QImage covered = m_engine.RenderJoinedPicture();
    EXPECT_EQ(covered.format(), QImage::Format_RGB32);
    ASSERT_TRUE(m_engine.SaveJoinedPicture("PNG", path("covered.png")));
    EXPECT_EQ(pngColourType(path("covered.png")), 2);
    const QImage back = QImageReader(path("covered.png")).read();
    EXPECT_EQ(back.pixel(299, 199), covered.pixel(299, 199));
    EXPECT_EQ(back.pixel(449, 10), qRgb(199, 10, 77));

    // A picture set apart leaves a gap, which stays transparent in the file.
    m_engine.addPlacedPicture(b, 500, 0);
    const QImage gapped = m_engine.RenderJoinedPicture();
    EXPECT_EQ(gapped.format(), QImage::Format_ARGB32_Premultiplied);
    ASSERT_TRUE(m_engine.SaveJoinedPicture("PNG", path("gapped.png")));
    EXPECT_EQ(pngColourType(path("gapped.png")), 6);
    EXPECT_EQ(qAlpha(QImageReader(path("gapped.png")).read().pixel(470, 10)), 0);

    // A turned picture alone does not cover its corners.
    m_engine.ClearPictures();
    m_engine.addPlacedPicture(a, 0, 0, 300, 200, 10.0f);
    EXPECT_TRUE(m_engine.RenderJoinedPicture().hasAlphaChannel());
}

TEST_F(JoiningTest, ThinColouredLinesKeepTheirColourInAJpegJoin)
{
    for (QColor ground : { QColor(Qt::black), QColor(Qt::white) }) {
        m_engine.ClearPictures();
        QImage capture = solidPicture(120, 80, ground);
        for (int y = 0; y < capture.height(); ++y)
            capture.setPixel(33, y, qRgb(255, 0, 0));
        const QString file = TestPictures::save(capture, path("line.png"));
        m_engine.ForgetDecodedPictures();
        m_engine.addPlacedPicture(file, 0, 0);
        m_engine.addPlacedPicture(file, 100, 0);
        ASSERT_TRUE(m_engine.SaveJoinedPicture("JPG", path("line.JPG")));
        const QImage back = QImageReader(path("line.JPG")).read();
        ASSERT_EQ(back.size(), QSize(220, 80));
        for (int x : { 33, 133 })
            for (int y = 0; y < 80; y += 7)
                EXPECT_LE(channelDistance(back.pixel(x, y), qRgb(255, 0, 0)), 8)
                    << ground.name().toStdString() << " " << x << "," << y;
    }
}

TEST_F(JoiningTest, SaveFailureIsReported)
{
    addPicture(coordinatePicture(40, 40), "a.png");
    EXPECT_FALSE(m_engine.SaveJoinedPicture("PNG", path("no/such/dir/x.PNG")));
    EXPECT_EQ(m_errors.size(), 1);
    m_engine.ClearPictures();
    EXPECT_FALSE(m_engine.SaveJoinedPicture("PNG", path("empty.PNG")));
}

TEST_F(JoiningTest, APictureGoneBeforeTheSaveFailsItAndKeepsTheEarlierFile)
{
    const QString red = TestPictures::save(solidPicture(50, 40, Qt::red), path("r.png"));
    const QString blue = TestPictures::save(solidPicture(50, 40, Qt::blue), path("b.png"));
    m_engine.addPlacedPicture(red, 0, 0);
    m_engine.addPlacedPicture(blue, 50, 0);
    paint(); // both decoded and cached
    const QString joined = path("joined.png");
    ASSERT_TRUE(m_engine.SaveJoinedPicture("PNG", joined));
    const QByteArray before = TestPictures::fileHash(joined);

    ASSERT_TRUE(QFile::remove(blue));
    m_errors.clear();
    EXPECT_FALSE(m_engine.SaveJoinedPicture("PNG", joined));
    EXPECT_EQ(TestPictures::fileHash(joined), before);
    EXPECT_TRUE(m_errors.join('\n').contains(QStringLiteral("b.png")))
        << m_errors.join('\n').toStdString();
    EXPECT_TRUE(m_engine.RenderJoinedPicture().isNull());
}

TEST_F(JoiningTest, PicturesAreDecodedOnceEachWithinASmallMemoryBudget)
{
    // More pictures than the budget holds, each of many colours (kept at 24 bits).
    constexpr int Count = 12;
    const qint64 pictureBytes = qint64(100) * 3 * 80;
    m_engine.SetPictureMemoryBudget(3 * pictureBytes);
    for (int i = 0; i < Count; ++i) {
        QImage picture = coordinatePicture(100, 80);
        picture.setPixel(0, 0, qRgb(i, 200, 200));
        ASSERT_TRUE(m_engine.addPlacedPicture(
            TestPictures::save(picture, path(QStringLiteral("p%1.png").arg(i))), i * 100, 0));
    }
    const QImage joined = m_engine.RenderJoinedPicture();
    ASSERT_EQ(joined.size(), QSize(Count * 100, 80));
    for (int i = 0; i < Count; ++i) {
        EXPECT_EQ(joined.pixel(i * 100, 0), qRgb(i, 200, 200)) << i;
        EXPECT_EQ(joined.pixel(i * 100 + 99, 79), qRgb(99, 79, 77)) << i;
    }
    EXPECT_EQ(m_engine.decodeCount(), Count);
}

TEST_F(JoiningTest, EndlessOrUndefinedTurnsAreRefused)
{
    const QString red = TestPictures::save(solidPicture(10, 10, Qt::red), path("r.png"));
    for (const float angle : { qQNaN(), qInf(), -qInf() }) {
        m_errors.clear();
        EXPECT_FALSE(m_engine.addPlacedPicture(red, 0, 0, 10, 10, float(angle)));
        EXPECT_EQ(m_errors.size(), 1);
    }
    EXPECT_EQ(m_engine.GetPictureCount(), 0);
    EXPECT_TRUE(m_engine.addPlacedPicture(red, 0, 0, 10, 10, 30.0f));
}
