// Benchmark entry: a GUI application on the offscreen platform, so the engine
// can draw text-free pictures and decode every format. With
// "--make-inputs DIR [COUNT [WIDTH HEIGHT]]" it only writes the CAD-like captures into DIR
// (for timing the batch tool against other tools); with
// "--make-drawing FILE [WIDTH HEIGHT]" it writes one large drawing as PNG.
#include "BenchInputs.h"

#include <QDir>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--make-inputs") == 0) {
        const int count = argc >= 4 ? std::atoi(argv[3]) : 20;
        const int width = argc >= 6 ? std::atoi(argv[4]) : 1920;
        const int height = argc >= 6 ? std::atoi(argv[5]) : 1080;
        QDir().mkpath(QString::fromLocal8Bit(argv[2]));
        for (const QString& file :
             BenchInputs::captureFiles(QString::fromLocal8Bit(argv[2]), count, width, height))
            std::printf("%s\n", qPrintable(file));
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "--make-drawing") == 0) {
        const int width = argc >= 5 ? std::atoi(argv[3]) : 8000;
        const int height = argc >= 5 ? std::atoi(argv[4]) : 5000;
        return BenchInputs::drawing(width, height).save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0
                                                                                                : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
