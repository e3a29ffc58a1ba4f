// Print benchmarks: six CAD-like captures joined (5380 x 2050 pixels)
// and written to an A4 PDF file at 1200 units to the inch, on one page or
// tiled three sheets wide. Each run renders the joined drawing anew, as
// every print, preview and PDF command does.
#include "BenchInputs.h"
#include "CImgJoinEngine.h"
#include "PagePrinter.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <benchmark/benchmark.h>

namespace {

void BM_PdfJoinedDrawing(benchmark::State& state)
{
    CImgJoinEngine engine;
    engine.SetDataDir(BenchInputs::workDir());
    const QStringList files = BenchInputs::captureFiles(BenchInputs::workDir(), 6);
    for (int i = 0; i < files.size(); ++i)
        engine.addPlacedPicture(files.at(i), (i % 3) * 1730, (i / 3) * 970);
    TileLayout::Choice tiling;
    if (state.range(0) == 1) {
        tiling.mode = TileLayout::Choice::Mode::SheetsWide;
        tiling.sheetsWide = 3;
    }
    const QString file = QDir(BenchInputs::workDir()).filePath(QStringLiteral("bench.pdf"));
    int pages = 0;
    for (auto _ : state) {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(file);
        const QImage joined = PagePrinter::pagePicture(engine, DisplayMode::Joining);
        if (!PagePrinter::print(pdf, joined, PageLayout::Placement::Centred, tiling)) {
            state.SkipWithError("the PDF file was not written");
            return;
        }
        pages = tiling.tiled() ? PagePrinter::sheetLayout(pdf, joined.size(), tiling).count() : 1;
    }
    state.counters["pages"] = pages;
    state.counters["MB"] = double(QFileInfo(file).size()) / (1024.0 * 1024.0);
}

} // namespace

// 0: one page; 1: three sheets wide.
BENCHMARK(BM_PdfJoinedDrawing)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
