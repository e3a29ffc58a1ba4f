// Writes a made-up set of screen captures of one drawing for timing and
// checking "imgjoin auto-join", or checks what it joined:
//
//   make_capture_set [--count N] [--seed S] [--isolated N] [--cursor] OUTDIR
//       drawing.png, the captures as cap_NNNN.png (names in no useful
//       order), positions.txt ("file@x,y" a line: where each whole capture
//       of the drawing goes on the canvas, for "imgjoin join"), area.txt
//       ("X,Y,W,H": the drawing area in every capture) and truth.txt ("file
//       x,y" a line: the drawing coordinates of each capture's area, -1,-1
//       for the captures of another drawing).
//   make_capture_set --check JOINED OUTDIR [REPORT]
//       Finds where JOINED lies in OUTDIR/drawing.png (from the report of
//       "auto-join --report" when given, else from the captures' known
//       places) and counts the covered pixels of JOINED that differ from the
//       drawing or keep a colour of the program around the drawing area.
//       Exit status 0 when none do.
#include "SyntheticCaptures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImageReader>
#include <QSet>
#include <QStringList>
#include <QTextStream>
#include <QtConcurrent>

#include <cstdio>
#include <random>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: make_capture_set [--count N] [--seed S] [--isolated N] [--cursor] "
                         "OUTDIR\n       make_capture_set --check JOINED OUTDIR [REPORT]\n");
    return 2;
}

bool writeLines(const QString& path, const QStringList& lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream(&file) << lines.join(QLatin1Char('\n')) << '\n';
    return file.error() == QFile::NoError;
}

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool parsePoint(const QString& text, QPoint& point)
{
    const QStringList parts = text.split(QLatin1Char(','));
    bool okX = false, okY = false;
    if (parts.size() == 2)
        point = QPoint(parts.at(0).toInt(&okX), parts.at(1).toInt(&okY));
    return okX && okY;
}

int make(const SyntheticCaptures::Options& options, const QString& folder)
{
    const SyntheticCaptures::Set set = SyntheticCaptures::make(options);
    if (set.captures.isEmpty() || !QDir().mkpath(folder))
        return 1;
    // Four-digit names drawn at random, none twice.
    std::mt19937 random(options.seed * 7919u + 13u);
    QSet<int> used;
    QStringList names, positions, truth;
    for (int i = 0; i < set.captures.size(); ++i) {
        int number = 0;
        do
            number = int(random() % 10000u);
        while (used.contains(number));
        used << number;
        names << QStringLiteral("cap_%1.png").arg(number, 4, 10, QLatin1Char('0'));
        const QPoint at = set.positions.at(i);
        const QString file = QDir(folder).filePath(names.last());
        truth << QStringLiteral("%1 %2,%3").arg(names.last()).arg(at.x()).arg(at.y());
        if (at != SyntheticCaptures::NotInDrawing)
            positions << QStringLiteral("%1@%2,%3")
                             .arg(file)
                             .arg(at.x() - set.area.x())
                             .arg(at.y() - set.area.y());
    }
    QList<int> order(set.captures.size());
    std::iota(order.begin(), order.end(), 0);
    QAtomicInt failed = 0;
    QtConcurrent::blockingMap(order, [&](int i) {
        if (!set.captures.at(i).save(QDir(folder).filePath(names.at(i)), "PNG"))
            failed.storeRelaxed(1);
    });
    const QRect& a = set.area;
    if (failed.loadRelaxed() || !set.drawing.save(QDir(folder).filePath("drawing.png"), "PNG") ||
        !writeLines(QDir(folder).filePath("positions.txt"), positions) ||
        !writeLines(QDir(folder).filePath("truth.txt"), truth) ||
        !writeLines(QDir(folder).filePath("area.txt"), { QStringLiteral("%1,%2,%3,%4")
                                                             .arg(a.x())
                                                             .arg(a.y())
                                                             .arg(a.width())
                                                             .arg(a.height()) })) {
        std::fprintf(stderr, "make_capture_set: cannot write into %s\n", qPrintable(folder));
        return 1;
    }
    return 0;
}

int check(const QString& joinedFile, const QString& folder, const QString& reportFile)
{
    const QImage drawing = QImageReader(QDir(folder).filePath("drawing.png"))
                               .read()
                               .convertToFormat(QImage::Format_RGB32);
    const QImage joined = QImageReader(joinedFile).read().convertToFormat(QImage::Format_ARGB32);
    const QStringList areaLine = readLines(QDir(folder).filePath("area.txt"));
    QHash<QString, QPoint> truth;
    for (const QString& line : readLines(QDir(folder).filePath("truth.txt"))) {
        QPoint at;
        if (parsePoint(line.section(QLatin1Char(' '), 1, 1), at))
            truth.insert(line.section(QLatin1Char(' '), 0, 0), at);
    }
    if (drawing.isNull() || joined.isNull() || areaLine.isEmpty() || truth.isEmpty()) {
        std::fprintf(stderr, "make_capture_set: cannot read the joined picture or %s\n",
                     qPrintable(folder));
        return 1;
    }
    const QStringList a = areaLine.first().split(QLatin1Char(','));
    const QRect area(a.value(0).toInt(), a.value(1).toInt(), a.value(2).toInt(),
                     a.value(3).toInt());

    // Where the joined picture's top-left lies in the drawing.
    QPoint origin(INT_MAX, INT_MAX);
    int wrong = 0;
    if (!reportFile.isEmpty()) {
        bool first = true;
        for (const QString& line : readLines(reportFile)) {
            // "FILE X,Y CONFIDENCE"; the pictures left out follow in other words.
            const QStringList fields = line.split(QLatin1Char(' '));
            QPoint offset;
            bool isNumber = false;
            fields.value(fields.size() - 1).toDouble(&isNumber);
            if (fields.size() < 3 || !isNumber || !parsePoint(fields.at(fields.size() - 2), offset))
                continue;
            const QString file = fields.mid(0, fields.size() - 2).join(QLatin1Char(' '));
            const QPoint at =
                truth.value(QFileInfo(file).fileName(), SyntheticCaptures::NotInDrawing);
            if (at == SyntheticCaptures::NotInDrawing) {
                std::fprintf(stderr, "placed but not of the drawing: %s\n", qPrintable(file));
                ++wrong;
                continue;
            }
            if (first)
                origin = at - offset;
            else if (at - offset != origin) {
                std::fprintf(stderr, "misplaced: %s\n", qPrintable(file));
                ++wrong;
            }
            first = false;
        }
    } else {
        for (const QPoint& at : std::as_const(truth))
            if (at != SyntheticCaptures::NotInDrawing)
                origin = QPoint(qMin(origin.x(), at.x()), qMin(origin.y(), at.y()));
    }
    if (origin.x() == INT_MAX) {
        std::fprintf(stderr, "make_capture_set: no placed capture to check\n");
        return 1;
    }

    // Colours of the program around the drawing area that the drawing never has.
    QSet<QRgb> chrome;
    QImage capture;
    for (auto it = truth.cbegin(); it != truth.cend() && capture.isNull(); ++it)
        capture = QImageReader(QDir(folder).filePath(it.key()))
                      .read()
                      .convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < capture.height(); ++y)
        for (int x = 0; x < capture.width(); ++x)
            if (!area.contains(x, y))
                chrome << capture.pixel(x, y);
    for (int y = 0; y < drawing.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(drawing.constScanLine(y));
        for (int x = 0; x < drawing.width(); ++x)
            chrome.remove(line[x]);
    }

    qint64 covered = 0, differing = 0, outside = 0, chromeColoured = 0;
    for (int y = 0; y < joined.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(joined.constScanLine(y));
        const int dy = origin.y() + y;
        for (int x = 0; x < joined.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            ++covered;
            const int dx = origin.x() + x;
            if (chrome.contains(line[x] | 0xff000000u))
                ++chromeColoured;
            if (dx < 0 || dy < 0 || dx >= drawing.width() || dy >= drawing.height())
                ++outside;
            else if (qAlpha(line[x]) != 255 ||
                     (line[x] | 0xff000000u) != (drawing.pixel(dx, dy) | 0xff000000u))
                ++differing;
        }
    }
    std::printf(
        "joined %dx%d at %d,%d in the drawing: %lld covered pixels (%.1f%% of the drawing), "
        "%lld differ, %lld outside the drawing, %lld of the program's colours, %d misplaced\n",
        joined.width(), joined.height(), origin.x(), origin.y(), covered,
        100.0 * covered / (double(drawing.width()) * drawing.height()), differing, outside,
        chromeColoured, wrong);
    return covered > 0 && differing == 0 && outside == 0 && chromeColoured == 0 && wrong == 0 ? 0
                                                                                              : 1;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QImageReader::setAllocationLimit(0); // the drawing and the joined picture are large
    QStringList arguments = app.arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--check")) {
        if (arguments.size() != 3 && arguments.size() != 4)
            return usage();
        return check(arguments.at(1), arguments.at(2), arguments.value(3));
    }
    SyntheticCaptures::Options options;
    QString folder;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        bool ok = true;
        if (argument == QLatin1String("--cursor"))
            options.cursorInOverlap = true;
        else if (argument == QLatin1String("--count") && i + 1 < arguments.size())
            options.count = arguments.at(++i).toInt(&ok);
        else if (argument == QLatin1String("--seed") && i + 1 < arguments.size())
            options.seed = arguments.at(++i).toUInt(&ok);
        else if (argument == QLatin1String("--isolated") && i + 1 < arguments.size())
            options.isolated = arguments.at(++i).toInt(&ok);
        else if (!argument.startsWith(QLatin1String("--")) && folder.isEmpty())
            folder = argument;
        else
            return usage();
        if (!ok || options.count < 1 || options.isolated < 0)
            return usage();
    }
    return folder.isEmpty() ? usage() : make(options, folder);
}
