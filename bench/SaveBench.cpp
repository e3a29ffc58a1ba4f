// Benchmarks of writing a joined drawing: JPEG through the program's writer
// and through Qt's own, for comparison, and the memory a very large JPEG
// save takes beside the picture.
#include "BenchInputs.h"
#include "CImgJoinEngine.h"
#include "ImageCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

// 20 anti-aliased captures in 5 rows of 4, overlapping as a user lays them
// out: a 6720 x 4680 join.
const QImage& joinedDrawing()
{
    static const QImage joined = [] {
        CImgJoinEngine engine;
        engine.SetDataDir(BenchInputs::workDir());
        const QStringList files = BenchInputs::captureFiles(BenchInputs::workDir(), 20);
        for (int i = 0; i < files.size(); ++i)
            engine.addPlacedPicture(files.at(i), (i % 4) * 1600, (i / 4) * 900);
        return engine.RenderJoinedPicture();
    }();
    return joined;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Argument 0: the program's writer (4:4:4); 1: Qt's JPEG writer at quality 100.
void BM_WriteJoinJpeg(benchmark::State& state)
{
    const QImage& joined = joinedDrawing();
    const bool qtWriter = state.range(0) == 1;
    const QString out = QDir(BenchInputs::workDir()).filePath(QStringLiteral("joined.jpg"));
    for (auto _ : state) {
        if (qtWriter) {
            QSaveFile file(out);
            file.open(QIODevice::WriteOnly);
            QImageWriter writer(&file, "jpeg");
            writer.setQuality(100);
            benchmark::DoNotOptimize(writer.write(joined));
            file.commit();
        } else {
            benchmark::DoNotOptimize(ImageCodec::write(joined, out, ImageCodec::Format::Jpeg));
        }
    }
    state.SetLabel(QStringLiteral("%1 %2x%3")
                       .arg(qtWriter ? QLatin1String("qt-420") : QLatin1String("turbo-444"))
                       .arg(joined.width())
                       .arg(joined.height())
                       .toStdString());
    state.counters["file_MB"] = double(QFileInfo(out).size()) / (1024.0 * 1024.0);
}

// A 20000 x 8000 drawing saved as JPEG: how far the process's peak memory
// rises above the picture itself while it is written.
void BM_WriteLargeJpegMemory(benchmark::State& state)
{
    const QImage drawing = BenchInputs::drawing(20000, 8000);
    const QString out = QDir(BenchInputs::workDir()).filePath(QStringLiteral("large.jpg"));
    const double before = peakMegabytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageCodec::write(drawing, out, ImageCodec::Format::Jpeg));
    state.counters["picture_MB"] = double(drawing.sizeInBytes()) / (1024.0 * 1024.0);
    state.counters["peak_rise_MB"] = peakMegabytes() - before;
    state.counters["file_MB"] = double(QFileInfo(out).size()) / (1024.0 * 1024.0);
}

} // namespace

BENCHMARK(BM_WriteJoinJpeg)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WriteLargeJpegMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
