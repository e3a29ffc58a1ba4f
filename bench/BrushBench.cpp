// Benchmarks of brush editing: a stroke across a full-HD edit window, at the
// smallest, a middle and the largest radius the dialog offers.
#include "ImageEditBuffer.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

ImageEditBuffer fullHdWindow(int radius)
{
    QImage picture(1920, 1080, QImage::Format_ARGB32);
    picture.fill(Qt::white);
    ImageEditBuffer buffer;
    buffer.setArea(QRect(0, 0, 1920, 1080));
    buffer.load(picture, QPoint(0, 0));
    buffer.fillPattern(qRgb(200, 30, 30));
    buffer.setRadius(radius);
    return buffer;
}

// Corner to corner: 1920 dabs.
void BM_BrushStrokeAcross(benchmark::State& state)
{
    ImageEditBuffer buffer = fullHdWindow(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(buffer.paintStroke(QPoint(0, 0), QPoint(1919, 1079)));
    state.SetItemsProcessed(state.iterations() * 1920);
}
BENCHMARK(BM_BrushStrokeAcross)->Arg(0)->Arg(5)->Arg(18)->Unit(benchmark::kMicrosecond);

// A segment as the mouse paints it: a few pixels at a time.
void BM_BrushSegment(benchmark::State& state)
{
    ImageEditBuffer buffer = fullHdWindow(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(buffer.paintStroke(QPoint(900, 500), QPoint(904, 502)));
}
BENCHMARK(BM_BrushSegment)->Arg(0)->Arg(5)->Arg(18)->Unit(benchmark::kMicrosecond);

} // namespace
