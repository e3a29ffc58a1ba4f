#include "EngineFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

using TestPictures::coordinatePicture;
using TestPictures::solidPicture;

namespace {

QImage load(const QString& file)
{
    QImageReader reader(file);
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TrimmingTest : public EngineFixture
{
protected:
    // The 400 x 300 picture of the worked example, at canvas (100, 50).
    QString placeExample()
    {
        QString file = addPicture(coordinatePicture(400, 300), "example.png");
        m_engine.MovePicture(100, 50, 0);
        paint();
        return file;
    }

    void expectExampleCut(const QString& original)
    {
        const JoinPicture& cut = m_engine.picture(0);
        EXPECT_EQ(cut.x, 150);
        EXPECT_EQ(cut.y, 80);
        EXPECT_EQ(cut.width, 200);
        EXPECT_EQ(cut.height, 150);
        EXPECT_NE(cut.file, original);
        const QImage pixels = load(cut.file);
        ASSERT_EQ(pixels.size(), QSize(200, 150));
        EXPECT_EQ(pixels.pixel(0, 0), qRgb(50, 30, 77));
        EXPECT_EQ(pixels.pixel(199, 149), qRgb(249, 179, 77));
        EXPECT_EQ(pixels.pixel(10, 100), qRgb(60, 130, 77));
    }
};

TEST_F(TrimmingTest, WindowCutKeepsThePartInPlaceAtZoomOne)
{
    const QString original = placeExample();
    EXPECT_TRUE(m_engine.TrimByWindow(150, 80, 350, 230, DisplayMode::Joining));
    expectExampleCut(original);
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(TrimmingTest, WindowCutAtZoomTwoWithAnOriginGivesTheSamePicture)
{
    const QString original = placeExample();
    m_engine.setCanvasMapping(2.0f, 10, 20);
    EXPECT_TRUE(m_engine.TrimByWindow(310, 180, 710, 480, DisplayMode::Joining));
    expectExampleCut(original);
}

TEST_F(TrimmingTest, WindowOfNinePixelsOrLessIsIgnored)
{
    placeExample();
    EXPECT_FALSE(m_engine.TrimByWindow(150, 80, 159, 230, DisplayMode::Joining));
    EXPECT_FALSE(m_engine.TrimByWindow(150, 80, 350, 89, DisplayMode::Joining));
    EXPECT_EQ(m_engine.clipSeq(), 0);
    EXPECT_EQ(m_engine.picture(0).width, 400);
}

TEST_F(TrimmingTest, CutFilesAreNumberedInSequenceInTheTemporaryFolder)
{
    addPicture(coordinatePicture(100, 100), "a.png");
    addPicture(coordinatePicture(100, 100), "b.png");
    paint();
    const QString first = m_engine.ClipCurrentPicture(0, 0, 80, 80);
    const QString second = m_engine.ClipCurrentPicture(0, 0, 60, 60);
    m_engine.ModifyCurrentPicture(ModifyCode::NextPicture);
    const QString third = m_engine.ClipCurrentPicture(10, 10, 50, 50);
    const QDir temp(m_engine.tempDir());
    EXPECT_EQ(first, temp.filePath("tmpClipWinPic_0.png"));
    EXPECT_EQ(second, temp.filePath("tmpClipWinPic_1.png"));
    EXPECT_EQ(third, temp.filePath("tmpClipWinPic_2.png"));
    EXPECT_EQ(m_engine.picture(0).file, third);
    EXPECT_EQ(m_engine.picture(1).file, second);
}

TEST_F(TrimmingTest, ResultSuffixIsTheRealOneWhateverItsCase)
{
    addPicture(coordinatePicture(64, 64), "shot.Jpg");
    paint();
    const QString jpg = m_engine.ClipCurrentPicture(0, 0, 32, 32);
    EXPECT_TRUE(jpg.endsWith(".Jpg"));
    EXPECT_EQ(QImageReader(jpg).format(), "jpeg");

    m_engine.ClearPictures();
    addPicture(coordinatePicture(64, 64), "scan.jpeg");
    paint();
    const QString jpeg = m_engine.ClipCurrentPicture(0, 0, 32, 32);
    EXPECT_TRUE(jpeg.endsWith(".jpeg"));
    EXPECT_EQ(QImageReader(jpeg).format(), "jpeg");

    // A picture whose suffix no encoder serves is written as PNG.
    m_engine.ClearPictures();
    const QString odd = path("capture.pic");
    ASSERT_TRUE(coordinatePicture(64, 64).save(odd, "PNG"));
    m_engine.AddPicture(odd);
    paint();
    const QString png = m_engine.ClipCurrentPicture(0, 0, 32, 32);
    EXPECT_TRUE(png.endsWith(".png"));
    EXPECT_EQ(QImageReader(png).format(), "png");
}

TEST_F(TrimmingTest, TurnedPictureBecomesUprightAndLooksTheSame)
{
    addPicture(coordinatePicture(80, 40), "a.png");
    m_engine.MovePicture(20, 40, 0);
    m_engine.ModifyCurrentPicture(ModifyCode::TurnRight90); // 90 degrees: box centre (60, 60)
    const QImage before = paint(200, 200);
    // The turned picture covers (40, 20)-(80, 100) on screen.
    ASSERT_FALSE(m_engine.ClipCurrentPicture(40, 20, 80, 100).isEmpty());
    EXPECT_EQ(m_engine.picture(0).angle, 0.0f);
    EXPECT_EQ(m_engine.picture(0).width, 40);
    EXPECT_EQ(m_engine.picture(0).height, 80);
    const QImage after = paint(200, 200);
    for (const QPoint p : { QPoint(45, 25), QPoint(60, 60), QPoint(78, 98), QPoint(50, 90) }) {
        const QColor a(before.pixel(p)), b(after.pixel(p));
        EXPECT_NEAR(a.red(), b.red(), 2) << p.x() << "," << p.y();
        EXPECT_NEAR(a.green(), b.green(), 2) << p.x() << "," << p.y();
    }
}

TEST_F(TrimmingTest, PartsOutsideThePictureStayTransparent)
{
    addPicture(solidPicture(50, 50, Qt::green), "a.png");
    paint();
    const QString file = m_engine.ClipCurrentPicture(25, 25, 75, 75);
    const QImage cut = load(file);
    EXPECT_EQ(cut.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(qAlpha(cut.pixel(40, 40)), 0);
}

TEST_F(TrimmingTest, TrimLineCutKeepsExactlyWhatThePaintShowed)
{
    addPicture(coordinatePicture(100, 80), "a.png");
    m_engine.MovePicture(10, 10, 0);
    m_engine.SetTrimLine(50, 40, TrimMode::FromBelow);
    const QImage shown = paint();
    ASSERT_EQ(m_engine.IsTrimCut(), 1);
    EXPECT_TRUE(m_engine.TrimByTrimLine());
    m_engine.ClearTrimLine();
    const JoinPicture& cut = m_engine.picture(0);
    EXPECT_EQ(QRect(cut.x, cut.y, cut.width, cut.height), QRect(10, 40, 100, 50));
    const QImage after = paint();
    for (const QPoint p : { QPoint(10, 41), QPoint(109, 89), QPoint(60, 70) })
        EXPECT_EQ(after.pixel(p), shown.pixel(p)) << p.x() << "," << p.y();
    EXPECT_EQ(after.pixel(109, 40), qRgb(99, 30, 77)); // the line row survives
}

TEST_F(TrimmingTest, OutputPictureTrimsAlternateBetweenTwoNames)
{
    const QString original = addPicture(coordinatePicture(300, 200), "out.png");
    m_engine.EnterOutputMode(DisplayMode::Joining);
    const QDir temp(m_engine.tempDir());
    ASSERT_TRUE(m_engine.TrimByWindow(10, 20, 210, 170, DisplayMode::Output));
    EXPECT_EQ(m_engine.GetOutputFile(), temp.filePath("tmpClipPic_0123.png"));
    const QImage first = load(m_engine.GetOutputFile());
    EXPECT_EQ(first.size(), QSize(200, 150));
    EXPECT_EQ(first.pixel(0, 0), qRgb(10, 20, 77));
    ASSERT_TRUE(m_engine.TrimByWindow(0, 0, 50, 50, DisplayMode::Output));
    EXPECT_EQ(m_engine.GetOutputFile(), temp.filePath("tmpClipPic_9876.png"));
    EXPECT_EQ(load(m_engine.GetOutputFile()).pixel(5, 5), qRgb(15, 25, 77));
    ASSERT_TRUE(m_engine.TrimByWindow(0, 0, 40, 40, DisplayMode::Output));
    EXPECT_EQ(m_engine.GetOutputFile(), temp.filePath("tmpClipPic_0123.png"));
    EXPECT_EQ(load(m_engine.GetOutputFile()).pixel(5, 5), qRgb(15, 25, 77));
    EXPECT_EQ(m_engine.outputOrigFile(), original);
    m_engine.RestoreOutputPicture();
    EXPECT_EQ(m_engine.GetOutputFile(), original);
}

TEST_F(TrimmingTest, MissingTemporaryFolderIsCreated)
{
    addPicture(coordinatePicture(50, 50), "a.png");
    paint();
    ASSERT_FALSE(QFileInfo::exists(m_engine.tempDir()));
    EXPECT_FALSE(m_engine.ClipCurrentPicture(0, 0, 20, 20).isEmpty());
    EXPECT_TRUE(QFileInfo(m_engine.tempDir()).isDir());
}

TEST_F(TrimmingTest, UnwritableResultLeavesTheRecordAndReportsIt)
{
    const QString original = addPicture(coordinatePicture(50, 50), "a.png");
    paint();
    QFile blocker(m_engine.tempDir()); // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_TRUE(m_engine.ClipCurrentPicture(0, 0, 20, 20).isEmpty());
    EXPECT_EQ(m_engine.picture(0).file, original);
    EXPECT_EQ(m_engine.picture(0).width, 50);
    EXPECT_FALSE(m_errors.isEmpty());

    m_engine.EnterOutputMode(DisplayMode::Joining);
    EXPECT_FALSE(m_engine.TrimByWindow(0, 0, 20, 20, DisplayMode::Output));
    EXPECT_EQ(m_engine.GetOutputFile(), original);
}

TEST_F(TrimmingTest, NoCurrentPictureGivesAnEmptyName)
{
    EXPECT_TRUE(m_engine.ClipCurrentPicture(0, 0, 50, 50).isEmpty());
    EXPECT_EQ(m_engine.clipSeq(), 0);
}
