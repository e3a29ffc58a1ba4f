#include "ImgJoinCommand.h"

#include "CImgJoinEngine.h"
#include "CanvasMath.h"
#include "CaptureAligner.h"
#include "FilterRowStream.h"
#include "ImageCache.h"
#include "ImageCodec.h"
#include "OraProject.h"
#include "PixelJob.h"
#include "PngRowStream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtNumeric>

namespace {

// Decoded pictures a join keeps at once, beside the joined picture.
constexpr qint64 JoinPictureBudget = qint64(128) * 1024 * 1024;
// What the pictures taken out of one project file may hold together.
constexpr qint64 ProjectBytes = qint64(512) * 1024 * 1024;

} // namespace

ImgJoinCommand::ImgJoinCommand(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err)
{
}

QString ImgJoinCommand::helpText()
{
    // The command lines stay as they are typed; the explanations under them
    // are in the program's language.
    const auto explained = [](const QString& syntax, const QString& text) {
        QString block = QStringLiteral("  ") + syntax + QLatin1Char('\n');
        for (const QString& line : text.split(QLatin1Char('\n')))
            block += QStringLiteral("      ") + line + QLatin1Char('\n');
        return block;
    };
    return tr("用法:") + QLatin1Char('\n') +
           explained(QStringLiteral("imgjoin join OUT PIC[@x,y[,w,h[,angle]]]..."),
                     tr("把图片按给出的顺序放到同一块画布上(后面的在上层), 拼接后写入 OUT。\n"
                        "x,y 是图片左上角在画布上的位置(默认 0,0), w,h 是图片拉伸后的\n"
                        "大小(默认为图片本身的像素大小), angle 是绕图框中心顺时针旋转的\n"
                        "角度。画布从最小的 x 和 y 起覆盖所有图框, 未覆盖的部分保持透明。\n"
                        "OUT 的扩展名决定编码格式(bmp、jpg/jpeg、png、gif, 其他一律写成 PNG);\n"
                        "OUT 以 .ora 结尾时写成项目文件(OpenRaster), 保留每张图片及其位置、\n"
                        "大小和旋转。以 .ora 结尾的 PIC 把该项目的所有图片按原位放到画布上,\n"
                        "给出 x,y 时整体移动 x,y(w,h 和 angle 对项目无效)。")) +
           explained(QStringLiteral("imgjoin auto-join [--area X,Y,W,H] [--report] OUT PIC..."),
                     tr("把同一张图纸的多张屏幕截图自动拼接成一张图纸, 写入 OUT(格式同 join,\n"
                        "不能写成 .ora)。截图的顺序不限, 相邻的截图须有重叠。每张截图中图纸\n"
                        "所在的区域(其余是程序的标题栏、工具栏、状态栏等)自动找出, 也可用\n"
                        "--area 给出: 左上角 X,Y 和大小 W,H(像素)。只有图纸区域进入结果。\n"
                        "--report 在标准输出上每张放入的图片写一行: 文件 X,Y 可信度, X,Y 是\n"
                        "其图纸区域左上角在结果中的位置, 可信度为 0 到 1; 然后每张未放入的\n"
                        "图片写一行: \"%1 文件: 原因\"。有图片未放入时仍写出结果, 并在标准\n"
                        "错误上警告; 没有一张图片能与其他图片拼接时失败(退出状态 1)。")
                         .arg(tr("未放入:"))) +
           explained(QStringLiteral("imgjoin stitch STEM ROWS COLS OUT"),
                     tr("把名为 STEM<行><列>.png 的 ROWS x COLS 个图块(行号和列号为十进制,\n"
                        "从 0 起)按图块 00 的大小排成网格拼合, 结果按 OUT 的扩展名选择的格式\n"
                        "写入 OUT(同 join)。只有 1 行 1 列时, 若 STEM 本身是完整的文件名且已是\n"
                        "该格式, 则原样复制。ROWS 和 COLS 为 1 到 99。")) +
           explained(QStringLiteral("imgjoin print-prep --job 99|100|101|109 IN OUT"),
                     tr("把图片 IN 处理为打印用的图片, 写入 OUT:\n"
                        "  99  彩色打印机: 灰色和黑色变为其反色, 黑色背景因而变白; 彩色不变;\n"
                        "  100 黑白 CAD 图: 先反色, 再变为灰度;\n"
                        "  101 普通黑白: 变为灰度;\n"
                        "  109 黑白 CAD 图: 灰色反色, 再变为蓝色权重最大的灰度, 鲜艳的颜色\n"
                        "      打印得更深。\n"
                        "透明部分按黑色处理; 结果不透明。")) +
           explained(
               QStringLiteral("imgjoin filter --code N [--step S] [--range r0,r1,g0,g1,b0,b1\n"
                              "                 --replace R,G,B] IN OUT"),
               tr("对 IN 使用图片滤镜并写入 OUT: 100 消蓝, 101 反色, 102 减淡(x 0.9),\n"
                  "103 增亮(x 1.1), 201 灰度, 202 把颜色减少为 S 的倍数(默认 2),\n"
                  "301 把严格位于各范围内的颜色替换为 R,G,B(两个选项都需要)。\n"
                  "这两个命令都和 join 一样按 OUT 的扩展名选择编码格式。")) +
           explained(QStringLiteral("imgjoin --help"), tr("显示本说明。")) + QLatin1Char('\n') +
           tr("退出状态: 0 完成, 1 图片无法读取或写入, 2 参数有误。") + QLatin1Char('\n');
}

int ImgJoinCommand::run(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return usageError(tr("没有给出命令"));
    const QString& command = arguments.first();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        m_out << helpText();
        return Ok;
    }
    if (command == QLatin1String("join"))
        return join(arguments.mid(1));
    if (command == QLatin1String("auto-join"))
        return autoJoin(arguments.mid(1));
    if (command == QLatin1String("stitch"))
        return stitch(arguments.mid(1));
    if (command == QLatin1String("print-prep"))
        return printPrep(arguments.mid(1));
    if (command == QLatin1String("filter"))
        return filter(arguments.mid(1));
    return usageError(tr("未知的命令 '%1'").arg(command));
}

int ImgJoinCommand::usageError(const QString& message)
{
    m_err << "imgjoin: " << message << "\n" << tr("请用 'imgjoin --help' 查看用法。") << "\n";
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
        return usageError(tr("join 需要 OUT 和至少一张图片"));
    const QString& output = arguments.first();
    QList<Placement> placements;
    for (const QString& argument : arguments.mid(1)) {
        Placement placement;
        if (!parsePlacement(argument, placement))
            return usageError(tr("无法识别 '%1' 中的位置").arg(argument));
        if (isProject(placement.file) && placement.width > 0)
            return usageError(tr("项目文件只能给出 @x,y, 不能给出大小或旋转: '%1'").arg(argument));
        placements.append(placement);
    }
    if (placements.size() > CImgJoinEngine::MaxPictures)
        return usageError(tr("最多只能拼接 %1 张图片").arg(CImgJoinEngine::MaxPictures));

    CImgJoinEngine engine;
    QStringList errors;
    QObject::connect(&engine, &CImgJoinEngine::errorOccurred,
                     [&errors](const QString& message) { errors << message; });
    // The pictures are decoded while the joined picture is composed, a few
    // at a time: the joined picture is most of the memory a join takes.
    engine.SetPictureMemoryBudget(JoinPictureBudget);
    // The pictures of project files are taken out into a folder that goes
    // with the command.
    QTemporaryDir scratch;
    for (const Placement& placement : std::as_const(placements)) {
        if (isProject(placement.file)) {
            if (!scratch.isValid()) {
                errors << tr("无法建立临时文件夹");
                break;
            }
            if (!addProject(engine, placement, scratch.path(), errors))
                break;
            continue;
        }
        const QString unreadable = engine.PictureHeaderError(placement.file);
        if (!unreadable.isEmpty() ||
            !engine.addPlacedPicture(placement.file, placement.x, placement.y, placement.width,
                                     placement.height, placement.angle)) {
            if (errors.isEmpty())
                errors << unreadable;
            break;
        }
    }
    if (errors.isEmpty()) {
        if (isProject(output))
            engine.SaveProject(output);
        else
            engine.SaveJoinedPicture(QFileInfo(output).suffix(), output);
    }
    for (const QString& error : std::as_const(errors))
        m_err << "imgjoin: " << error << "\n";
    m_err.flush();
    return errors.isEmpty() ? Ok : Failed;
}

bool ImgJoinCommand::isProject(const QString& file)
{
    return QFileInfo(file).suffix().compare(QLatin1String("ora"), Qt::CaseInsensitive) == 0;
}

bool ImgJoinCommand::addProject(CImgJoinEngine& engine, const Placement& placement,
                                const QString& folder, QStringList& errors)
{
    const QString shown = QDir::toNativeSeparators(placement.file);
    const IoResult<OraProject> project = OraProject::unpackFile(placement.file, ProjectBytes);
    if (!project.ok()) {
        errors << CImgJoinEngine::tr("无法打开项目 %1：%2").arg(shown, project.error);
        return false;
    }
    for (const OraProject::Layer& layer : project.value.layers) {
        if (engine.GetPictureCount() >= CImgJoinEngine::MaxPictures) {
            errors << tr("最多只能拼接 %1 张图片").arg(CImgJoinEngine::MaxPictures);
            return false;
        }
        const qint64 x = qint64(layer.place.x()) + placement.x;
        const qint64 y = qint64(layer.place.y()) + placement.y;
        if (!boxFits(x, y, layer.box.width(), layer.box.height())) {
            errors << CImgJoinEngine::tr("项目 %1 中的图片移到 (%2, %3) 后超出了画布坐标的范围")
                          .arg(shown)
                          .arg(x)
                          .arg(y);
            return false;
        }
        const QString file =
            QDir(folder).filePath(QStringLiteral("layer%1.png").arg(engine.GetPictureCount()));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(layer.png) != layer.png.size() ||
            !out.flush()) {
            errors << CImgJoinEngine::tr("无法写入临时文件 %1").arg(QDir::toNativeSeparators(file));
            return false;
        }
        out.close();
        const QString unreadable = engine.PictureHeaderError(file);
        if (!unreadable.isEmpty()) {
            errors << CImgJoinEngine::tr("项目 %1 中的图片 %2 无法读取：%3")
                          .arg(shown, layer.name, unreadable);
            return false;
        }
        const int countBefore = engine.GetPictureCount();
        if (!engine.addPlacedPicture(file, int(x), int(y), layer.box.width(), layer.box.height(),
                                     layer.angle) ||
            engine.GetPictureCount() == countBefore) {
            if (errors.isEmpty())
                errors << CImgJoinEngine::tr("项目 %1 中的图片 %2 无法放到画布上")
                              .arg(shown, layer.name);
            return false;
        }
    }
    return true;
}

bool ImgJoinCommand::parseArea(const QString& text, QRect& area)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    int values[4] = { 0, 0, 0, 0 };
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok)
            return false;
    }
    if (values[0] < 0 || values[1] < 0 || values[2] <= 0 || values[3] <= 0)
        return false;
    area = QRect(values[0], values[1], values[2], values[3]);
    return true;
}

int ImgJoinCommand::autoJoin(const QStringList& arguments)
{
    QRect area;
    bool report = false;
    QStringList files;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--report")) {
            report = true;
        } else if (argument == QLatin1String("--area")) {
            if (i + 1 >= arguments.size() || !parseArea(arguments.at(i + 1), area))
                return usageError(tr("--area 需要 X,Y,W,H: 四个整数, X、Y 不小于 0, W、H 大于 0"));
            ++i;
        } else if (argument.startsWith(QLatin1String("--"))) {
            return usageError(tr("auto-join 不认识选项 '%1'").arg(argument));
        } else {
            files << argument;
        }
    }
    if (files.size() < 3)
        return usageError(tr("auto-join 需要 OUT 和至少两张图片"));
    const QString output = files.takeFirst();
    if (isProject(output))
        return usageError(tr("auto-join 不能写成项目文件(.ora), 请给出图片文件"));
    if (files.size() > CImgJoinEngine::MaxPictures)
        return usageError(tr("最多只能拼接 %1 张图片").arg(CImgJoinEngine::MaxPictures));

    // Every picture is decoded once, several at a time; the aligner and the
    // composition share them. Each is packed as soon as it is decoded (8-bit
    // indexed or 24-bit when opaque), as the aligner and the composition read
    // those formats as they are; a drawing's captures then take a quarter to
    // three quarters of the memory of 32-bit pixels.
    QList<ImageCodec::ReadResult> pictures =
        QtConcurrent::blockingMapped<QList<ImageCodec::ReadResult>>(files, [](const QString& file) {
            ImageCodec::ReadResult picture = ImageCodec::read(file);
            if (picture.ok())
                picture.value = ImageCache::compact(picture.value);
            return picture;
        });
    QList<QImage> captures;
    captures.reserve(files.size());
    for (ImageCodec::ReadResult& picture : pictures) {
        if (!picture.ok()) {
            m_err << "imgjoin: " << picture.error << "\n";
            m_err.flush();
            return Failed;
        }
        captures << std::move(picture.value);
    }
    pictures.clear();
    if (!area.isNull()) {
        for (int i = 0; i < captures.size(); ++i)
            if (!captures.at(i).rect().contains(area))
                return usageError(tr("--area %1,%2,%3,%4 超出了 %5 (%6 x %7)")
                                      .arg(area.x())
                                      .arg(area.y())
                                      .arg(area.width())
                                      .arg(area.height())
                                      .arg(QDir::toNativeSeparators(files.at(i)))
                                      .arg(captures.at(i).width())
                                      .arg(captures.at(i).height()));
    }

    CaptureAligner::Options options;
    options.area = area;
    const CaptureAligner::Result result = CaptureAligner::align(captures, options);
    const auto fail = [this](const QString& message) {
        m_err << "imgjoin: " << message << "\n";
        m_err.flush();
        return Failed;
    };
    if (!result.error.isEmpty())
        return fail(result.error);
    if (result.placed.size() != captures.size() || result.placedCount() == 0) {
        for (int i = 0; i < captures.size(); ++i)
            if (!result.whyLeftOut.value(i).isEmpty())
                m_err << "imgjoin: " << QDir::toNativeSeparators(files.at(i)) << ": "
                      << result.whyLeftOut.value(i) << "\n";
        return fail(
            tr("没有一张图片能与其他图片拼接, 未写出 %1").arg(QDir::toNativeSeparators(output)));
    }

    // What is left out is not needed any more while the drawing is composed.
    for (int i = 0; i < captures.size(); ++i)
        if (!result.placed.at(i))
            captures[i] = QImage();
    QImage joined = CaptureAligner::compose(captures, result);
    captures.clear();
    if (joined.isNull())
        return fail(tr("拼接的图纸(%1 x %2 像素)太大, 内存不足")
                        .arg(result.canvasSize.width())
                        .arg(result.canvasSize.height()));
    const IoStatus written =
        CImgJoinEngine::WriteJoinedPicture(joined, QFileInfo(output).suffix(), output);
    joined = QImage();
    if (!written.ok())
        return fail(written.error);

    if (report) {
        for (int i = 0; i < files.size(); ++i)
            if (result.placed.at(i))
                m_out << files.at(i) << ' ' << result.offsets.at(i).x() << ','
                      << result.offsets.at(i).y() << ' '
                      << QString::number(result.confidence.at(i), 'f', 2) << "\n";
        for (int i = 0; i < files.size(); ++i)
            if (!result.placed.at(i))
                m_out << tr("未放入:") << ' ' << files.at(i) << ": " << result.whyLeftOut.at(i)
                      << "\n";
        m_out.flush();
    }
    for (int i = 0; i < files.size(); ++i)
        if (!result.placed.at(i))
            m_err << "imgjoin: "
                  << tr("警告: %1 未放入结果: %2")
                         .arg(QDir::toNativeSeparators(files.at(i)), result.whyLeftOut.at(i))
                  << "\n";
    m_err.flush();
    return Ok;
}

int ImgJoinCommand::stitch(const QStringList& arguments)
{
    if (arguments.size() != 4)
        return usageError(tr("stitch 需要 STEM ROWS COLS OUT"));
    bool rowsOk = false, columnsOk = false;
    const int rows = arguments.at(1).toInt(&rowsOk);
    const int columns = arguments.at(2).toInt(&columnsOk);
    if (!rowsOk || !columnsOk || rows < 1 || rows > 99 || columns < 1 || columns > 99)
        return usageError(tr("ROWS 和 COLS 必须是 1 到 99 的整数"));

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
        return usageError(tr("print-prep 需要 --job N IN OUT"));
    bool ok = false;
    const std::optional<OutputJob> chosen =
        codeFromValue(AllOutputJobs, arguments.at(1).toInt(&ok));
    if (!ok || !chosen)
        return usageError(tr("处理方式必须是 99、100、101 或 109"));
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
            return usageError(tr("%1 后面需要一个值").arg(argument));
        const QString& value = arguments.at(++i);
        QList<int> numbers;
        bool ok = false;
        if (argument == QLatin1String("--code")) {
            const int number = value.toInt(&ok);
            code = ok ? codeFromValue(AllFilterCodes, number) : std::nullopt;
            if (!code)
                return usageError(tr("--code 必须是 100、101、102、103、201、202 或 301"));
        } else if (argument == QLatin1String("--step")) {
            job.settings.step = value.toInt(&ok);
            if (!ok || job.settings.step < 1 || job.settings.step > 128)
                return usageError(tr("步长必须是 1 到 128"));
        } else if (argument == QLatin1String("--range") && parseBytes(value, 6, numbers)) {
            for (int k = 0; k < 6; ++k)
                job.settings.range[size_t(k)] = uchar(numbers.at(k));
            haveRange = true;
        } else if (argument == QLatin1String("--replace") && parseBytes(value, 3, numbers)) {
            job.settings.replacement = makeColorRef(numbers.at(0), numbers.at(1), numbers.at(2));
            haveReplace = true;
        } else {
            return usageError(tr("无法使用 '%1 %2'").arg(argument, value));
        }
    }
    if (!code)
        return usageError(tr("--code 必须是 100、101、102、103、201、202 或 301"));
    job.filter = *code;
    if (job.filter == FilterCode::ReplaceBackground && !(haveRange && haveReplace))
        return usageError(tr("滤镜 301 需要 --range 和 --replace"));
    if (files.size() != 2)
        return usageError(tr("filter 需要 IN 和 OUT"));
    // PNG to PNG streams band by band, decoding and compressing at once.
    if (ImageCodec::formatForSuffix(QFileInfo(files.at(1)).suffix()) == ImageCodec::Format::Png) {
        const IoResult<bool> streamed =
            FilterRowStream::run(files.at(0), files.at(1), job.filter, job.settings);
        if (!streamed.ok()) {
            m_err << "imgjoin: " << streamed.error << "\n";
            m_err.flush();
            return Failed;
        }
        if (streamed.value)
            return Ok;
    }
    return runPixelJob(job, files.at(0), files.at(1));
}
