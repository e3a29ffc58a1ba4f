#include "CaptureAligner.h"
#include "EngineFixture.h"
#include "ImageCache.h"
#include "SyntheticCaptures.h"

#include <QFileInfo>
#include <QPainter>

#include <atomic>
#include <utility>

namespace {

SyntheticCaptures::Options smallSet(quint32 seed = 1)
{
    SyntheticCaptures::Options options;
    options.drawingSize = QSize(1600, 1000);
    options.captureSize = QSize(640, 400);
    options.count = 8;
    options.seed = seed;
    return options;
}

// Every placed capture lies at its place in the drawing, shifted alike.
void expectExactPlaces(const SyntheticCaptures::Set& set, const CaptureAligner::Result& result)
{
    int first = -1;
    for (qsizetype i = 0; i < set.captures.size(); ++i) {
        if (set.positions.at(i) == SyntheticCaptures::NotInDrawing) {
            EXPECT_FALSE(result.placed.at(i)) << "capture " << i << " comes from another drawing";
            EXPECT_FALSE(result.whyLeftOut.at(i).isEmpty());
            continue;
        }
        ASSERT_TRUE(result.placed.at(i))
            << "capture " << i << ": " << result.whyLeftOut.at(i).toStdString();
        EXPECT_GT(result.confidence.at(i), 0.5);
        if (first < 0) {
            first = int(i);
            continue;
        }
        EXPECT_EQ(result.offsets.at(i) - result.offsets.at(first),
                  set.positions.at(i) - set.positions.at(first))
            << "capture " << i;
    }
}

// Pixels of the joined picture that differ from the drawing, outside the
// boxes allowed to differ (in drawing coordinates); transparent pixels are
// not covered and not counted.
qint64 differencesFromDrawing(const QImage& joined, const QImage& drawing, const QPoint& origin,
                              const QList<QRect>& allowed = {})
{
    const QImage a = joined.convertToFormat(QImage::Format_ARGB32);
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb pixel = a.pixel(x, y);
            if (qAlpha(pixel) == 0)
                continue;
            const QPoint at = origin + QPoint(x, y);
            bool excused = false;
            for (const QRect& box : allowed)
                excused = excused || box.contains(at);
            if (!excused && (!drawing.rect().contains(at) || pixel != drawing.pixel(at)))
                ++differing;
        }
    return differing;
}

// Where the joined picture's top-left lies in the drawing.
QPoint joinedOrigin(const SyntheticCaptures::Set& set, const CaptureAligner::Result& result)
{
    for (qsizetype i = 0; i < set.captures.size(); ++i)
        if (result.placed.at(i))
            return set.positions.at(i) - result.offsets.at(i);
    return {};
}

} // namespace

TEST(CaptureAlignerTest, JoinsShuffledCapturesExactlyAndCutsTheChromeAway)
{
    for (quint32 seed : { 1u, 2u }) {
        const SyntheticCaptures::Set set = SyntheticCaptures::make(smallSet(seed));
        EXPECT_EQ(CaptureAligner::findDrawingArea(set.captures), set.area);
        const CaptureAligner::Result result = CaptureAligner::align(set.captures, {});
        ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
        EXPECT_EQ(result.area, set.area);
        EXPECT_EQ(result.placedCount(), set.captures.size());
        expectExactPlaces(set, result);

        const QImage joined = CaptureAligner::compose(set.captures, result);
        ASSERT_FALSE(joined.isNull());
        EXPECT_EQ(joined.size(), result.canvasSize);
        EXPECT_EQ(differencesFromDrawing(joined, set.drawing, joinedOrigin(set, result)), 0);
    }
}

TEST(CaptureAlignerTest, LeavesOutCapturesThatOverlapNothingAndJoinsTheRest)
{
    SyntheticCaptures::Options options = smallSet(3);
    options.isolated = 2;
    const SyntheticCaptures::Set set = SyntheticCaptures::make(options);
    const CaptureAligner::Result result = CaptureAligner::align(set.captures, {});
    EXPECT_EQ(result.placedCount(), options.count);
    expectExactPlaces(set, result);
    const QImage joined = CaptureAligner::compose(set.captures, result);
    EXPECT_EQ(differencesFromDrawing(joined, set.drawing, joinedOrigin(set, result)), 0);
}

TEST(CaptureAlignerTest, PackedCapturesGiveTheSamePlacesAndPixelsAsFullOnes)
{
    SyntheticCaptures::Options options = smallSet(6);
    options.isolated = 1;
    const SyntheticCaptures::Set set = SyntheticCaptures::make(options);
    // The captures as drawn (24-bit when packed), and with few enough
    // colours to be packed as 8-bit indexed pictures.
    QList<QImage> fewColours;
    for (const QImage& capture : set.captures) {
        QImage reduced = capture.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < reduced.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(reduced.scanLine(y));
            for (int x = 0; x < reduced.width(); ++x)
                line[x] &= 0xffc0c0c0u;
        }
        fewColours << reduced;
    }
    for (const auto& [full, packedFormat] : { std::pair(set.captures, QImage::Format_RGB888),
                                              std::pair(fewColours, QImage::Format_Indexed8) }) {
        SCOPED_TRACE(packedFormat);
        QList<QImage> packed;
        for (const QImage& capture : full)
            packed << ImageCache::compact(capture);
        ASSERT_EQ(packed.first().format(), packedFormat);

        const CaptureAligner::Result expected = CaptureAligner::align(full, {});
        const CaptureAligner::Result result = CaptureAligner::align(packed, {});
        ASSERT_EQ(expected.placedCount(), options.count);
        EXPECT_EQ(result.area, expected.area);
        EXPECT_EQ(result.placed, expected.placed);
        EXPECT_EQ(result.offsets, expected.offsets);
        EXPECT_EQ(result.confidence, expected.confidence);
        EXPECT_EQ(result.canvasSize, expected.canvasSize);

        const QImage joined = CaptureAligner::compose(packed, result);
        const QImage reference = CaptureAligner::compose(full, expected);
        ASSERT_FALSE(joined.isNull());
        EXPECT_EQ(joined.format(), reference.format());
        EXPECT_TRUE(joined == reference);
    }
}

TEST(CaptureAlignerTest, ACursorInAnOverlapDoesNotStopTheJoin)
{
    SyntheticCaptures::Options options = smallSet(4);
    options.cursorInOverlap = true;
    const SyntheticCaptures::Set set = SyntheticCaptures::make(options);
    const CaptureAligner::Result result = CaptureAligner::align(set.captures, {});
    expectExactPlaces(set, result);
    // Only the cursor itself may show.
    QList<QRect> cursor;
    for (qsizetype i = 0; i < set.captures.size(); ++i)
        if (!set.cursorBoxes.at(i).isEmpty())
            cursor << set.cursorBoxes.at(i).translated(set.positions.at(i) - set.area.topLeft());
    ASSERT_EQ(cursor.size(), 1);
    const QImage joined = CaptureAligner::compose(set.captures, result);
    EXPECT_EQ(differencesFromDrawing(joined, set.drawing, joinedOrigin(set, result), cursor), 0);
}

TEST(CaptureAlignerTest, AGridThatRepeatsWithinEveryCaptureDoesNotFoolIt)
{
    // At this pitch a capture holds several identical cells of grid and walls.
    SyntheticCaptures::Options options = smallSet(5);
    options.gridPitch = 90;
    const SyntheticCaptures::Set set = SyntheticCaptures::make(options);
    const CaptureAligner::Result result = CaptureAligner::align(set.captures, {});
    expectExactPlaces(set, result);
}

TEST(CaptureAlignerTest, LeavesOutACaptureThatContradictsItsNeighbours)
{
    // A copy of one capture with marks in three corners of the drawing: a
    // neighbour that overlaps one corner only matches it, the capture it
    // copies and the others do not.
    SyntheticCaptures::Set set = SyntheticCaptures::make(smallSet(17));
    QImage copy = set.captures.first();
    {
        QPainter painter(&copy);
        const QRect area = set.area;
        for (const QPoint& at :
             { area.topLeft() + QPoint(8, 8), area.center(), area.bottomRight() - QPoint(20, 20) })
            painter.fillRect(QRect(at, QSize(12, 12)), Qt::white);
    }
    set.captures << copy;
    set.positions << SyntheticCaptures::NotInDrawing;
    set.cursorBoxes << QRect();
    const CaptureAligner::Result result = CaptureAligner::align(set.captures, {});
    expectExactPlaces(set, result);
}

TEST(CaptureAlignerTest, LeavesOutChangingTextRightUnderTheDrawing)
{
    // A command line under the drawing area whose text changes in every
    // capture and spans it whole, as wide and dense as drawing.
    SyntheticCaptures::Set set = SyntheticCaptures::make(smallSet(16));
    for (qsizetype i = 0; i < set.captures.size(); ++i) {
        QPainter painter(&set.captures[i]);
        const QRect line(set.area.left(), set.area.bottom() + 4, set.area.width(), 12);
        painter.fillRect(line, Qt::white);
        painter.setPen(Qt::black);
        QFont font = painter.font();
        font.setPixelSize(11);
        painter.setFont(font);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("LINE %1 %2 ").arg(i * 7919).arg(i * 104729).repeated(8));
    }
    // Judged from the changes alone, the line belongs to the drawing ...
    EXPECT_GT(CaptureAligner::findDrawingArea(set.captures).bottom(), set.area.bottom());
    // ... but no capture matches another over it.
    const CaptureAligner::Result result = CaptureAligner::align(set.captures, {});
    EXPECT_EQ(result.area, set.area);
    expectExactPlaces(set, result);
}

TEST(CaptureAlignerTest, TakesAGivenAreaAndRefusesOneOutsideTheCaptures)
{
    const SyntheticCaptures::Set set = SyntheticCaptures::make(smallSet(6));
    CaptureAligner::Options options;
    options.area = set.area.adjusted(10, 10, -10, -10);
    const CaptureAligner::Result given = CaptureAligner::align(set.captures, options);
    EXPECT_EQ(given.area, options.area);
    expectExactPlaces(set, given);

    options.area = QRect(600, 0, 100, 100);
    const CaptureAligner::Result outside = CaptureAligner::align(set.captures, options);
    EXPECT_FALSE(outside.error.isEmpty());
    EXPECT_EQ(outside.placedCount(), 0);
}

TEST(CaptureAlignerTest, ReportsWhatCannotBeAligned)
{
    // Identical captures show nothing changing: there is no drawing area.
    const QImage same = TestPictures::coordinatePicture(200, 150);
    EXPECT_FALSE(CaptureAligner::align({ same, same, same }, {}).error.isEmpty());
    // One capture alone, or captures of different sizes.
    const SyntheticCaptures::Set set = SyntheticCaptures::make(smallSet(7));
    const CaptureAligner::Result alone = CaptureAligner::align({ set.captures.first() }, {});
    EXPECT_FALSE(alone.error.isEmpty());
    QList<QImage> mixed = set.captures;
    mixed << set.captures.first().copy(0, 0, 300, 200) << QImage();
    const CaptureAligner::Result result = CaptureAligner::align(mixed, {});
    EXPECT_EQ(result.placedCount(), set.captures.size());
    EXPECT_FALSE(result.whyLeftOut.at(mixed.size() - 2).isEmpty());
    EXPECT_FALSE(result.whyLeftOut.last().isEmpty());
}

TEST(CaptureAlignerTest, StopsWhenCancelled)
{
    const SyntheticCaptures::Set set = SyntheticCaptures::make(smallSet(8));
    std::atomic<bool> cancel{ true };
    CaptureAligner::Options options;
    options.cancel = &cancel;
    const CaptureAligner::Result result = CaptureAligner::align(set.captures, options);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.placedCount(), 0);
}

TEST(CaptureAlignerTest, LocatesAPictureOnWhatLiesBelowIt)
{
    const QImage drawing = SyntheticCaptures::drawing(QSize(900, 700), 240, 9);
    // The ground covers only part of the search box; the rest is transparent.
    QImage ground(700, 600, QImage::Format_ARGB32_Premultiplied);
    ground.fill(Qt::transparent);
    {
        QPainter painter(&ground);
        painter.drawImage(QPoint(0, 0), drawing, QRect(100, 50, 500, 400));
    }
    const QImage picture = drawing.copy(350, 250, 400, 300);
    QPoint offset;
    double confidence = 0.0;
    ASSERT_TRUE(CaptureAligner::locate(picture, ground, offset, confidence));
    EXPECT_EQ(offset, QPoint(250, 200));
    EXPECT_GT(confidence, 0.5);

    const QImage elsewhere = SyntheticCaptures::drawing(QSize(400, 300), 240, 10);
    EXPECT_FALSE(CaptureAligner::locate(elsewhere, ground, offset, confidence));
}

TEST(CaptureAlignerTest, ChecksAnOffsetPixelByPixel)
{
    const QImage drawing = SyntheticCaptures::drawing(QSize(800, 600), 240, 11);
    const QImage a = drawing.copy(0, 0, 500, 400);
    QImage b = drawing.copy(200, 100, 500, 400);
    CaptureAligner::Check right = CaptureAligner::verify(a, b, QPoint(200, 100), qRgb(0, 0, 0));
    EXPECT_TRUE(right.accepted);
    EXPECT_EQ(right.mismatched, 0);
    EXPECT_EQ(right.overlap, 300 * 300);
    EXPECT_FALSE(CaptureAligner::verify(a, b, QPoint(201, 100), qRgb(0, 0, 0)).accepted);
    // A spot drawn on top is forgiven; differences all over are not.
    QPainter(&b).fillRect(40, 40, 20, 20, Qt::white);
    EXPECT_TRUE(CaptureAligner::verify(a, b, QPoint(200, 100), qRgb(0, 0, 0)).accepted);
    for (int k = 0; k < 4; ++k)
        QPainter(&b).fillRect(20 + 80 * k, 200, 10, 10, Qt::yellow);
    EXPECT_FALSE(CaptureAligner::verify(a, b, QPoint(200, 100), qRgb(0, 0, 0)).accepted);
}

// ---- the engine's operations -----------------------------------------------------

class AutoJoinTest : public EngineFixture
{
protected:
    SyntheticCaptures::Set addSet(const SyntheticCaptures::Options& options)
    {
        SyntheticCaptures::Set set = SyntheticCaptures::make(options);
        for (qsizetype i = 0; i < set.captures.size(); ++i)
            addPicture(set.captures.at(i), QStringLiteral("cap%1.png").arg(i));
        return set;
    }
};

TEST_F(AutoJoinTest, ArrangesEveryPictureAsOneUndoableStep)
{
    SyntheticCaptures::Options options = smallSet(12);
    options.count = 6;
    options.isolated = 1;
    const SyntheticCaptures::Set set = addSet(options);
    paint(); // measures the pictures and keeps them decoded
    const CanvasSnapshot before = m_engine.snapshot();
    const int decodedBefore = m_engine.decodeCount();

    AutoJoinJob job = m_engine.beginAutoJoin();
    ASSERT_TRUE(job.valid());
    EXPECT_TRUE(m_engine.isBusy());
    job.run();
    ASSERT_TRUE(m_engine.endAutoJoin(job));
    EXPECT_FALSE(m_engine.isBusy());
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    EXPECT_EQ(m_engine.decodeCount(), decodedBefore);

    int first = -1;
    for (int i = 0; i < m_engine.GetPictureCount(); ++i) {
        const JoinPicture& picture = m_engine.picture(i);
        if (set.positions.at(i) == SyntheticCaptures::NotInDrawing) {
            EXPECT_EQ(picture, before.pictures.at(i)) << "left out, left alone";
            continue;
        }
        // A clip of the drawing area in the temporary folder.
        EXPECT_TRUE(picture.file.startsWith(m_engine.tempDir()));
        EXPECT_EQ(QImage(picture.file).size(), set.area.size());
        EXPECT_EQ(QSize(picture.width, picture.height), set.area.size());
        if (first < 0)
            first = i;
        else
            EXPECT_EQ(QPoint(picture.x, picture.y) -
                          QPoint(m_engine.picture(first).x, m_engine.picture(first).y),
                      set.positions.at(i) - set.positions.at(first));
    }
    const QString summary = CImgJoinEngine::AutoJoinSummary(job);
    EXPECT_TRUE(summary.contains(QString::number(options.count)));
    EXPECT_TRUE(summary.contains(QStringLiteral("cap")));

    ASSERT_TRUE(m_engine.Undo());
    EXPECT_EQ(m_engine.snapshot().pictures, before.pictures);
}

TEST_F(AutoJoinTest, ACancelledJobChangesNothingAndLeavesNoClip)
{
    SyntheticCaptures::Options options = smallSet(13);
    options.count = 4;
    addSet(options);
    const CanvasSnapshot before = m_engine.snapshot();
    const int steps = m_engine.undoStack().count();
    AutoJoinJob job = m_engine.beginAutoJoin();
    ASSERT_TRUE(job.valid());
    job.cancel();
    job.run();
    EXPECT_FALSE(m_engine.endAutoJoin(job));
    EXPECT_EQ(m_engine.snapshot().pictures, before.pictures);
    EXPECT_EQ(m_engine.undoStack().count(), steps);
    for (const QString& target : job.targets)
        EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(AutoJoinTest, RefusesTooFewPicturesAndKeepsPicturesThatChangedMeanwhile)
{
    addPicture(TestPictures::coordinatePicture(100, 80), "one.png");
    EXPECT_FALSE(m_engine.beginAutoJoin().valid());
    EXPECT_EQ(m_errors.size(), 1);
    m_engine.ClearPictures();
    m_errors.clear();

    SyntheticCaptures::Options options = smallSet(14);
    options.count = 3;
    addSet(options);
    const int steps = m_engine.undoStack().count();
    AutoJoinJob job = m_engine.beginAutoJoin();
    job.run();
    m_engine.endAutoJoin(AutoJoinJob{}); // an invalid job changes nothing
    EXPECT_TRUE(m_engine.isBusy());
    // The canvas no longer shows what the job arranged.
    job.files[1] = path("gone.png");
    EXPECT_FALSE(m_engine.endAutoJoin(job));
    EXPECT_FALSE(m_errors.isEmpty());
    EXPECT_EQ(m_engine.undoStack().count(), steps);
    for (const QString& target : job.targets)
        EXPECT_FALSE(QFileInfo::exists(target));
}

TEST_F(AutoJoinTest, AlignsTheCurrentPictureOnThePicturesBelow)
{
    const QImage drawing = SyntheticCaptures::drawing(QSize(900, 700), 240, 15);
    // Dropped a few pixels off where it matches the picture below.
    m_engine.addPlacedPicture(TestPictures::save(drawing.copy(0, 0, 500, 400), path("below.png")),
                              40, 30);
    m_engine.addPlacedPicture(
        TestPictures::save(drawing.copy(300, 200, 500, 400), path("above.png")), 347, 223);
    paint();
    ASSERT_EQ(m_engine.currentPicture(), 1);

    const CImgJoinEngine::AlignOutcome outcome =
        m_engine.AutoAlignCurrentPicture(QRect(0, 0, 1200, 900));
    ASSERT_TRUE(outcome.moved) << outcome.message.toStdString();
    EXPECT_EQ(QPoint(m_engine.picture(1).x, m_engine.picture(1).y), QPoint(340, 230));
    EXPECT_EQ(outcome.distance, QPoint(-7, 7));
    ASSERT_TRUE(m_engine.Undo());
    EXPECT_EQ(QPoint(m_engine.picture(1).x, m_engine.picture(1).y), QPoint(347, 223));

    // Looking where the pictures below do not reach finds nothing.
    const CImgJoinEngine::AlignOutcome nothing =
        m_engine.AutoAlignCurrentPicture(QRect(2000, 2000, 300, 300));
    EXPECT_FALSE(nothing.moved);
    EXPECT_FALSE(nothing.message.isEmpty());
    EXPECT_EQ(QPoint(m_engine.picture(1).x, m_engine.picture(1).y), QPoint(347, 223));
}
