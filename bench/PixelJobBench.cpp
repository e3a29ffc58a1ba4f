// Benchmarks of the print-output jobs and the pixel filters on a 40-megapixel
// drawing that is already in memory, as the program holds it.
#include "BenchInputs.h"
#include "CImgJoinEngine.h"
#include "ImageCache.h"
#include "PixelRules.h"

#include <QDir>
#include <benchmark/benchmark.h>

namespace {

// The drawing in the three forms the picture cache keeps pictures in.
enum Form
{
    Indexed = 0, // at most 256 colours: what drawings usually are
    Rgb24 = 1,   // more colours, no transparency
    Rgb32 = 2    // as decoded
};

const QImage& drawingAs(int form)
{
    static const QImage rgb32 = BenchInputs::drawing();
    static const QImage indexed = ImageCache::compact(rgb32);
    static const QImage rgb24 = rgb32.convertToFormat(QImage::Format_RGB888);
    return form == Indexed ? indexed : form == Rgb24 ? rgb24 : rgb32;
}

void setLabel(benchmark::State& state, int form)
{
    static const char* names[] = { "indexed", "rgb24", "rgb32" };
    const QImage& picture = drawingAs(form);
    state.SetLabel(QStringLiteral("%1 %2x%3")
                       .arg(QLatin1String(names[form]))
                       .arg(picture.width())
                       .arg(picture.height())
                       .toStdString());
}

void BM_OutputJob(benchmark::State& state)
{
    const auto job = OutputJob(state.range(0));
    const int form = int(state.range(1));
    const QImage& picture = drawingAs(form);
    for (auto _ : state) {
        QImage result = PixelRules::processOutput(picture, job);
        benchmark::DoNotOptimize(result.constBits());
    }
    setLabel(state, form);
}

void BM_Filter(benchmark::State& state)
{
    const auto code = FilterCode(state.range(0));
    const int form = int(state.range(1));
    const QImage& picture = drawingAs(form);
    const PixelRules::FilterSettings settings;
    for (auto _ : state) {
        QImage result = picture; // the filter works on its own copy
        PixelRules::applyFilter(result, code, settings);
        benchmark::DoNotOptimize(result.constBits());
    }
    setLabel(state, form);
}

// A whole job in the program: picture from memory, pixels, the temporary PNG
// and the hand-over of the result for display.
void BM_ProcessOutputPicture(benchmark::State& state)
{
    const int form = int(state.range(0));
    const QString dir = BenchInputs::workDir();
    const QString file = QDir(dir).filePath(QStringLiteral("drawing40-%1.png").arg(form));
    if (!QFile::exists(file))
        drawingAs(form).save(file, "PNG");
    CImgJoinEngine engine;
    engine.SetDataDir(dir);
    engine.PreloadPictures({ file });
    engine.AddPicture(file);
    engine.EnterOutputMode(DisplayMode::Joining);
    for (auto _ : state) {
        engine.RestoreOutputPicture();
        benchmark::DoNotOptimize(engine.ProcessOutputPicture(OutputJob::Grey));
    }
    setLabel(state, form);
}

void jobArguments(benchmark::internal::Benchmark* bench)
{
    for (int form : { Indexed, Rgb24, Rgb32 })
        for (OutputJob job : AllOutputJobs)
            bench->Args({ codeValue(job), form });
}

void filterArguments(benchmark::internal::Benchmark* bench)
{
    for (int form : { Indexed, Rgb32 })
        for (FilterCode code : { FilterCode::RemoveBlue, FilterCode::Invert, FilterCode::Grey,
                                 FilterCode::Posterise })
            bench->Args({ codeValue(code), form });
}

} // namespace

BENCHMARK(BM_OutputJob)
    ->Apply(jobArguments)
    ->ArgNames({ "job", "form" })
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Filter)
    ->Apply(filterArguments)
    ->ArgNames({ "code", "form" })
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ProcessOutputPicture)
    ->Arg(Indexed)
    ->Arg(Rgb24)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
