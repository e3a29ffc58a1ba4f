#include "EngineFixture.h"
#include "ImageEditBuffer.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace {

constexpr QRgb Ground = 0xFF808080;
constexpr QPoint AreaAt(10, 20); // where the edit area lies in its dialog

// A pattern whose every pixel tells its row and column.
QImage numberedPattern()
{
    QImage pattern(40, 40, QImage::Format_RGB32);
    for (int r = 0; r < 40; ++r)
        for (int c = 0; c < 40; ++c)
            pattern.setPixel(c, r, qRgb(c * 5, r * 5, 200));
    return pattern;
}

ImageEditBuffer groundBuffer(int radius, QSize size = QSize(120, 100))
{
    QImage ground(size, QImage::Format_ARGB32);
    ground.fill(Ground);
    ImageEditBuffer buffer;
    buffer.setArea(QRect(AreaAt, QSize(200, 150)));
    buffer.load(ground, QPoint(0, 0));
    buffer.setPattern(numberedPattern());
    buffer.setRadius(radius);
    return buffer;
}

// The window after dabs at these dialog points, stamped pixel by pixel.
QImage expectedAfter(const QList<QPoint>& dabs, int radius, QSize size = QSize(120, 100))
{
    const QImage pattern = numberedPattern();
    QImage expected(size, QImage::Format_ARGB32);
    expected.fill(Ground);
    for (QPoint at : dabs) {
        for (int r = 0; r < 40; ++r) {
            for (int c = 0; c < 40; ++c) {
                if (int(std::sqrt(double((r - 20) * (r - 20) + (c - 20) * (c - 20)))) > radius)
                    continue;
                const QPoint p = at - AreaAt + QPoint(c - 20, r - 20);
                if (expected.rect().contains(p))
                    expected.setPixel(p, pattern.pixel(c, r));
            }
        }
    }
    return expected;
}

void expectSamePixels(const QImage& actual, const QImage& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            ASSERT_EQ(a.pixel(x, y), expected.pixel(x, y)) << x << ',' << y;
}

} // namespace

TEST(ImageEditBuffer, OneDabAtRadiusZeroOneAndFive)
{
    for (int radius : { 0, 1, 5 }) {
        ImageEditBuffer buffer = groundBuffer(radius);
        const QPoint at = AreaAt + QPoint(50, 40);
        const QRect changed = buffer.paintDab(at);
        EXPECT_EQ(changed, QRect(at - QPoint(radius, radius), QSize(2, 2) * radius + QSize(1, 1)));
        expectSamePixels(buffer.window(), expectedAfter({ at }, radius));
        EXPECT_TRUE(buffer.dirty());
    }
    // Radius 1 is the whole 3 x 3 square, the pattern's centre on the point.
    ImageEditBuffer buffer = groundBuffer(1);
    buffer.paintDab(AreaAt + QPoint(50, 40));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            EXPECT_EQ(buffer.window().pixel(50 + dx, 40 + dy),
                      numberedPattern().pixel(20 + dx, 20 + dy));
}

TEST(ImageEditBuffer, OneStrokeAtRadiusZeroOneAndFive)
{
    // One dab per column; the rows are followed back from the end point.
    const QPoint from = AreaAt + QPoint(10, 10);
    QList<QPoint> dabs;
    const int rows[] = { 10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 13 };
    for (int i = 0; i <= 10; ++i)
        dabs << AreaAt + QPoint(10 + i, rows[i]);
    for (int radius : { 0, 1, 5 }) {
        ImageEditBuffer buffer = groundBuffer(radius);
        buffer.paintStroke(from, AreaAt + QPoint(20, 13));
        expectSamePixels(buffer.window(), expectedAfter(dabs, radius));
    }
    // Steep, backwards and diagonal lines.
    ImageEditBuffer steep = groundBuffer(0);
    steep.paintStroke(AreaAt + QPoint(30, 30), AreaAt + QPoint(28, 20));
    expectSamePixels(
        steep.window(),
        expectedAfter({ AreaAt + QPoint(30, 30), AreaAt + QPoint(29, 29), AreaAt + QPoint(29, 28),
                        AreaAt + QPoint(29, 27), AreaAt + QPoint(29, 26), AreaAt + QPoint(29, 25),
                        AreaAt + QPoint(28, 24), AreaAt + QPoint(28, 23), AreaAt + QPoint(28, 22),
                        AreaAt + QPoint(28, 21), AreaAt + QPoint(28, 20) },
                      0));
    ImageEditBuffer diagonal = groundBuffer(1);
    diagonal.paintStroke(AreaAt + QPoint(10, 10), AreaAt + QPoint(13, 13));
    expectSamePixels(diagonal.window(),
                     expectedAfter({ AreaAt + QPoint(10, 10), AreaAt + QPoint(11, 11),
                                     AreaAt + QPoint(12, 12), AreaAt + QPoint(13, 13) },
                                   1));
}

TEST(ImageEditBuffer, DabsStayInsideTheWindowAndReportOnlyWhatTheyTouched)
{
    // A window smaller than the area: dabs by its edges are cut, dabs
    // beyond it paint nothing.
    ImageEditBuffer buffer = groundBuffer(5, QSize(60, 40));
    const QPoint corner = AreaAt + QPoint(58, 1);
    EXPECT_EQ(buffer.paintDab(corner), QRect(AreaAt + QPoint(53, 0), QSize(7, 7)));
    expectSamePixels(buffer.window(), expectedAfter({ corner }, 5, QSize(60, 40)));
    ImageEditBuffer beyond = groundBuffer(5, QSize(60, 40));
    EXPECT_TRUE(beyond.paintDab(AreaAt + QPoint(100, 100)).isEmpty());
    EXPECT_FALSE(beyond.dirty());

    // A stroke across a full-HD window touches a band around its line only.
    ImageEditBuffer wide = groundBuffer(5, QSize(1920, 1080));
    wide.setArea(QRect(AreaAt, QSize(1920, 1080)));
    wide.load(QImage(1920, 1080, QImage::Format_ARGB32), QPoint(0, 0));
    EXPECT_EQ(wide.paintStroke(AreaAt + QPoint(100, 500), AreaAt + QPoint(1800, 500)),
              QRect(AreaAt + QPoint(95, 495), QSize(1711, 11)));
}

class ImageEditTest : public EngineFixture
{
protected:
    QImage savedPixels() const { return QImage(m_engine.picture(0).file); }
};

TEST_F(ImageEditTest, ScrollingSavesIntoTheTwoEditFilesInTurn)
{
    const QString original = addPicture(TestPictures::coordinatePicture(3000, 200), "wide.png");
    ImageEditBuffer& edit = m_engine.imageEdit();
    const QRect area(AreaAt, QSize(600, 100));
    ASSERT_TRUE(m_engine.BeginImageEdit(area));
    edit.fillPattern(qRgb(255, 0, 255));
    edit.setRadius(0);
    EXPECT_TRUE(m_engine.CanScrollImageEdit(EditScroll::Right));
    EXPECT_FALSE(m_engine.CanScrollImageEdit(EditScroll::Left));
    EXPECT_EQ(edit.window().size(), QSize(600, 100));

    const QStringList names = m_engine.imageEditFiles(QStringLiteral("png"));
    const QString expectedFiles[] = { names[0], names[1], names[0] };
    for (int step = 0; step < 3; ++step) {
        edit.paintDab(AreaAt + QPoint(5, 5 + step));
        ASSERT_TRUE(m_engine.ScrollImageEdit(EditScroll::Right));
        EXPECT_EQ(m_engine.picture(0).file, expectedFiles[step]);
        EXPECT_EQ(edit.offset(), QPoint(200 * (step + 1), 0));
        // Every dab so far is in the file, at its place in the picture.
        const QImage saved = savedPixels();
        for (int i = 0; i <= step; ++i)
            EXPECT_EQ(saved.pixel(200 * i + 5, 5 + i), qRgb(255, 0, 255)) << step;
        EXPECT_EQ(saved.pixel(200 * step + 6, 5 + step),
                  qRgb((200 * step + 6) % 256, 5 + step, 77));
    }
    // A scroll without edits writes nothing.
    ASSERT_TRUE(m_engine.ScrollImageEdit(EditScroll::Right));
    EXPECT_EQ(m_engine.picture(0).file, names[0]);
    // Steps of 200 until the window's right edge is on the picture's.
    for (int x = 1000; x <= 2400; x += 200) {
        ASSERT_TRUE(m_engine.ScrollImageEdit(EditScroll::Right));
        EXPECT_EQ(edit.offset(), QPoint(x, 0));
    }
    EXPECT_FALSE(m_engine.CanScrollImageEdit(EditScroll::Right));
    EXPECT_FALSE(m_engine.ScrollImageEdit(EditScroll::Right));
    ASSERT_TRUE(m_engine.ScrollImageEdit(EditScroll::Left));
    EXPECT_EQ(edit.offset(), QPoint(2200, 0));

    // Closing saves the last edit; the whole opening is one undo step.
    edit.paintDab(AreaAt + QPoint(1, 1));
    const int steps = m_engine.undoStack().count();
    m_engine.EndImageEdit();
    EXPECT_EQ(m_engine.picture(0).file, names[1]);
    EXPECT_EQ(savedPixels().pixel(2201, 1), qRgb(255, 0, 255));
    EXPECT_EQ(m_engine.undoStack().count(), steps + 1);
    ASSERT_TRUE(m_engine.Undo());
    EXPECT_EQ(m_engine.picture(0).file, original);
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(ImageEditTest, TurnedPictureIsSavedTurnedAndItsUncoveredCornersStayEmpty)
{
    addPicture(TestPictures::solidPicture(100, 60, Qt::green), "turned.png");
    m_engine.ModifyCurrentPicture(ModifyCode::TurnRight90);
    const float angle = m_engine.picture(0).angle;
    ASSERT_NE(angle, 0.0f);
    ASSERT_TRUE(m_engine.BeginImageEdit(QRect(AreaAt, QSize(600, 400))));
    m_engine.imageEdit().fillPattern(qRgb(0, 0, 255));
    m_engine.imageEdit().paintDab(AreaAt + QPoint(50, 30));
    m_engine.EndImageEdit();
    EXPECT_EQ(m_engine.picture(0).angle, 0.0f);
    const QImage saved = savedPixels();
    EXPECT_EQ(saved.pixel(50, 30), qRgb(0, 0, 255));
    EXPECT_EQ(saved.pixel(50, 5) | 0xFF000000u, qRgb(0, 255, 0)); // the turned picture
    EXPECT_EQ(qAlpha(saved.pixel(0, 0)), 0);                      // a corner it does not cover
}

TEST_F(ImageEditTest, FailedSaveKeepsTheRecordAndTheWindow)
{
    const QString original = addPicture(TestPictures::coordinatePicture(900, 100), "keep.png");
    ASSERT_TRUE(m_engine.BeginImageEdit(QRect(AreaAt, QSize(300, 100))));
    // A folder where the edit file would go: it cannot be written.
    ASSERT_TRUE(QDir().mkpath(m_engine.imageEditFiles(QStringLiteral("png"))[0]));
    m_engine.imageEdit().paintDab(AreaAt + QPoint(3, 3));
    EXPECT_FALSE(m_engine.ScrollImageEdit(EditScroll::Right));
    EXPECT_EQ(m_engine.picture(0).file, original);
    EXPECT_EQ(m_engine.imageEdit().offset(), QPoint(0, 0));
    EXPECT_TRUE(m_engine.imageEdit().dirty());
    EXPECT_FALSE(m_errors.isEmpty());
}

TEST_F(ImageEditTest, NoPictureGivesAnEmptyWindowThatTakesNoDabs)
{
    EXPECT_FALSE(m_engine.BeginImageEdit(QRect(AreaAt, QSize(300, 100))));
    EXPECT_TRUE(m_engine.imageEdit().isEmpty());
    EXPECT_TRUE(m_engine.imageEdit().paintDab(AreaAt + QPoint(3, 3)).isEmpty());
    EXPECT_FALSE(m_engine.ScrollImageEdit(EditScroll::Right));
    m_engine.EndImageEdit();
    EXPECT_EQ(m_engine.undoStack().count(), 0);
}
