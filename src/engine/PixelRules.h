#pragma once

#include "ColorRef.h"
#include "JoinCodes.h"

#include <QImage>

#include <array>
#include <functional>

class ProgressMeter;

// The colour rules of the picture filters and of the print-output jobs, one
// pixel at a time and over whole pictures. Pixels are 0xAARRGGBB without
// premultiplied alpha; a pixel whose alpha is 0 reads as black, as it does
// once it has been drawn onto a transparent canvas. Grey values are computed
// in double precision with the products added in the order written and cut
// toward zero, so they match the program's earlier output to the bit.
namespace PixelRules {

// What the filters need besides the pixel.
struct FilterSettings
{
    int step = 2;                 // posterise step: 2, 4, ... 128
    std::array<uchar, 6> range{}; // loR, hiR, loG, hiG, loB, hiB, all exclusive
    ColorRef replacement = 0;     // background replacement colour (0x00BBGGRR)
};

// One pixel through a filter. Where the filter's rule writes nothing the pixel
// comes back as it was read (alpha included).
QRgb filterPixel(FilterCode code, QRgb pixel, const FilterSettings& settings);

// One pixel through a print-output job; the result is always opaque.
QRgb outputPixel(OutputJob job, QRgb pixel);

// Whether the job turns every pixel into a grey.
bool jobGivesGrey(OutputJob job);

// The posterise step after one more use: doubled, at most 128.
int nextPosteriseStep(int step);

// The filter applied to a whole picture in place. An 8-bit indexed picture
// has its colour table changed; any other is turned into 32-bit ARGB and
// walked row by row.
void applyFilter(QImage& picture, FilterCode code, const FilterSettings& settings,
                 ProgressMeter* progress = nullptr, int threads = 0);

// One row of width pixels 0xAARRGGBB through a filter, in place: what
// applyFilter does to every row of a 32-bit picture.
void filterRow(FilterCode code, const FilterSettings& settings, QRgb* row, int width);

// A new, opaque picture: the job applied to every pixel. Indexed pictures
// stay indexed; grey jobs give 8-bit grey pictures, the colour job keeps
// 24-bit pictures at 24 bits and gives 32-bit RGB otherwise.
QImage processOutput(const QImage& picture, OutputJob job, ProgressMeter* progress = nullptr,
                     int threads = 0);

// One row of width pixels through a job, into the layout processOutput gives
// a 32-bit picture: one grey byte a pixel for grey jobs, 0xFFRRGGBB otherwise.
void processOutputRow(OutputJob job, const QRgb* row, uchar* out, int width);

// Calls row(y) once for every y in [0, height), spread over the given number
// of threads (0: as many as the machine has cores, one for small pictures).
// The progress meter hears of each row before it is processed.
void forEachRow(int height, qint64 pixels, const std::function<void(int)>& row,
                ProgressMeter* progress, int threads = 0);

} // namespace PixelRules
