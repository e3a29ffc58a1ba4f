#include "EngineFixture.h"

#include <QFile>
#include <QPainter>

using TestPictures::coordinatePicture;
using TestPictures::solidPicture;

namespace {

const QRgb background = colorRefToRgb(CImgJoinEngine::WindowBackColor);
const QRgb handleRed = qRgb(255, 0, 0);
const QRgb handleCyan = qRgb(0, 255, 255);

QRgb at(const QImage& image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

} // namespace

class CanvasDrawingTest : public EngineFixture
{};

TEST_F(CanvasDrawingTest, EmptyCanvasDrawsNothingNotEvenTheTrimLine)
{
    m_engine.SetTrimLine(50, 50, TrimMode::FromBelow);
    const QImage shown = paint();
    for (int y = 0; y < shown.height(); y += 7)
        for (int x = 0; x < shown.width(); x += 7)
            ASSERT_EQ(at(shown, x, y), background);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(m_engine.handleRect(i).isNull());
    QPoint point;
    TrimMode mode = TrimMode::None;
    EXPECT_EQ(m_engine.GetTrimLineShown(point, mode), 0);
    EXPECT_FALSE(m_engine.drawnValid());
}

TEST_F(CanvasDrawingTest, PicturesAreMeasuredAndDrawnPixelForPixelAtZoomOne)
{
    addPicture(coordinatePicture(200, 100), "a.png");
    m_engine.MovePicture(10, 20, 0);
    const QImage shown = paint();
    EXPECT_TRUE(m_engine.picture(0).measured());
    EXPECT_EQ(m_engine.picture(0).width, 200);
    EXPECT_EQ(m_engine.picture(0).height, 100);
    EXPECT_EQ(at(shown, 10 + 37, 20 + 55), qRgb(37, 55, 77));
    EXPECT_EQ(at(shown, 10 + 199, 20 + 99), qRgb(199, 99, 77));
    EXPECT_EQ(at(shown, 9, 20), background);
    EXPECT_EQ(m_engine.drawnRect(), QRect(10, 20, 200, 100));
}

TEST_F(CanvasDrawingTest, HandlesAreTwelvePixelSquaresOnTheEdgeMiddles)
{
    addPicture(coordinatePicture(200, 100), "a.png");
    m_engine.MovePicture(10, 20, 0);
    const QImage shown = paint();
    EXPECT_EQ(m_engine.handleRect(0), QRect(QPoint(4, 64), QPoint(15, 75)));
    EXPECT_EQ(m_engine.handleRect(1), QRect(204, 64, 12, 12));
    EXPECT_EQ(m_engine.handleRect(2), QRect(104, 14, 12, 12));
    EXPECT_EQ(m_engine.handleRect(3), QRect(QPoint(104, 114), QPoint(115, 125)));

    // Left handle (4, 64)-(16, 76): red top and left edges, cyan right and
    // bottom edges, the bottom-left and top-right corners cyan.
    EXPECT_EQ(at(shown, 4, 64), handleRed);
    EXPECT_EQ(at(shown, 14, 64), handleRed);
    EXPECT_EQ(at(shown, 15, 64), handleCyan);
    EXPECT_EQ(at(shown, 4, 74), handleRed);
    EXPECT_EQ(at(shown, 4, 75), handleCyan);
    EXPECT_EQ(at(shown, 15, 75), handleCyan);
    EXPECT_EQ(at(shown, 8, 70), background); // inside stays as it was
}

TEST_F(CanvasDrawingTest, OnlyTheCurrentPictureHasHandles)
{
    addPicture(coordinatePicture(50, 50), "a.png");
    addPicture(coordinatePicture(50, 50), "b.png");
    m_engine.MovePicture(100, 0, 0);
    paint();
    EXPECT_EQ(m_engine.handleRect(0).x(), 100 - 6);
    EXPECT_EQ(m_engine.drawnRect(), QRect(0, 0, 150, 50));
}

TEST_F(CanvasDrawingTest, TransparentPictureIsAScreenDoorDrawnAboveAllOthers)
{
    addPicture(coordinatePicture(40, 30), "top.png"); // index 0, will be current
    addPicture(solidPicture(100, 100, Qt::blue), "cover.png");
    m_engine.ModifyCurrentPicture(ModifyCode::NextPicture); // wraps to picture 0
    ASSERT_EQ(m_engine.currentPicture(), 0);
    m_engine.SetHotTransparent(1);
    m_engine.SetTrimLine(0, 10, TrimMode::FromBelow);
    const QImage shown = paint();

    // Even rows show pixels at even columns; odd rows are shifted by one.
    EXPECT_EQ(at(shown, 4, 2), qRgb(4, 2, 77));
    EXPECT_EQ(at(shown, 5, 2), qRgb(0, 0, 255));
    EXPECT_EQ(at(shown, 5, 3), qRgb(4, 3, 77));
    EXPECT_EQ(at(shown, 4, 3), qRgb(0, 0, 255));
    EXPECT_EQ(at(shown, 0, 1), qRgb(0, 0, 255));
    // With an even width the odd rows end on the last box column.
    EXPECT_EQ(at(shown, 39, 1), qRgb(38, 1, 77));
    // The trim line does not cut a transparent picture.
    EXPECT_EQ(m_engine.IsTrimCut(), 0);
    EXPECT_EQ(at(shown, 2, 0), qRgb(2, 0, 77));
}

TEST_F(CanvasDrawingTest, ScreenDoorOfAnOddWidthReachesOnePastTheBoxOnOddRows)
{
    addPicture(coordinatePicture(41, 10), "odd.png");
    m_engine.SetHotTransparent(1);
    const QImage shown = paint();
    EXPECT_EQ(at(shown, 41, 1), qRgb(40, 1, 77));
    EXPECT_EQ(at(shown, 41, 0), background);
}

TEST_F(CanvasDrawingTest, TrimLineCutsTheCurrentPictureAndIsDrawnDotted)
{
    addPicture(coordinatePicture(100, 80), "a.png");
    m_engine.MovePicture(10, 10, 0);
    m_engine.SetTrimLine(50, 40, TrimMode::FromBelow);
    const QImage shown = paint(200, 150);

    EXPECT_EQ(m_engine.IsTrimCut(), 1);
    EXPECT_EQ(m_engine.trimKeptRect(), QRect(10, 40, 100, 50));
    EXPECT_EQ(at(shown, 30, 39), background); // above the line: cut away
    EXPECT_EQ(at(shown, 30, 41), qRgb(20, 31, 77));
    // The dotted line over the whole clip box, starting with the red dot.
    EXPECT_EQ(at(shown, 0, 40), qRgb(0xE9, 0x13, 0x13));
    EXPECT_EQ(at(shown, 1, 40), qRgb(0x13, 0xE9, 0xE9));
    EXPECT_EQ(at(shown, 198, 40), qRgb(0xE9, 0x13, 0x13));
    QPoint point;
    TrimMode mode = TrimMode::None;
    EXPECT_EQ(m_engine.GetTrimLineShown(point, mode), 1);
    EXPECT_EQ(point, QPoint(50, 40));
    EXPECT_EQ(mode, TrimMode::FromBelow);
}

TEST_F(CanvasDrawingTest, EachTrimDirectionKeepsItsSideWithTheLineIncluded)
{
    addPicture(coordinatePicture(100, 80), "a.png");
    struct Case
    {
        TrimMode mode;
        QRect kept;
    };
    const Case cases[] = {
        { TrimMode::FromBelow, QRect(0, 30, 100, 50) },
        { TrimMode::FromAbove, QRect(0, 0, 100, 31) },
        { TrimMode::FromRight, QRect(20, 0, 80, 80) },
        { TrimMode::FromLeft, QRect(0, 0, 21, 80) },
    };
    for (const Case& c : cases) {
        m_engine.SetTrimLine(20, 30, c.mode);
        paint();
        EXPECT_EQ(m_engine.trimKeptRect(), c.kept) << codeValue(c.mode);
        EXPECT_EQ(m_engine.IsTrimCut(), 1) << codeValue(c.mode);
    }
}

TEST_F(CanvasDrawingTest, TrimLineOutsideThePictureCutsNothingOrEverything)
{
    addPicture(coordinatePicture(100, 80), "a.png");
    m_engine.MovePicture(50, 50, 0);
    m_engine.SetTrimLine(10, 10, TrimMode::FromBelow); // above the picture
    paint();
    EXPECT_EQ(m_engine.IsTrimCut(), 0);
    EXPECT_EQ(m_engine.trimKeptRect(), QRect(50, 50, 100, 80));

    m_engine.SetTrimLine(10, 10, TrimMode::FromLeft); // left of the picture
    const QImage shown = paint();
    EXPECT_EQ(m_engine.IsTrimCut(), 1);
    EXPECT_TRUE(m_engine.trimKeptRect().isEmpty());
    EXPECT_EQ(at(shown, 80, 80), background);
    EXPECT_FALSE(m_engine.TrimByTrimLine());
}

TEST_F(CanvasDrawingTest, PictureTurnedHalfWayIsUpsideDownInItsOwnBox)
{
    addPicture(coordinatePicture(60, 40), "a.png");
    m_engine.MovePicture(30, 20, 0);
    m_engine.ModifyCurrentPicture(ModifyCode::TurnRight180);
    const QImage shown = paint();
    // Box pixel (c, r) shows picture pixel (59 - c, 39 - r).
    for (const QPoint p : { QPoint(0, 0), QPoint(10, 5), QPoint(59, 39), QPoint(33, 21) }) {
        const QColor seen = QColor(at(shown, 30 + p.x(), 20 + p.y()));
        EXPECT_NEAR(seen.red(), 59 - p.x(), 2) << p.x() << "," << p.y();
        EXPECT_NEAR(seen.green(), 39 - p.y(), 2) << p.x() << "," << p.y();
    }
    EXPECT_EQ(m_engine.handleRect(0), QRect(24, 34, 12, 12)); // unrotated box
}

TEST_F(CanvasDrawingTest, ZoomCommandsAndFitUseTheLastPaint)
{
    m_engine.Zoom(ZoomCode::Fit, ZoomTarget::Canvas); // before any paint: nothing drawn, zoom 1
    EXPECT_FLOAT_EQ(m_engine.canvasZoom(), 1.0f);

    addPicture(coordinatePicture(800, 200), "a.png");
    m_engine.MovePicture(5, 5, 1);
    m_engine.SetClientRect(0, 0, 400, 300);
    paint();
    m_engine.Zoom(ZoomCode::Fit, ZoomTarget::Canvas);
    EXPECT_FLOAT_EQ(m_engine.canvasZoom(), 0.5f);
    EXPECT_EQ(m_engine.canvasOrigin(), QPoint(0, 0));
    m_engine.Zoom(ZoomCode::In, ZoomTarget::Canvas);
    EXPECT_FLOAT_EQ(m_engine.canvasZoom(), float(0.5 * 1.1));
    m_engine.Zoom(ZoomCode::Out, ZoomTarget::Canvas);
    EXPECT_NEAR(m_engine.canvasZoom(), 0.5f, 1e-6);
    m_engine.MovePicture(7, 9, 1);
    m_engine.Zoom(ZoomCode::OneToOne, ZoomTarget::Canvas);
    EXPECT_FLOAT_EQ(m_engine.canvasZoom(), 1.0f);
    EXPECT_EQ(m_engine.canvasOrigin(), QPoint(0, 0));

    const QImage shown = paint();
    m_engine.Zoom(ZoomCode::Fit, ZoomTarget::Canvas);
    const QImage fitted = paint();
    EXPECT_EQ(m_engine.drawnRect(), QRect(0, 0, 400, 100));
    EXPECT_EQ(at(fitted, 0, 0), at(shown, 0, 0));
}

TEST_F(CanvasDrawingTest, PaintingDecodesAFileOnlyWhenItChanged)
{
    const QString file = addPicture(coordinatePicture(64, 64), "a.png");
    addPicture(coordinatePicture(64, 64), "b.png");
    paint();
    paint();
    m_engine.SetHotTransparent(1);
    paint();
    m_engine.Zoom(ZoomCode::In, ZoomTarget::Canvas);
    paint();
    EXPECT_EQ(m_engine.decodeCount(), 2);

    // A changed file (other size) is decoded again and measured anew only
    // when never measured; its record keeps its size.
    TestPictures::save(solidPicture(32, 16, Qt::red), file);
    paint();
    EXPECT_EQ(m_engine.decodeCount(), 3);
}

TEST_F(CanvasDrawingTest, UnreadablePictureDrawsNothingAndIsReportedOnce)
{
    QFile bad(path("bad.png"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture at all");
    bad.close();
    m_engine.AddPicture(bad.fileName());
    const QImage shown = paint();
    paint();
    EXPECT_EQ(m_errors.size(), 1);
    EXPECT_EQ(at(shown, 0, 0), background);
    EXPECT_FALSE(m_engine.picture(0).measured());
}

TEST_F(CanvasDrawingTest, OutputPictureFitsOnlyInWindowsWiderThan300)
{
    const QString file = TestPictures::save(coordinatePicture(200, 100), path("out.png"));
    m_engine.AddPicture(file);
    ASSERT_EQ(m_engine.EnterOutputMode(DisplayMode::Joining), 1);

    QImage narrow(300, 300, QImage::Format_RGB32);
    {
        QPainter painter(&narrow);
        m_engine.DrawOutputPicture(painter);
    }
    EXPECT_FALSE(m_engine.outputFitted());
    EXPECT_FLOAT_EQ(m_engine.outputZoom(), 1.0f);
    EXPECT_EQ(at(narrow, 0, 0), qRgb(0, 0, 77));
    EXPECT_EQ(at(narrow, 250, 250), background);

    QImage wide(400, 400, QImage::Format_RGB32);
    {
        QPainter painter(&wide);
        m_engine.DrawOutputPicture(painter);
    }
    EXPECT_TRUE(m_engine.outputFitted());
    EXPECT_FLOAT_EQ(m_engine.outputZoom(), 2.0f);
    EXPECT_EQ(at(wide, 399, 250), background);

    m_engine.Zoom(ZoomCode::In, ZoomTarget::OutputPicture);
    EXPECT_FLOAT_EQ(m_engine.outputZoom(), float(2.0 * 1.1));
    m_engine.Zoom(ZoomCode::Fit, ZoomTarget::OutputPicture);
    EXPECT_FALSE(m_engine.outputFitted());
    m_engine.MoveOutputPicture(5, -3);
    EXPECT_EQ(m_engine.outputPos(), QPoint(5, -3));
}

TEST_F(CanvasDrawingTest, PrintedPageHasMarginsAndOneUniformScale)
{
    const QString file = TestPictures::save(solidPicture(1050, 500, Qt::red), path("p.png"));
    m_engine.AddPicture(file);
    m_engine.EnterOutputMode(DisplayMode::Joining);
    QImage page(4800, 6400, QImage::Format_RGB16);
    {
        QPainter painter(&page);
        m_engine.PrintOutputPicture(painter);
    }
    // Margins 300 and 400, scale 4.0: the picture covers (300, 400)-(4500, 2400).
    EXPECT_EQ(at(page, 299, 400), at(page, 0, 0));
    EXPECT_EQ(at(page, 300, 400), qRgb(255, 0, 0));
    EXPECT_EQ(at(page, 4499, 2399), qRgb(255, 0, 0));
    EXPECT_EQ(at(page, 4500, 2399), at(page, 0, 0));
    EXPECT_EQ(at(page, 4499, 2400), at(page, 0, 0));
}
