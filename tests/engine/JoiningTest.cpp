#include "EngineFixture.h"

#include <QImageReader>

using TestPictures::coordinatePicture;
using TestPictures::solidPicture;

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
