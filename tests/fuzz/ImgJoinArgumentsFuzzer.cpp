// The batch tool's command line: one argument a line, run against a few small
// pictures in the scratch folder. Arguments that could name a file outside
// that folder are skipped, so every file the tool writes stays in it.
#include "FuzzScratch.h"

#include "ImgJoinCommand.h"

#include <QRegularExpression>
#include <QTextStream>

#include <cstdlib>

namespace {

constexpr int MaxArguments = 64;

void addPictures(FuzzScratch& scratch)
{
    scratch.addFixture(QStringLiteral("a.png"),
                       FuzzScratch::picture(8, 6, qRgb(200, 30, 30), "PNG"));
    scratch.addFixture(QStringLiteral("b.bmp"),
                       FuzzScratch::picture(5, 7, qRgb(30, 200, 30), "BMP"));
    scratch.addFixture(QStringLiteral("c.jpg"),
                       FuzzScratch::picture(9, 4, qRgb(30, 30, 200), "JPG"));
    scratch.addFixture(QStringLiteral("d.gif"),
                       FuzzScratch::picture(4, 4, qRgb(90, 90, 90), "GIF"));
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column)
            scratch.addFixture(QStringLiteral("t%1%2.png").arg(row).arg(column),
                               FuzzScratch::picture(6, 4, qRgb(40 * row, 90, 40 * column), "PNG"));
    }
}

// Placements of hundreds to tens of thousands of pixels make joined pictures
// of millions of pixels, which take minutes each under the sanitizers; the
// tests join pictures that large. Larger numbers still reach the size checks:
// any two of them together exceed the picture limit.
bool quickPlacement(const QString& argument)
{
    const qsizetype at = argument.lastIndexOf(QLatin1Char('@'));
    if (at < 0)
        return true;
    static const QRegularExpression digits(QStringLiteral("[0-9]+"));
    for (const QRegularExpressionMatch& number : digits.globalMatch(argument.mid(at))) {
        bool ok = false;
        const qlonglong value = number.capturedView().toLongLong(&ok);
        if (ok && value >= 100 && value <= 99999)
            return false;
    }
    return true;
}

// A name with a slash, or the folder itself or its parent, could lead out of
// the scratch folder.
bool staysInScratch(const QString& argument)
{
    return !argument.contains(QLatin1Char('/')) && argument != QLatin1String(".") &&
           argument != QLatin1String("..");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzScratch& scratch = FuzzScratch::instance();
    static const bool pictures = (addPictures(scratch), true);
    (void)pictures;

    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList arguments = text.split(QLatin1Char('\n'));
    if (arguments.size() > MaxArguments)
        return 0;
    for (const QString& argument : std::as_const(arguments)) {
        if (!staysInScratch(argument) || !quickPlacement(argument))
            return 0;
    }

    scratch.reset();
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    ImgJoinCommand command(out, err);
    const int status = command.run(arguments);
    out.flush();
    err.flush();
    if (status != ImgJoinCommand::Ok && status != ImgJoinCommand::Failed &&
        status != ImgJoinCommand::Usage)
        std::abort();
    // Every failure says why.
    if (status != ImgJoinCommand::Ok && errText.isEmpty())
        std::abort();
    return 0;
}
