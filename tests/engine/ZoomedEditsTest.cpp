// Moves, stretches and cuts made on the view land on the canvas units and
// picture pixels under the mouse, whatever the canvas zoom.
#include "EngineFixture.h"

#include <QFile>
#include <QImageReader>

#include <cmath>

namespace {

const float Zooms[] = { 1.0f, 0.62f, 0.4665f, 0.751f, 2.5f };

// A capture-sized picture whose every pixel differs from its neighbours and
// from the pixels 256 columns or rows away.
QImage capture(int width = 1920, int height = 1080)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = qRgb(x % 256, y % 256, (x / 256) * 16 + y / 256);
    }
    return image;
}

QImage read(const QString& file)
{
    return QImageReader(file).read().convertToFormat(QImage::Format_ARGB32);
}

int viewOf(int canvas, float zoom, int origin)
{
    return int(float(canvas) * zoom) + origin;
}

} // namespace

class ZoomedEditsTest : public EngineFixture
{
protected:
    // The capture at canvas (40, 30), shown at this zoom from origin (5, 8).
    QImage place(float zoom)
    {
        const QImage original = capture();
        addPicture(original, QStringLiteral("capture.png"));
        m_engine.setCanvasMapping(1.0f, 0, 0);
        m_engine.MovePicture(40, 30, 0);
        m_engine.setCanvasMapping(zoom, 5, 8);
        paint(64, 64);
        return original;
    }
    QRect viewBox(float zoom) const
    {
        const JoinPicture& p = m_engine.picture(0);
        return QRect(viewOf(p.x, zoom, 5), viewOf(p.y, zoom, 8), int(float(p.width) * zoom),
                     int(float(p.height) * zoom));
    }
    QRect record() const
    {
        const JoinPicture& p = m_engine.picture(0);
        return QRect(p.x, p.y, p.width, p.height);
    }
};

TEST_F(ZoomedEditsTest, MovesAndStretchesEndUnderTheMouse)
{
    for (const float zoom : Zooms) {
        m_engine.ClearPictures();
        place(zoom);
        // A 1200-pixel pan moves the picture 1200 view pixels.
        const QRect before = viewBox(zoom);
        m_engine.MovePicture(1200, -37, 0);
        EXPECT_EQ(m_engine.picture(0).x, 40 + std::lround(1200 / double(zoom))) << zoom;
        EXPECT_EQ(m_engine.picture(0).y, 30 + std::lround(-37 / double(zoom))) << zoom;
        const QRect after = viewBox(zoom);
        EXPECT_NEAR(after.left(), before.left() + 1200, zoom / 2 + 2) << zoom;
        EXPECT_NEAR(after.top(), before.top() - 37, zoom / 2 + 2) << zoom;

        // Each handle dragged 106 view pixels moves its edge by 106 view pixels.
        const QRect placed = record();
        const qint64 units = std::lround(106 / double(zoom));
        m_engine.StretchPicture(0, 0, 106, 0, GrabHandle::Right);
        m_engine.StretchPicture(0, 0, 0, 106, GrabHandle::Bottom);
        m_engine.StretchPicture(106, 0, 0, 0, GrabHandle::Left);
        m_engine.StretchPicture(0, 106, 0, 0, GrabHandle::Top);
        EXPECT_EQ(record(), placed.adjusted(-units, -units, units, units)) << zoom;
        EXPECT_NEAR(viewBox(zoom).right(), after.right() + 106, zoom / 2 + 2) << zoom;

        // The nudges keep their step of one canvas unit, the whole drawing
        // moves by view pixels.
        m_engine.ModifyCurrentPicture(ModifyCode::NudgeRight);
        EXPECT_EQ(m_engine.picture(0).x, placed.x() - units + 1) << zoom;
        m_engine.MovePicture(50, 60, 1);
        EXPECT_EQ(m_engine.canvasOrigin(), QPoint(55, 68)) << zoom;
    }
}

TEST_F(ZoomedEditsTest, WindowCutsKeepThePictureEdgesTheyReach)
{
    for (const float zoom : Zooms) {
        m_engine.ClearPictures();
        const QImage original = place(zoom);
        const QRect box = viewBox(zoom);
        // From a point inside to the far corner of the shown picture ...
        const QPoint inside(box.left() + box.width() / 3, box.top() + box.height() / 4);
        const QString farCut = m_engine.ClipCurrentPicture(
            inside.x(), inside.y(), box.left() + box.width(), box.top() + box.height());
        ASSERT_FALSE(farCut.isEmpty()) << zoom << m_errors.join(';').toStdString();
        const QRect kept = record();
        EXPECT_EQ(kept.right(), 40 + 1919) << zoom;
        EXPECT_EQ(kept.bottom(), 30 + 1079) << zoom;
        EXPECT_NEAR(kept.left(), 40 + (box.width() / 3) / zoom, 1.0 / zoom + 1) << zoom;
        EXPECT_EQ(read(farCut), original.copy(kept.translated(-40, -30))) << zoom;

        // ... and from the near corner to a point inside.
        m_engine.ClearPictures();
        place(zoom);
        const QString nearCut =
            m_engine.ClipCurrentPicture(box.left(), box.top(), inside.x(), inside.y());
        ASSERT_FALSE(nearCut.isEmpty()) << zoom;
        EXPECT_EQ(record().topLeft(), QPoint(40, 30)) << zoom;
        EXPECT_EQ(read(nearCut), original.copy(record().translated(-40, -30))) << zoom;
    }
}

TEST_F(ZoomedEditsTest, WindowCutMeasuresAPictureNotDrawnYet)
{
    const QImage original = capture(300, 200);
    addPicture(original, QStringLiteral("new.png"));
    m_engine.setCanvasMapping(0.62f, 0, 0);
    const QString cut = m_engine.ClipCurrentPicture(0, 0, 186, 124); // to its far corner
    ASSERT_FALSE(cut.isEmpty()) << m_errors.join(';').toStdString();
    EXPECT_EQ(record(), QRect(0, 0, 300, 200));
    EXPECT_EQ(read(cut), original);
}

TEST_F(ZoomedEditsTest, WindowBeyondThePictureKeepsItWhole)
{
    const QImage original = place(0.4665f);
    const QRect box = viewBox(0.4665f);
    const QString cut = m_engine.ClipCurrentPicture(box.left() - 10, box.top() - 10,
                                                    box.right() + 11, box.bottom() + 11);
    ASSERT_FALSE(cut.isEmpty());
    const QImage pixels = read(cut);
    const QPoint inset(40 - record().x(), 30 - record().y());
    const QImage inner = pixels.copy(QRect(inset, original.size()));
    ASSERT_EQ(inner.size(), original.size());
    for (const QPoint p : { QPoint(0, 0), QPoint(1919, 1079), QPoint(700, 500) })
        EXPECT_EQ(inner.pixel(p), original.pixel(p)) << p.x() << "," << p.y();
    EXPECT_EQ(inner, original);
    EXPECT_EQ(qAlpha(pixels.pixel(0, 0)), 0);
}

TEST_F(ZoomedEditsTest, TrimLineCutsAtTheCanvasUnitItShows)
{
    const std::pair<TrimMode, bool> modes[] = { { TrimMode::FromRight, true },
                                                { TrimMode::FromLeft, true },
                                                { TrimMode::FromBelow, false },
                                                { TrimMode::FromAbove, false } };
    for (const float zoom : Zooms) {
        for (const auto& [mode, vertical] : modes) {
            m_engine.ClearPictures();
            const QImage original = place(zoom);
            const QRect box = viewBox(zoom);
            const QPoint click(box.left() + box.width() * 2 / 5, box.top() + box.height() / 3);
            m_engine.SetTrimLine(click.x(), click.y(), mode);
            paint(64, 64);
            ASSERT_EQ(m_engine.IsTrimCut(), 1) << zoom << m_errors.join(';').toStdString();
            const QPoint line = m_engine.trimStored();
            QRect expected(0, 0, 1920, 1080);
            switch (mode) {
                case TrimMode::FromRight: expected.setLeft(line.x() - 40); break;
                case TrimMode::FromLeft: expected.setRight(line.x() - 40); break;
                case TrimMode::FromBelow: expected.setTop(line.y() - 30); break;
                case TrimMode::FromAbove: expected.setBottom(line.y() - 30); break;
                case TrimMode::None: break;
            }
            // The line shows where it was clicked (above 1:1, on the unit's first pixel).
            QPoint shown;
            TrimMode shownMode = TrimMode::None;
            ASSERT_EQ(m_engine.GetTrimLineShown(shown, shownMode), 1);
            const int off = vertical ? click.x() - shown.x() : click.y() - shown.y();
            EXPECT_TRUE(off >= 0 && off < qMax(1.0f, zoom)) << zoom << " " << off;

            ASSERT_TRUE(m_engine.TrimByTrimLine()) << zoom;
            EXPECT_EQ(record(), expected.translated(40, 30)) << zoom << " " << codeValue(mode);
            EXPECT_EQ(read(m_engine.picture(0).file), original.copy(expected))
                << zoom << " " << codeValue(mode);
        }
    }
}

TEST_F(ZoomedEditsTest, TrimLineStaysOnItsDrawingPointWhenTheZoomChanges)
{
    const QImage original = place(0.62f);
    const QRect box = viewBox(0.62f);
    m_engine.SetTrimLine(box.left() + 500, 0, TrimMode::FromRight);
    const int unit = m_engine.trimStored().x();
    for (const float zoom : { 2.5f, 0.4665f, 1.0f }) {
        m_engine.setCanvasMapping(zoom, -20, 3);
        paint(64, 64);
        QPoint shown;
        TrimMode mode = TrimMode::None;
        ASSERT_EQ(m_engine.GetTrimLineShown(shown, mode), 1);
        EXPECT_EQ(shown.x(), viewOf(unit, zoom, -20)) << zoom;
    }
    ASSERT_TRUE(m_engine.TrimByTrimLine());
    EXPECT_EQ(record().left(), unit);
    EXPECT_EQ(read(m_engine.picture(0).file),
              original.copy(QRect(unit - 40, 0, 1960 - unit, 1080)));
}

TEST_F(ZoomedEditsTest, OutputTrimKeepsTheEdgesAtTheFittedZoom)
{
    const QImage original = capture();
    addPicture(original, QStringLiteral("out.png"));
    ASSERT_EQ(m_engine.EnterOutputMode(DisplayMode::Joining), 1);
    QImage view(896, 504, QImage::Format_RGB32);
    {
        QPainter painter(&view);
        m_engine.DrawOutputPicture(painter);
    }
    ASSERT_TRUE(m_engine.outputFitted());
    const float zoom = m_engine.outputZoom();
    ASSERT_LT(zoom, 0.47f);
    const QRect box(m_engine.outputPos(), QSize(int(1920 * zoom), int(1080 * zoom)));
    ASSERT_TRUE(m_engine.TrimByWindow(box.left() + 300, box.top() + 200, box.left() + box.width(),
                                      box.top() + box.height(), DisplayMode::Output));
    const QImage cut = read(m_engine.GetOutputFile());
    const int n = int(std::lround(300.0 * 1920 / box.width()));
    const int o = int(std::lround(200.0 * 1080 / box.height()));
    EXPECT_EQ(cut, original.copy(n, o, 1920 - n, 1080 - o));
}

TEST_F(ZoomedEditsTest, UnreadablePicturesAreRefusedWithTheirNameAndReason)
{
    const QString good = TestPictures::save(capture(300, 200), path("good.png"));
    QFile goodFile(good);
    ASSERT_TRUE(goodFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = goodFile.readAll();
    const QString jpeg = TestPictures::save(capture(300, 200), path("good.jpg"));
    QFile jpegFile(jpeg);
    ASSERT_TRUE(jpegFile.open(QIODevice::ReadOnly));
    const QByteArray jpegBytes = jpegFile.readAll();

    const std::pair<QString, QByteArray> bad[] = {
        { QStringLiteral("cut.png"), bytes.left(bytes.size() / 2) },
        { QStringLiteral("cut.jpg"), jpegBytes.left(jpegBytes.size() / 2) },
        { QStringLiteral("empty.png"), QByteArray() },
        { QStringLiteral("text.png"), QByteArray("this is a note, not a picture\n") },
    };
    for (const auto& [name, content] : bad) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        m_errors.clear();
        EXPECT_FALSE(m_engine.LoadPicture(file.fileName())) << name.toStdString();
        EXPECT_EQ(m_engine.GetPictureCount(), 0) << name.toStdString();
        ASSERT_EQ(m_errors.size(), 1) << name.toStdString();
        EXPECT_TRUE(m_errors.first().contains(name)) << m_errors.first().toStdString();
    }
    EXPECT_FALSE(m_engine.LoadPicture(path("missing.png")));
    EXPECT_EQ(m_engine.GetPictureCount(), 0);

    // A good picture is measured at once and decoded only once for its first paint.
    m_errors.clear();
    EXPECT_TRUE(m_engine.LoadPicture(good));
    EXPECT_EQ(m_engine.GetPictureCount(), 1);
    EXPECT_EQ(QRect(0, 0, m_engine.picture(0).width, m_engine.picture(0).height),
              QRect(0, 0, 300, 200));
    const int decoded = m_engine.decodeCount();
    paint();
    EXPECT_EQ(m_engine.decodeCount(), decoded);
    EXPECT_TRUE(m_errors.isEmpty());
}
