// Writes realistic inputs for comparing the batch tool with other tools
// (compare_streaming.sh): screen captures of CAD floor plans with
// anti-aliased lines and text, and two large drawings of the same kind.
//
//   make_realistic_inputs WORKDIR [SET...]
//       Makes the sets named (all when none is) in WORKDIR, skipping the
//       files already there:
//         join20      join20/cap_NN.png,  20 captures of 1920 x 1080
//         join60      join60/cap_NN.png,  60 captures of 2560 x 1440
//         join30      join30/cap_NN.png,  30 captures of 3840 x 2160
//         drawing40   drawing40.png,      8000 x 5000
//         drawing192  drawing192.png,     16000 x 12000
//       Capture N of a set shows the part of one drawing that starts at
//       ((N % across) * spacing, (N / across) * spacing) and has the
//       program's crosshair somewhere, so neighbours agree where they
//       overlap except for the crosshairs. Every picture follows from the
//       set's seed alone.
//   make_realistic_inputs --colours FILE
//       Prints the number of distinct colours in FILE.
#include "RealisticDrawing.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFuture>
#include <QGuiApplication>
#include <QImageReader>
#include <QThread>
#include <QtConcurrent>

#include <spng.h>

#include <cstdio>
#include <memory>
#include <numeric>

namespace {

struct CaptureSet
{
    const char* name;
    int count;
    QSize captureSize;
    int across;
    int spacing;
    bool whiteGround;
    quint32 seed;
};

struct DrawingFile
{
    const char* name;
    QSize size;
    bool whiteGround;
    quint32 seed;
};

const CaptureSet captureSets[] = {
    { "join20", 20, QSize(1920, 1080), 5, 1200, false, 20 },
    { "join60", 60, QSize(2560, 1440), 10, 1680, true, 60 },
    { "join30", 30, QSize(3840, 2160), 6, 2400, false, 30 },
};

const DrawingFile drawingFiles[] = {
    { "drawing40", QSize(8000, 5000), false, 40 },
    { "drawing192", QSize(16000, 12000), true, 192 },
};

int usage()
{
    std::fprintf(stderr, "usage: make_realistic_inputs WORKDIR "
                         "[join20|join60|join30|drawing40|drawing192]...\n"
                         "       make_realistic_inputs --colours FILE\n");
    return 2;
}

// Files are written under a temporary name and renamed when complete, so
// that an interrupted run leaves nothing that a later run would take as made.
QString partName(const QString& path)
{
    return path + QStringLiteral(".part");
}

bool finish(const QString& path)
{
    QFile::remove(path);
    return QFile::rename(partName(path), path);
}

bool makeCaptures(const CaptureSet& set, const QString& workDir)
{
    const QDir folder(QDir(workDir).filePath(QString::fromLatin1(set.name)));
    if (!QDir().mkpath(folder.path()))
        return false;
    const int down = (set.count + set.across - 1) / set.across;
    const RealisticDrawing drawing(QSize((set.across - 1) * set.spacing + set.captureSize.width(),
                                         (down - 1) * set.spacing + set.captureSize.height()),
                                   set.whiteGround, set.seed);
    QList<int> missing;
    for (int i = 0; i < set.count; ++i)
        if (!QFileInfo::exists(
                folder.filePath(QStringLiteral("cap_%1.png").arg(i, 2, 10, QLatin1Char('0')))))
            missing << i;
    if (missing.isEmpty())
        return true;
    std::fprintf(stderr, "making %lld captures of %dx%d in %s ...\n", qlonglong(missing.size()),
                 set.captureSize.width(), set.captureSize.height(), qPrintable(folder.path()));
    QAtomicInt failed = 0;
    QtConcurrent::blockingMap(missing, [&](int i) {
        const QRect region(QPoint((i % set.across) * set.spacing, (i / set.across) * set.spacing),
                           set.captureSize);
        const QString path =
            folder.filePath(QStringLiteral("cap_%1.png").arg(i, 2, 10, QLatin1Char('0')));
        const QImage picture = drawing.capture(region, quint32(i));
        if (picture.isNull() || !picture.save(partName(path), "PNG") || !finish(path))
            failed.storeRelaxed(1);
    });
    return failed.loadRelaxed() == 0;
}

struct SpngFree
{
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

struct FileClose
{
    void operator()(FILE* file) const { std::fclose(file); }
};

// Paints the drawing band by band on every core and writes the rows as an
// 8-bit RGB PNG as the bands come, so the whole never has to be in memory.
bool makeDrawing(const DrawingFile& file, const QString& workDir)
{
    const QString path =
        QDir(workDir).filePath(QString::fromLatin1(file.name) + QStringLiteral(".png"));
    if (QFileInfo::exists(path))
        return true;
    std::fprintf(stderr, "making the %dx%d drawing %s ...\n", file.size.width(), file.size.height(),
                 qPrintable(path));
    if (!QDir().mkpath(workDir))
        return false;
    const RealisticDrawing drawing(file.size, file.whiteGround, file.seed);
    std::unique_ptr<FILE, FileClose> out(
        std::fopen(QFile::encodeName(partName(path)).constData(), "wb"));
    std::unique_ptr<spng_ctx, SpngFree> encoder(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!out || !encoder)
        return false;
    spng_ihdr header = {};
    header.width = quint32(file.size.width());
    header.height = quint32(file.size.height());
    header.bit_depth = 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
    int code = spng_set_png_file(encoder.get(), out.get());
    if (code == 0)
        code = spng_set_ihdr(encoder.get(), &header);
    if (code == 0)
        code = spng_encode_image(encoder.get(), nullptr, 0, SPNG_FMT_PNG,
                                 SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
    if (code != 0) {
        std::fprintf(stderr, "make_realistic_inputs: %s\n", spng_strerror(code));
        return false;
    }

    constexpr int bandHeight = 128;
    const int bands = (file.size.height() + bandHeight - 1) / bandHeight;
    const int batch = qMax(2, QThread::idealThreadCount() * 2);
    const auto renderBatch = [&](int first) {
        QList<int> indices(qMin(batch, bands - first));
        std::iota(indices.begin(), indices.end(), first);
        return QtConcurrent::blockingMapped(indices, [&](int band) {
            const QRect region(0, band * bandHeight, file.size.width(),
                               qMin(bandHeight, file.size.height() - band * bandHeight));
            return drawing.render(region).convertToFormat(QImage::Format_RGB888);
        });
    };
    // The next batch is painted while this one is compressed.
    QFuture<QList<QImage>> next = QtConcurrent::run(renderBatch, 0);
    for (int first = 0; first < bands && code == 0; first += batch) {
        const QList<QImage> images = next.result();
        if (first + batch < bands)
            next = QtConcurrent::run(renderBatch, first + batch);
        for (const QImage& image : images)
            for (int y = 0; y < image.height() && code == 0; ++y)
                code = spng_encode_row(encoder.get(), image.constScanLine(y),
                                       size_t(image.width()) * 3);
    }
    if (next.isValid())
        next.waitForFinished();
    if (code != SPNG_EOI) {
        std::fprintf(stderr, "make_realistic_inputs: %s\n", spng_strerror(code));
        return false;
    }
    encoder.reset();
    if (std::fflush(out.get()) != 0)
        return false;
    out.reset();
    return finish(path);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QImageReader::setAllocationLimit(0);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--colours")) {
        if (arguments.size() != 2)
            return usage();
        const QImage image = QImageReader(arguments.at(1)).read();
        if (image.isNull()) {
            std::fprintf(stderr, "make_realistic_inputs: cannot read %s\n",
                         qPrintable(arguments.at(1)));
            return 1;
        }
        std::printf("%lld\n", qlonglong(RealisticDrawing::colourCount(image)));
        return 0;
    }
    if (arguments.isEmpty() || arguments.first().startsWith(QLatin1String("--")))
        return usage();
    const QString& workDir = arguments.first();
    QStringList wanted = arguments.mid(1);
    const bool all = wanted.isEmpty();
    QElapsedTimer timer;
    timer.start();
    for (const CaptureSet& set : captureSets) {
        if (!all && !wanted.removeAll(QString::fromLatin1(set.name)))
            continue;
        if (!makeCaptures(set, workDir)) {
            std::fprintf(stderr, "make_realistic_inputs: cannot make %s in %s\n", set.name,
                         qPrintable(workDir));
            return 1;
        }
    }
    for (const DrawingFile& file : drawingFiles) {
        if (!all && !wanted.removeAll(QString::fromLatin1(file.name)))
            continue;
        if (!makeDrawing(file, workDir)) {
            std::fprintf(stderr, "make_realistic_inputs: cannot make %s in %s\n", file.name,
                         qPrintable(workDir));
            return 1;
        }
    }
    if (!wanted.isEmpty())
        return usage();
    if (timer.elapsed() > 1000)
        std::fprintf(stderr, "made in %.1f s\n", double(timer.elapsed()) / 1000.0);
    return 0;
}
