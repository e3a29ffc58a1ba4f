#include "ImgJoinCommand.h"

#include "CImgJoinEngine.h"
#include "ImageCodec.h"
#include "PixelJob.h"
#include "PngRowStream.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtNumeric>

namespace {

// Decoded pictures a join keeps at once, beside the joined picture.
constexpr qint64 JoinPictureBudget = qint64(128) * 1024 * 1024;

} // namespace

ImgJoinCommand::ImgJoinCommand(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err)
{
}

QString ImgJoinCommand::helpText()
{
    return QStringLiteral(
        "Usage:\n"
        "  imgjoin join OUT PIC[@x,y[,w,h[,angle]]]...\n"
        "      Lays the pictures on one canvas in the order given (later ones on top)\n"
        "      and writes the joined picture to OUT. x,y is the picture's top-left\n"
        "      corner on the canvas (default 0,0), w,h the size it is stretched to\n"
        "      (default: its own pixel size), angle a clockwise turn in degrees about\n"
        "      the box centre. The canvas spans all boxes from the smallest x and y;\n"
        "      uncovered parts stay transparent. OUT's suffix picks the encoder\n"
        "      (bmp, jpg/jpeg, png, gif; anything else writes PNG).\n"
        "  imgjoin stitch STEM ROWS COLS OUT\n"
        "      Assembles ROWS x COLS tiles named STEM<row><col>.png (row and column\n"
        "      in decimal, from 0) on a grid whose pitch is the size of tile 00, and\n"
        "      writes the result to OUT in the format its suffix picks, as for join.\n"
        "      With 1 row and 1 column a STEM that is a complete file name is copied\n"
        "      as it is when it is in that format already. ROWS and COLS are 1 to 99.\n"
        "  imgjoin print-prep --job 99|100|101|109 IN OUT\n"
        "      Prepares the picture IN for printing and writes it to OUT:\n"
        "        99  colour printer: greys and black turn into their opposites, so\n"
        "            a black background becomes white; colours stay;\n"
        "        100 CAD drawing in black and white: inverted, then grey;\n"
        "        101 ordinary black and white: grey;\n"
        "        109 CAD drawing in black and white: greys inverted, then a grey\n"
        "            that weighs blue most and prints bright colours darker.\n"
        "      Transparent parts count as black; the result is opaque.\n"
        "  imgjoin filter --code N [--step S] [--range r0,r1,g0,g1,b0,b1\n"
        "                 --replace R,G,B] IN OUT\n"
        "      Applies a picture filter to IN and writes OUT: 100 remove blue,\n"
        "      101 invert, 102 fade (x 0.9), 103 brighten (x 1.1), 201 grey,\n"
        "      202 posterise to multiples of S (default 2), 301 replace every\n"
        "      colour strictly inside the ranges by R,G,B (both options needed).\n"
        "      For both commands OUT's suffix picks the encoder as for join.\n"
        "  imgjoin --help\n"
        "      Shows this text.\n"
        "\n"
        "Exit status: 0 done, 1 a picture could not be read or written, 2 bad arguments.\n");
}

int ImgJoinCommand::run(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return usageError(QStringLiteral("no command given"));
    const QString& command = arguments.first();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        m_out << helpText();
        return Ok;
    }
    if (command == QLatin1String("join"))
        return join(arguments.mid(1));
    if (command == QLatin1String("stitch"))
        return stitch(arguments.mid(1));
    if (command == QLatin1String("print-prep"))
        return printPrep(arguments.mid(1));
    if (command == QLatin1String("filter"))
        return filter(arguments.mid(1));
    return usageError(QStringLiteral("unknown command '%1'").arg(command));
}

int ImgJoinCommand::usageError(const QString& message)
{
    m_err << "imgjoin: " << message << "\n"
          << "Try 'imgjoin --help'.\n";
    m_err.flush();
    return Usage;
}

bool ImgJoinCommand::parsePlacement(const QString& argument, Placement& placement)
{
    placement = Placement{ argument };
    const qsizetype at = argument.lastIndexOf(QLatin1Char('@'));
    if (at < 0)
        return true;
    const QStringList numbers = argument.mid(at + 1).split(QLatin1Char(','));
    if (numbers.size() != 2 && numbers.size() != 4 && numbers.size() != 5)
        return QFileInfo::exists(argument); // an '@' that belongs to the name
    bool ok = true;
    int values[4] = { 0, 0, 0, 0 };
    for (int i = 0; i < qMin(4, int(numbers.size())); ++i) {
        bool good = false;
        values[i] = numbers.at(i).trimmed().toInt(&good);
        ok = ok && good;
    }
    if (numbers.size() == 5) {
        bool good = false;
        placement.angle = numbers.at(4).trimmed().toFloat(&good);
        // "nan" and "inf" read as numbers but turn no picture.
        ok = ok && good && qIsFinite(placement.angle);
    }
    if (!ok || (numbers.size() >= 4 && (values[2] <= 0 || values[3] <= 0)))
        return QFileInfo::exists(argument);
    placement.file = argument.left(at);
    placement.placed = true;
    placement.x = values[0];
    placement.y = values[1];
    placement.width = values[2];
    placement.height = values[3];
    return true;
}

int ImgJoinCommand::join(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return usageError(QStringLiteral("join needs OUT and at least one picture"));
    const QString& output = arguments.first();
    QList<Placement> placements;
    for (const QString& argument : arguments.mid(1)) {
        Placement placement;
        if (!parsePlacement(argument, placement))
            return usageError(QStringLiteral("cannot read the placement in '%1'").arg(argument));
        placements.append(placement);
    }
    if (placements.size() > CImgJoinEngine::MaxPictures)
        return usageError(
            QStringLiteral("at most %1 pictures can be joined").arg(CImgJoinEngine::MaxPictures));

    CImgJoinEngine engine;
    QStringList errors;
    QObject::connect(&engine, &CImgJoinEngine::errorOccurred,
                     [&errors](const QString& message) { errors << message; });
    // The pictures are decoded while the joined picture is composed, a few
    // at a time: the joined picture is most of the memory a join takes.
    engine.SetPictureMemoryBudget(JoinPictureBudget);
    for (const Placement& placement : std::as_const(placements)) {
        const QString unreadable = engine.PictureHeaderError(placement.file);
        if (!unreadable.isEmpty() ||
            !engine.addPlacedPicture(placement.file, placement.x, placement.y, placement.width,
                                     placement.height, placement.angle)) {
            if (errors.isEmpty())
                errors << unreadable;
            break;
        }
    }
    if (errors.isEmpty())
        engine.SaveJoinedPicture(QFileInfo(output).suffix(), output);
    for (const QString& error : std::as_const(errors))
        m_err << "imgjoin: " << error << "\n";
    m_err.flush();
    return errors.isEmpty() ? Ok : Failed;
}

int ImgJoinCommand::stitch(const QStringList& arguments)
{
    if (arguments.size() != 4)
        return usageError(QStringLiteral("stitch needs STEM ROWS COLS OUT"));
    bool rowsOk = false, columnsOk = false;
    const int rows = arguments.at(1).toInt(&rowsOk);
    const int columns = arguments.at(2).toInt(&columnsOk);
    if (!rowsOk || !columnsOk || rows < 1 || rows > 99 || columns < 1 || columns > 99)
        return usageError(QStringLiteral("ROWS and COLS must be whole numbers from 1 to 99"));

    CImgJoinEngine engine;
    QStringList errors;
    QObject::connect(&engine, &CImgJoinEngine::errorOccurred,
                     [&errors](const QString& message) { errors << message; });
    const QString& output = arguments.at(3);
    const int width =
        engine.StitchTiles(arguments.at(0), output, rows, columns, QFileInfo(output).suffix());
    if (width == 100 && errors.isEmpty() && engine.GetOutputFile() != output) {
        // A single picture taken as it is goes to OUT as it is, once it is
        // known to be a picture, unless OUT's suffix names another format.
        const QString unreadable = engine.PictureReadError(engine.GetOutputFile());
        if (!unreadable.isEmpty())
            errors << unreadable;
        else
            engine.SaveOutputPicture(output, QFileInfo(output).suffix());
    }
    for (const QString& error : std::as_const(errors))
        m_err << "imgjoin: " << error << "\n";
    m_err.flush();
    return width > 0 && errors.isEmpty() ? Ok : Failed;
}

int ImgJoinCommand::runPixelJob(PixelJob& job, const QString& input, const QString& output)
{
    ImageCodec::ReadResult picture = ImageCodec::read(input);
    if (!picture.ok()) {
        m_err << "imgjoin: " << picture.error << "\n";
        m_err.flush();
        return Failed;
    }
    job.source = picture.value;
    job.box = picture.value.size();
    job.target = output;
    job.format = ImageCodec::formatForSuffix(QFileInfo(output).suffix());
    job.effort = ImageCodec::Effort::Normal;
    job.run();
    if (!job.written) {
        m_err << "imgjoin: " << job.error << "\n";
        m_err.flush();
        return Failed;
    }
    return Ok;
}

int ImgJoinCommand::printPrep(const QStringList& arguments)
{
    if (arguments.size() != 4 || arguments.at(0) != QLatin1String("--job"))
        return usageError(QStringLiteral("print-prep needs --job N IN OUT"));
    bool ok = false;
    const std::optional<OutputJob> chosen =
        codeFromValue(AllOutputJobs, arguments.at(1).toInt(&ok));
    if (!ok || !chosen)
        return usageError(QStringLiteral("the job must be 99, 100, 101 or 109"));
    const OutputJob code = *chosen;
    const QString &input = arguments.at(2), &output = arguments.at(3);
    // PNG to PNG streams row by row, decoding and compressing at once.
    if (ImageCodec::formatForSuffix(QFileInfo(output).suffix()) == ImageCodec::Format::Png) {
        const auto kind =
            PixelRules::jobGivesGrey(code) ? PngRowStream::Output::Grey : PngRowStream::Output::Rgb;
        const IoResult<PngRowStream::Streamed> streamed =
            PngRowStream::run(input, output, kind, [code](const QRgb* in, uchar* out, int width) {
                PixelRules::processOutputRow(code, in, out, width);
            });
        if (!streamed.ok()) {
            m_err << "imgjoin: " << streamed.error << "\n";
            m_err.flush();
            return Failed;
        }
        if (streamed.value == PngRowStream::Streamed::Done)
            return Ok;
    }
    PixelJob job;
    job.kind = PixelJob::Kind::Output;
    job.job = code;
    return runPixelJob(job, input, output);
}

bool ImgJoinCommand::parseBytes(const QString& text, int count, QList<int>& values)
{
    values.clear();
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count)
        return false;
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok);
        if (!ok || value < 0 || value > 255)
            return false;
        values << value;
    }
    return true;
}

int ImgJoinCommand::filter(const QStringList& arguments)
{
    PixelJob job;
    job.kind = PixelJob::Kind::Filter;
    QStringList files;
    std::optional<FilterCode> code;
    bool haveRange = false, haveReplace = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const bool option = argument.startsWith(QLatin1String("--"));
        if (!option) {
            files << argument;
            continue;
        }
        if (i + 1 >= arguments.size())
            return usageError(QStringLiteral("%1 needs a value").arg(argument));
        const QString& value = arguments.at(++i);
        QList<int> numbers;
        bool ok = false;
        if (argument == QLatin1String("--code")) {
            const int number = value.toInt(&ok);
            code = ok ? codeFromValue(AllFilterCodes, number) : std::nullopt;
            if (!code)
                return usageError(
                    QStringLiteral("--code must be 100, 101, 102, 103, 201, 202 or 301"));
        } else if (argument == QLatin1String("--step")) {
            job.settings.step = value.toInt(&ok);
            if (!ok || job.settings.step < 1 || job.settings.step > 128)
                return usageError(QStringLiteral("the step must be 1 to 128"));
        } else if (argument == QLatin1String("--range") && parseBytes(value, 6, numbers)) {
            for (int k = 0; k < 6; ++k)
                job.settings.range[size_t(k)] = uchar(numbers.at(k));
            haveRange = true;
        } else if (argument == QLatin1String("--replace") && parseBytes(value, 3, numbers)) {
            job.settings.replacement = makeColorRef(numbers.at(0), numbers.at(1), numbers.at(2));
            haveReplace = true;
        } else {
            return usageError(QStringLiteral("cannot use '%1 %2'").arg(argument, value));
        }
    }
    if (!code)
        return usageError(QStringLiteral("--code must be 100, 101, 102, 103, 201, 202 or 301"));
    job.filter = *code;
    if (job.filter == FilterCode::ReplaceBackground && !(haveRange && haveReplace))
        return usageError(QStringLiteral("filter 301 needs --range and --replace"));
    if (files.size() != 2)
        return usageError(QStringLiteral("filter needs IN and OUT"));
    return runPixelJob(job, files.at(0), files.at(1));
}
