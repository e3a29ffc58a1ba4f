#include "PixelRules.h"
#include "ProgressMeter.h"
#include "TestPictures.h"

#include <QList>
#include <gtest/gtest.h>

#include <mutex>

using namespace PixelRules;

namespace {

const FilterSettings defaults;

QRgb filtered(FilterCode code, QRgb pixel, int step = 2)
{
    FilterSettings settings;
    settings.step = step;
    return filterPixel(code, pixel, settings);
}

int red(FilterCode code, int value, int step = 2)
{
    return qRed(filtered(code, qRgb(value, 0, 0), step));
}

int jobGrey(OutputJob job, QRgb pixel)
{
    const QRgb out = outputPixel(job, pixel);
    EXPECT_EQ(qRed(out), qBlue(out));
    EXPECT_EQ(qGreen(out), qBlue(out));
    EXPECT_EQ(qAlpha(out), 255);
    return qBlue(out);
}

// Many colours, a few repeated runs and a width that leaves padding at the
// end of 8- and 24-bit rows.
QImage mixedPicture(int width = 37, int height = 23)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int run = x / 5;
            line[x] = qRgba((run * 53 + y * 7) % 256, (run * 97 + y * 3) % 256,
                            (x * 11 + y * 29) % 256, (x + y) % 4 == 0 ? 0 : 255);
        }
    }
    return image;
}

QImage asArgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(PixelRulesTest, RemoveBlueWhitensOnlyClearlyBluePixels)
{
    const QRgb white = qRgb(255, 255, 255);
    EXPECT_EQ(filtered(FilterCode::RemoveBlue, qRgb(0, 0, 255)), white);
    EXPECT_EQ(filtered(FilterCode::RemoveBlue, qRgb(200, 200, 255)), white); // 200/255 ~ 0.784
    EXPECT_EQ(filtered(FilterCode::RemoveBlue, qRgb(100, 240, 250)),
              white); // only red is in the ratio
    EXPECT_EQ(filtered(FilterCode::RemoveBlue, qRgb(204, 100, 255)),
              qRgb(204, 100, 255));                                                  // exactly 0.8
    EXPECT_EQ(filtered(FilterCode::RemoveBlue, qRgb(0, 0, 63)), qRgb(0, 0, 63));     // too dark
    EXPECT_EQ(filtered(FilterCode::RemoveBlue, qRgb(10, 90, 90)), qRgb(10, 90, 90)); // green = blue
    // A pixel the rule leaves keeps its transparency.
    EXPECT_EQ(filtered(FilterCode::RemoveBlue, qRgba(10, 20, 30, 128)), qRgba(10, 20, 30, 128));
}

TEST(PixelRulesTest, InvertFadeAndBrightenWorkPerChannelAndTruncate)
{
    EXPECT_EQ(filtered(FilterCode::Invert, qRgba(0, 100, 255, 0)), qRgb(255, 255, 255));
    EXPECT_EQ(filtered(FilterCode::Invert, qRgb(0, 100, 255)), qRgb(255, 155, 0));
    EXPECT_EQ(filtered(FilterCode::Fade, qRgb(255, 128, 1)), qRgb(229, 115, 0));
    EXPECT_EQ(filtered(FilterCode::Brighten, qRgb(255, 200, 1)), qRgb(255, 220, 1));
    EXPECT_EQ(qAlpha(filtered(FilterCode::Fade, qRgba(100, 100, 100, 7))), 255);
}

TEST(PixelRulesTest, GreyTruncatesTheDoublePrecisionSum)
{
    for (bool filter : { true, false }) {
        auto grey = [filter](int v) {
            return filter ? qRed(filtered(FilterCode::Grey, qRgb(v, v, v)))
                          : jobGrey(OutputJob::Grey, qRgb(v, v, v));
        };
        EXPECT_EQ(grey(255), 255);
        EXPECT_EQ(grey(254), 253);
        EXPECT_EQ(grey(128), 127);
        EXPECT_EQ(grey(1), 0);
        EXPECT_EQ(grey(0), 0);
    }
    EXPECT_EQ(filtered(FilterCode::Grey, qRgb(255, 0, 0)), qRgb(76, 76, 76));
}

TEST(PixelRulesTest, PosteriseQuantisesToMultiplesOfTheStep)
{
    EXPECT_EQ(red(FilterCode::Posterise, 255), 255);
    EXPECT_EQ(red(FilterCode::Posterise, 254), 254);
    EXPECT_EQ(red(FilterCode::Posterise, 253), 254);
    EXPECT_EQ(red(FilterCode::Posterise, 0), 0);
    EXPECT_EQ(red(FilterCode::Posterise, 1), 2);
    for (int v = 0; v <= 2; ++v)
        EXPECT_EQ(red(FilterCode::Posterise, v, 4), 0) << v;
    for (int v = 3; v <= 6; ++v)
        EXPECT_EQ(red(FilterCode::Posterise, v, 4), 4) << v;
    EXPECT_EQ(red(FilterCode::Posterise, 126, 128), 0);
    EXPECT_EQ(red(FilterCode::Posterise, 127, 128), 128);
    EXPECT_EQ(red(FilterCode::Posterise, 254, 128), 128);
    EXPECT_EQ(red(FilterCode::Posterise, 255, 128), 255);

    QList<int> steps;
    for (int step = 2, i = 0; i < 8; ++i, step = nextPosteriseStep(step))
        steps << step;
    EXPECT_EQ(steps, (QList<int>{ 2, 4, 8, 16, 32, 64, 128, 128 }));
}

TEST(PixelRulesTest, BackgroundReplacementNeedsEveryChannelStrictlyInside)
{
    FilterSettings settings;
    settings.range = { 10, 20, 30, 40, 50, 60 };
    settings.replacement = makeColorRef(1, 2, 3);
    EXPECT_EQ(filterPixel(FilterCode::ReplaceBackground, qRgb(15, 35, 55), settings),
              qRgb(1, 2, 3));
    EXPECT_EQ(filterPixel(FilterCode::ReplaceBackground, qRgb(10, 35, 55), settings),
              qRgb(10, 35, 55));
    EXPECT_EQ(filterPixel(FilterCode::ReplaceBackground, qRgb(15, 40, 55), settings),
              qRgb(15, 40, 55));
    EXPECT_EQ(filterPixel(FilterCode::ReplaceBackground, qRgb(15, 35, 60), settings),
              qRgb(15, 35, 60));
}

TEST(PixelRulesTest, JobsOnWhiteAndOnARedLineOverBlack)
{
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0), line = qRgb(255, 0, 0);
    EXPECT_EQ(outputPixel(OutputJob::WhiteBackColour, white), black);
    EXPECT_EQ(jobGrey(OutputJob::CadGrey1, white), 0);
    EXPECT_EQ(jobGrey(OutputJob::Grey, white), 255);
    EXPECT_EQ(jobGrey(OutputJob::CadGrey2, white), 0);

    EXPECT_EQ(outputPixel(OutputJob::WhiteBackColour, black), white);
    EXPECT_EQ(outputPixel(OutputJob::WhiteBackColour, line), line);
    EXPECT_EQ(jobGrey(OutputJob::CadGrey1, black), 255);
    EXPECT_EQ(jobGrey(OutputJob::CadGrey1, line), 178);
    EXPECT_EQ(jobGrey(OutputJob::Grey, black), 0);
    EXPECT_EQ(jobGrey(OutputJob::Grey, line), 76);
    EXPECT_EQ(jobGrey(OutputJob::CadGrey2, black), 255);
    EXPECT_EQ(jobGrey(OutputJob::CadGrey2, line), 76);
}

TEST(PixelRulesTest, CadVariantTwoWeighsBlueAndDarkensBrightColours)
{
    EXPECT_EQ(jobGrey(OutputJob::CadGrey2, qRgb(255, 255, 0)), 105); // red = green: first branch
    EXPECT_EQ(jobGrey(OutputJob::CadGrey2, qRgb(0, 0, 255)), 149);
    EXPECT_EQ(jobGrey(OutputJob::CadGrey2, qRgb(168, 100, 50)), 90);   // 168 is not bright
    EXPECT_EQ(jobGrey(OutputJob::CadGrey2, qRgb(169, 100, 50)), 72);   // 169 is
    EXPECT_EQ(jobGrey(OutputJob::CadGrey2, qRgb(200, 100, 200)), 188); // red = blue: first branch
    EXPECT_EQ(jobGrey(OutputJob::CadGrey2, qRgb(100, 100, 100)), 155); // grey: inverted first
}

TEST(PixelRulesTest, TransparentPixelsCountAsBlackAndComeOutOpaque)
{
    EXPECT_EQ(outputPixel(OutputJob::WhiteBackColour, qRgba(0, 0, 0, 0)), qRgb(255, 255, 255));
    EXPECT_EQ(outputPixel(OutputJob::WhiteBackColour, qRgba(255, 0, 0, 0)), qRgb(255, 255, 255));
    EXPECT_EQ(outputPixel(OutputJob::WhiteBackColour, qRgba(255, 0, 0, 1)), qRgb(255, 0, 0));
    EXPECT_EQ(jobGrey(OutputJob::Grey, qRgba(200, 200, 200, 0)), 0);
}

// The whole-picture walkers must agree with the pixel rules for every input
// layout, however the rows are spread over threads.
TEST(PixelRulesTest, WholePicturesMatchThePixelRulesInEveryLayout)
{
    const QImage argb = mixedPicture();
    const QImage opaque = argb.convertToFormat(QImage::Format_RGB32);
    QImage indexed = opaque.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QList<QImage> inputs = { argb, opaque,
                                   argb.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                                   opaque.convertToFormat(QImage::Format_RGB888), indexed,
                                   opaque.convertToFormat(QImage::Format_RGB16),
                                   // 24-bit rows without padding at their end
                                   mixedPicture(8, 3).convertToFormat(QImage::Format_RGB888) };
    for (OutputJob job : AllOutputJobs) {
        for (const QImage& input : inputs) {
            const QImage reference = asArgb(input);
            for (int threads : { 1, 2, 3 }) {
                const QImage out = asArgb(processOutput(input, job, nullptr, threads));
                ASSERT_EQ(out.size(), input.size());
                for (int y = 0; y < out.height(); ++y)
                    for (int x = 0; x < out.width(); ++x)
                        ASSERT_EQ(out.pixel(x, y), outputPixel(job, reference.pixel(x, y)))
                            << "job " << codeValue(job) << " format " << input.format() << " at "
                            << x << "," << y << " threads " << threads;
            }
        }
    }
}

TEST(PixelRulesTest, WholePictureFiltersKeepUnwrittenPixelsAndMatchTheRules)
{
    const QImage argb = mixedPicture();
    const QImage indexed =
        argb.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8);
    for (FilterCode code : { FilterCode::RemoveBlue, FilterCode::Invert, FilterCode::Fade,
                             FilterCode::Brighten, FilterCode::Grey, FilterCode::Posterise }) {
        for (const QImage& input : { argb, indexed }) {
            QImage out = input;
            applyFilter(out, code, defaults, nullptr, 2);
            const QImage reference = asArgb(input), result = asArgb(out);
            for (int y = 0; y < result.height(); ++y)
                for (int x = 0; x < result.width(); ++x)
                    ASSERT_EQ(result.pixel(x, y),
                              filterPixel(code, reference.pixel(x, y), defaults))
                        << "code " << codeValue(code) << " at " << x << "," << y;
        }
    }
    // The caller's picture is not touched through shared data.
    QImage copy = argb;
    applyFilter(copy, FilterCode::Invert, defaults);
    EXPECT_EQ(argb.pixel(1, 0), mixedPicture().pixel(1, 0));
}

TEST(PixelRulesTest, ProgressReportsEachRowBeforeItIsDone)
{
    ProgressMeter meter;
    EXPECT_EQ(meter.text(), QString());
    QList<int> seen;
    std::mutex lock;
    meter.setObserver([&](int value) {
        std::lock_guard<std::mutex> guard(lock);
        seen << value;
    });
    processOutput(TestPictures::coordinatePicture(10, 50), OutputJob::Grey, &meter, 1);
    QList<int> expected;
    for (int v = 0; v <= 98; v += 2)
        expected << v;
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(meter.text(), QStringLiteral("98/100"));

    // Spread over threads it still only rises and ends at the last row's value.
    meter.reset();
    seen.clear();
    processOutput(TestPictures::coordinatePicture(300, 2000), OutputJob::Grey, &meter, 2);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(meter.percent(), 99);
}
