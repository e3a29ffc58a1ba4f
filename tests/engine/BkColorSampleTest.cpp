#include "BkColorSample.h"
#include "EngineFixture.h"

#include <QImage>

namespace {

QImage row(std::initializer_list<QRgb> pixels)
{
    QImage image(int(pixels.size()), 1, QImage::Format_RGB32);
    int x = 0;
    for (QRgb p : pixels)
        image.setPixel(x++, 0, p);
    return image;
}

BkColorSample sampleOf(const QImage& image)
{
    return BkColorSample(image, image.rect());
}

} // namespace

TEST(BkColorSample, LargeBandIsCutFromItsTopLeftAndReadsTheRenderingThere)
{
    EXPECT_EQ(BkColorSample::clampBand(QRect(30, 40, 300, 200)), QRect(30, 40, 120, 60));
    EXPECT_EQ(BkColorSample::clampBand(QRect(30, 40, 50, 20)), QRect(30, 40, 50, 20));

    const QImage rendering = TestPictures::coordinatePicture(400, 300);
    const BkColorSample sample(rendering, QRect(30, 40, 300, 200));
    ASSERT_EQ(sample.width(), 120);
    ASSERT_EQ(sample.height(), 60);
    for (QPoint p : { QPoint(0, 0), QPoint(119, 0), QPoint(0, 59), QPoint(119, 59), QPoint(7, 9) })
        EXPECT_EQ(*sample.pick(p.x(), p.y()), rgbToColorRef(rendering.pixel(p + QPoint(30, 40))));
    EXPECT_FALSE(sample.pick(120, 0));
    EXPECT_FALSE(sample.pick(0, 60));
    EXPECT_FALSE(sample.pick(-1, 0));

    // A band reaching past the rendering reads black there.
    const BkColorSample edge(rendering, QRect(390, 0, 20, 5));
    EXPECT_EQ(*edge.pick(9, 0), rgbToColorRef(rendering.pixel(399, 0)));
    EXPECT_EQ(*edge.pick(10, 0), 0u);
}

TEST(BkColorSample, AverageAndColourCount)
{
    const BkColorSample two = sampleOf(row({ qRgb(0, 0, 0), qRgb(255, 255, 255) }));
    EXPECT_EQ(*two.average(), makeColorRef(127, 127, 127));
    EXPECT_EQ(two.colourCount(), 2);
    const BkColorSample mixed =
        sampleOf(row({ qRgb(10, 20, 30), qRgb(11, 20, 30), qRgb(10, 20, 30), qRgb(10, 21, 33) }));
    EXPECT_EQ(*mixed.average(), makeColorRef(10, 20, 30));
    EXPECT_EQ(mixed.colourCount(), 3);

    // An empty sample has no average (and no division by zero).
    const BkColorSample empty(TestPictures::coordinatePicture(10, 10), QRect(5, 5, 0, 3));
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_FALSE(empty.average());
}

// Chosen (250, 250, 250) with tolerance 10: the sample takes every channel
// from 240 to 255, the picture only from 241 to 254.
class BkColorEdges : public EngineFixture
{
protected:
    const QImage m_pixels = row({ qRgb(239, 250, 250), qRgb(240, 250, 250), qRgb(241, 241, 241),
                                  qRgb(254, 254, 254), qRgb(255, 250, 250), qRgb(250, 250, 250) });
    const ColorRef m_chosen = makeColorRef(250, 250, 250);
};

TEST_F(BkColorEdges, SampleCountsBothEndsIn)
{
    BkColorSample sample = sampleOf(m_pixels);
    sample.replaceWithin(m_chosen, 10);
    const bool changed[] = { false, true, true, true, true, true };
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(*sample.pick(x, 0) == m_chosen, changed[x]) << x;

    const BkColorSample::Range r = BkColorSample::range(m_chosen, 10);
    EXPECT_EQ(r.lo[0], 240);
    EXPECT_EQ(r.hi[0], 255); // 260 clamped
}

TEST_F(BkColorEdges, PictureLeavesBothEndsOut)
{
    for (int tolerance : { 10, 0 }) {
        m_engine.ClearPictures();
        addPicture(m_pixels, QStringLiteral("edges%1.png").arg(tolerance));
        const BkColorSample::Range r = BkColorSample::range(m_chosen, tolerance);
        m_engine.SetBkColorReplace(m_chosen, r.lo[0], r.hi[0], r.lo[1], r.hi[1], r.lo[2], r.hi[2]);
        ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::ReplaceBackground));
        const QImage result(m_engine.picture(0).file);
        // Tolerance 0 changes nothing: no value lies strictly between k and k.
        const bool changed[] = { false, false, true, true, false, false };
        for (int x = 0; x < 6; ++x) {
            const bool expected = tolerance == 10 && changed[x];
            EXPECT_EQ(result.pixel(x, 0) != m_pixels.pixel(x, 0), expected) << x;
        }
    }
    EXPECT_TRUE(m_errors.isEmpty());
}
