#include "EngineFixture.h"

#include <QFile>
#include <QFileInfo>

using TestPictures::coordinatePicture;

class PictureRecordsTest : public EngineFixture
{};

TEST_F(PictureRecordsTest, SixtyPicturesAtMostTheRestIgnoredSilently)
{
    for (int i = 0; i < 61; ++i)
        m_engine.AddPicture(QStringLiteral("/nowhere/p%1.png").arg(i));
    EXPECT_EQ(m_engine.GetPictureCount(), 60);
    EXPECT_EQ(m_engine.currentPicture(), 59);
    EXPECT_EQ(m_engine.picture(59).file, QStringLiteral("/nowhere/p59.png"));
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(PictureRecordsTest, NewPictureLiesAtTheOriginOnTopAndIsCurrent)
{
    m_engine.AddPicture(QStringLiteral("a.png"));
    m_engine.MovePicture(30, 40, 0);
    m_engine.ModifyCurrentPicture(ModifyCode::TurnRight90);
    m_engine.AddPicture(QStringLiteral("b.png"));
    const JoinPicture& added = m_engine.picture(1);
    EXPECT_EQ(added.state, JoinPicture::New);
    EXPECT_EQ(added.x, 0);
    EXPECT_EQ(added.y, 0);
    EXPECT_EQ(added.angle, 0.0f);
    EXPECT_EQ(m_engine.currentPicture(), 1);
    EXPECT_EQ(m_engine.filterStep(), 2);
}

TEST_F(PictureRecordsTest, LongPathsAreKeptWhole)
{
    const QString longPath = QStringLiteral("/d/") + QString(300, QLatin1Char('x')) + ".png";
    m_engine.AddPicture(longPath);
    EXPECT_EQ(m_engine.picture(0).file, longPath);
}

TEST_F(PictureRecordsTest, SplashOnlyForAnEmptyJoiningCanvas)
{
    EXPECT_EQ(m_engine.NeedsSplash(DisplayMode::Joining), 1);
    EXPECT_EQ(m_engine.NeedsSplash(DisplayMode::Undecided), 1);
    EXPECT_EQ(m_engine.NeedsSplash(DisplayMode::Output), 0);
    m_engine.AddPicture(QStringLiteral("a.png"));
    EXPECT_EQ(m_engine.NeedsSplash(DisplayMode::Joining), 0);
}

TEST_F(PictureRecordsTest, OutputModeTakesTheCurrentPictureAndEmptiesTheCanvas)
{
    EXPECT_EQ(m_engine.EnterOutputMode(DisplayMode::Joining), 0);
    EXPECT_EQ(m_engine.EnterOutputMode(DisplayMode::Output), 1);
    EXPECT_TRUE(m_engine.GetOutputFile().isEmpty());

    const QString a = addPicture(coordinatePicture(20, 20), "a.png");
    const QString b = addPicture(coordinatePicture(20, 20), "b.png");
    m_engine.ModifyCurrentPicture(ModifyCode::NextPicture); // a is current
    m_engine.MoveOutputPicture(5, 5);
    EXPECT_EQ(m_engine.EnterOutputMode(DisplayMode::Joining), 1);
    EXPECT_EQ(m_engine.GetOutputFile(), a);
    EXPECT_EQ(m_engine.outputOrigFile(), a);
    EXPECT_EQ(m_engine.outputPos(), QPoint(0, 0));
    EXPECT_EQ(m_engine.GetPictureCount(), 0);
    EXPECT_TRUE(QFileInfo::exists(a));
    EXPECT_TRUE(QFileInfo::exists(b));
}

TEST_F(PictureRecordsTest, ClearPicturesForgetsRecordsButNotFiles)
{
    const QString a = addPicture(coordinatePicture(20, 20), "a.png");
    m_engine.SetHotTransparent(1);
    m_engine.SetTrimLine(3, 3, TrimMode::FromLeft);
    m_engine.ClearPictures();
    EXPECT_EQ(m_engine.GetPictureCount(), 0);
    EXPECT_EQ(m_engine.currentPicture(), 0);
    EXPECT_EQ(m_engine.trimMode(), TrimMode::None);
    EXPECT_FALSE(m_engine.hotTransparent());
    EXPECT_TRUE(QFileInfo::exists(a));
}

TEST_F(PictureRecordsTest, CopyOutputPictureCopiesBytesAndReportsFailures)
{
    const QString a = addPicture(coordinatePicture(20, 20), "a.png");
    m_engine.EnterOutputMode(DisplayMode::Joining);
    EXPECT_TRUE(m_engine.CopyOutputPicture(path("copy.JPG")));
    EXPECT_EQ(TestPictures::fileHash(path("copy.JPG")), TestPictures::fileHash(a));
    EXPECT_TRUE(m_engine.CopyOutputPicture(a)); // onto itself: nothing to do
    EXPECT_EQ(TestPictures::fileHash(a), TestPictures::fileHash(path("copy.JPG")));
    EXPECT_FALSE(m_engine.CopyOutputPicture(path("missing/dir/copy.png")));
    EXPECT_EQ(m_errors.size(), 1);
}

TEST_F(PictureRecordsTest, SaveOutputPictureWritesTheFormatItsNameSays)
{
    const QString a = addPicture(coordinatePicture(20, 20), "a.png");
    m_engine.EnterOutputMode(DisplayMode::Joining);
    const struct
    {
        const char* format;
        QByteArray magic;
    } cases[] = { { "JPG", "\xFF\xD8\xFF" },
                  { "jpeg", "\xFF\xD8\xFF" },
                  { "PNG", "\x89PNG" },
                  { "BMP", "BM" },
                  { "gif", "GIF8" } };
    for (const auto& c : cases) {
        const QString file = path(QStringLiteral("out.%1").arg(c.format));
        ASSERT_TRUE(m_engine.SaveOutputPicture(file, c.format)) << c.format;
        QFile written(file);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_TRUE(written.read(8).startsWith(c.magic)) << c.format;
        const ImageCodec::ReadResult back = ImageCodec::read(file);
        ASSERT_TRUE(back.ok()) << c.format;
        EXPECT_EQ(back.value.size(), QSize(20, 20));
    }
    // Already in the chosen format: the very bytes.
    EXPECT_EQ(TestPictures::fileHash(path("out.PNG")), TestPictures::fileHash(a));
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();

    // An output picture that cannot be read any more is reported.
    ASSERT_TRUE(QFile::remove(a));
    m_engine.ForgetDecodedPictures();
    EXPECT_FALSE(m_engine.SaveOutputPicture(path("gone.jpg"), "jpg"));
    EXPECT_FALSE(QFile::exists(path("gone.jpg")));
    EXPECT_EQ(m_errors.size(), 1);
}

TEST_F(PictureRecordsTest, BackgroundColourDialogFlag)
{
    EXPECT_EQ(m_engine.BkColorDlgOpen(-1), 0);
    EXPECT_EQ(m_engine.BkColorDlgOpen(1), 1);
    EXPECT_EQ(m_engine.BkColorDlgOpen(-1), 1);
    EXPECT_EQ(m_engine.BkColorDlgOpen(0), 0);
    EXPECT_EQ(m_engine.GetRulerBackColor(), ColorRef(0xDEDEDE));
}
