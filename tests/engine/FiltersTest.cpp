#include "EngineFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

using TestPictures::solidPicture;

namespace {

QImage load(const QString& file)
{
    return QImageReader(file).read().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class FiltersTest : public EngineFixture
{
protected:
    QString tempFile(const QString& name) const { return QDir(m_engine.tempDir()).filePath(name); }
};

TEST_F(FiltersTest, FilterWritesNumberedFilesSharedWithTrimmingAndKeepsTheBox)
{
    addPicture(solidPicture(40, 20, QColor(10, 100, 200)), "a.png");
    m_engine.MovePicture(7, 9, 0);
    paint();
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Invert));
    EXPECT_EQ(m_engine.picture(0).file, tempFile("tmpClipWinPic_0.png"));
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Fade));
    EXPECT_EQ(m_engine.picture(0).file, tempFile("tmpClipWinPic_1.png"));
    ASSERT_TRUE(m_engine.TrimByWindow(10, 12, 37, 27, DisplayMode::Joining));
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Brighten));
    EXPECT_EQ(m_engine.picture(0).file, tempFile("tmpClipWinPic_3.png"));

    const JoinPicture& picture = m_engine.picture(0);
    EXPECT_EQ(QPoint(picture.x, picture.y), QPoint(10, 12));
    EXPECT_EQ(QSize(picture.width, picture.height), QSize(27, 15));
    // inverted (245, 155, 55), faded (220, 139, 49), brightened
    EXPECT_EQ(load(picture.file).pixel(3, 3), qRgb(242, 152, 53));
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(FiltersTest, TurnedPictureIsFilteredInItsBoxAndShownUnturned)
{
    // 40 x 20 turned by 90 degrees in its 40 x 20 box: the middle 20 columns
    // are covered, the sides are not.
    addPicture(solidPicture(40, 20, QColor(0, 0, 255)), "blue.png");
    m_engine.ModifyCurrentPicture(ModifyCode::TurnRight90);
    paint();
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Invert));
    EXPECT_EQ(m_engine.picture(0).angle, 0.0f);
    QImage pixels = load(m_engine.picture(0).file);
    ASSERT_EQ(pixels.size(), QSize(40, 20));
    EXPECT_EQ(pixels.pixel(20, 10), qRgb(255, 255, 0));
    EXPECT_EQ(pixels.pixel(1, 1), qRgb(255, 255, 255)); // uncovered corner, now opaque white

    m_engine.UndoFilter();
    ASSERT_EQ(m_engine.picture(0).angle, 90.0f);
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::RemoveBlue));
    pixels = load(m_engine.picture(0).file);
    EXPECT_EQ(pixels.pixel(20, 10), qRgb(255, 255, 255));
    EXPECT_EQ(qAlpha(pixels.pixel(1, 1)), 0); // the corner stays transparent
}

TEST_F(FiltersTest, StretchedPictureIsFilteredAtItsShownSize)
{
    addPicture(TestPictures::coordinatePicture(30, 10), "c.png");
    m_engine.addPlacedPicture(m_engine.picture(0).file, 0, 0, 60, 20);
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Grey));
    const QImage pixels = load(m_engine.picture(1).file);
    EXPECT_EQ(pixels.size(), QSize(60, 20));
    EXPECT_EQ(qRed(pixels.pixel(5, 5)), qBlue(pixels.pixel(5, 5)));
}

TEST_F(FiltersTest, UndoBringsBackTheRecordBeforeTheLastFilterOnce)
{
    const QString original = addPicture(solidPicture(8, 8, Qt::red), "r.png");
    EXPECT_EQ(m_engine.HasFilterUndo(), ' ');
    m_engine.UndoFilter(); // nothing to undo: nothing happens
    EXPECT_EQ(m_engine.picture(0).file, original);

    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Invert));
    const JoinPicture afterFirst = m_engine.picture(0);
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Grey));
    EXPECT_EQ(m_engine.HasFilterUndo(), JoinPicture::Measured);
    m_engine.UndoFilter();
    EXPECT_EQ(m_engine.picture(0).file, afterFirst.file);
    EXPECT_EQ(m_engine.HasFilterUndo(), ' ');
    m_engine.UndoFilter();
    EXPECT_EQ(m_engine.picture(0).file, afterFirst.file);
}

TEST_F(FiltersTest, UndoFollowsItsPictureAndDoesNothingOnceItIsGone)
{
    const QString a = addPicture(solidPicture(8, 8, Qt::red), "a.png");
    const QString b = addPicture(solidPicture(8, 8, Qt::green), "b.png");
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Invert));  // on b, index 1
    ASSERT_EQ(m_engine.ReorderPicture(LayerCode::Down), 1); // b moves down to index 0 ...
    m_engine.ModifyCurrentPicture(ModifyCode::NextPicture); // ... and a becomes current
    ASSERT_EQ(m_engine.currentPicture(), 1);
    m_engine.UndoFilter();
    EXPECT_EQ(m_engine.picture(0).file, b);
    EXPECT_EQ(m_engine.picture(1).file, a);

    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Invert)); // on a, index 1
    const QString filtered = m_engine.picture(1).file;
    ASSERT_EQ(m_engine.ReorderPicture(LayerCode::Delete), 1); // deletes a
    EXPECT_EQ(m_engine.HasFilterUndo(), ' ');
    m_engine.UndoFilter();
    ASSERT_EQ(m_engine.GetPictureCount(), 1);
    EXPECT_EQ(m_engine.picture(0).file, b);
}

TEST_F(FiltersTest, PosteriseStepDoublesPerUseAndRestartsWithANewPicture)
{
    addPicture(TestPictures::coordinatePicture(256, 2), "ramp.png");
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Posterise));
    EXPECT_EQ(m_engine.filterStep(), 32);
    const QImage pixels = load(m_engine.picture(0).file);
    QSet<int> reds;
    for (int x = 0; x < 256; ++x)
        reds.insert(qRed(pixels.pixel(x, 0)));
    QSet<int> expected{ 255 };
    for (int v = 0; v <= 240; v += 16)
        expected.insert(v);
    EXPECT_EQ(reds, expected); // the fourth use worked with step 16
    m_engine.UndoFilter();
    EXPECT_EQ(m_engine.filterStep(), 32);
    addPicture(solidPicture(4, 4, Qt::red), "new.png");
    EXPECT_EQ(m_engine.filterStep(), 2);
}

TEST_F(FiltersTest, BackgroundReplacementUsesTheStoredColourAndBounds)
{
    addPicture(solidPicture(4, 4, QColor(100, 110, 120)), "bk.png");
    m_engine.SetBkColorReplace(makeColorRef(1, 2, 3), 90, 101, 100, 120, 110, 130);
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::ReplaceBackground));
    EXPECT_EQ(load(m_engine.picture(0).file).pixel(0, 0), qRgb(1, 2, 3));
    m_engine.SetBkColorReplace(makeColorRef(9, 9, 9), 90, 100, 0, 255, 0, 255);
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::ReplaceBackground));
    EXPECT_EQ(load(m_engine.picture(0).file).pixel(0, 0), qRgb(1, 2, 3)); // 1 is not above 90
}

TEST_F(FiltersTest, SuffixDecidesTheEncoderAndUnknownSuffixesGivePng)
{
    addPicture(solidPicture(6, 6, Qt::red), "upper.JPG");
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Invert));
    EXPECT_TRUE(m_engine.picture(0).file.endsWith("tmpClipWinPic_0.JPG"));
    EXPECT_EQ(QImageReader(m_engine.picture(0).file).format(), "jpeg");

    const QString odd = TestPictures::save(solidPicture(6, 6, Qt::red), path("odd.png"));
    QFile::rename(odd, path("odd.pic"));
    m_engine.AddPicture(path("odd.pic"));
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Invert));
    EXPECT_TRUE(m_engine.picture(1).file.endsWith("tmpClipWinPic_1.png"));
    EXPECT_EQ(load(m_engine.picture(1).file).pixel(0, 0), qRgb(0, 255, 255));
}

TEST_F(FiltersTest, FailuresLeaveTheRecordAndTheUndoAsTheyWereAndAreReported)
{
    m_engine.UndoFilter();
    EXPECT_FALSE(m_engine.ApplyFilter(FilterCode::Invert)); // no picture: silent
    EXPECT_TRUE(m_errors.isEmpty());

    m_engine.AddPicture(path("missing.png"));
    EXPECT_FALSE(m_engine.ApplyFilter(FilterCode::Invert));
    EXPECT_EQ(m_engine.picture(0).file, path("missing.png"));
    EXPECT_FALSE(m_errors.isEmpty());
    m_engine.ReorderPicture(LayerCode::Delete);

    const QString file = addPicture(solidPicture(8, 8, Qt::red), "r.png");
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Invert));
    const JoinPicture before = m_engine.picture(0);
    // The next result name is taken by a folder, so the write fails.
    ASSERT_TRUE(QDir().mkpath(tempFile("tmpClipWinPic_1.png")));
    m_errors.clear();
    EXPECT_FALSE(m_engine.ApplyFilter(FilterCode::Posterise));
    EXPECT_EQ(m_engine.picture(0).file, before.file);
    EXPECT_EQ(m_engine.filterStep(), 2);
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.first().contains("tmpClipWinPic_1.png"));
    m_engine.UndoFilter(); // the undo copy of the first filter is still there
    EXPECT_EQ(m_engine.picture(0).file, file);
}

TEST_F(FiltersTest, ResultIsShownWithoutReadingTheFileAgain)
{
    addPicture(solidPicture(20, 20, Qt::red), "r.png");
    paint();
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Invert));
    const int decodes = m_engine.decodeCount();
    const QImage shown = paint(40, 40);
    EXPECT_EQ(m_engine.decodeCount(), decodes);
    EXPECT_EQ(shown.pixel(5, 5), qRgb(0, 255, 255));
}

TEST_F(FiltersTest, WhileAJobRunsChangesAreRefusedAndReported)
{
    const QString original = addPicture(solidPicture(40, 20, QColor(10, 100, 200)), "a.png");
    addPicture(solidPicture(30, 10, Qt::red), "b.png");
    PixelJob job = m_engine.beginFilter(FilterCode::Invert);
    ASSERT_TRUE(job.valid());
    EXPECT_TRUE(m_engine.isBusy());

    m_errors.clear();
    m_engine.ReorderPicture(LayerCode::Delete);
    m_engine.ModifyCurrentPicture(ModifyCode::NudgeLeft);
    m_engine.AddPicture(original);
    EXPECT_FALSE(m_engine.beginOutputJob(OutputJob::Grey).valid());
    EXPECT_FALSE(m_engine.beginFilter(FilterCode::Fade).valid());
    EXPECT_TRUE(m_engine.RenderJoinedPicture().isNull());
    EXPECT_EQ(m_engine.GetPictureCount(), 2);
    EXPECT_EQ(m_engine.picture(1).x, 0);
    EXPECT_EQ(m_errors.size(), 6);
    paint(); // the view may still paint meanwhile
    EXPECT_EQ(m_engine.decodeCount(), 2);

    job.run();
    ASSERT_TRUE(m_engine.endFilter(job));
    EXPECT_FALSE(m_engine.isBusy());
    m_engine.ModifyCurrentPicture(ModifyCode::NudgeLeft);
    EXPECT_EQ(m_engine.picture(1).x, -1);
}
