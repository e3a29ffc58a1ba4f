#include "OraProject.h"

#include "CanvasMath.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <QtNumeric>

#include <zip.h>

#include <limits>
#include <memory>

namespace {

constexpr char StackEntry[] = "stack.xml";
constexpr char MimeEntry[] = "mimetype";
constexpr char ThumbnailEntry[] = "Thumbnails/thumbnail.png";
constexpr char MergedEntry[] = "mergedimage.png";
constexpr char Version[] = "0.0.5";
constexpr qint64 MaxMimeBytes = 256;
constexpr int MaxStackDepth = 64;

// Our own attributes and elements.
constexpr char Prefix[] = "lumo";
const QString Ns = QString::fromLatin1(OraProject::NamespaceUri);

using Result = IoResult<OraProject>;

constexpr qint64 IntLow = std::numeric_limits<int>::min();
constexpr qint64 IntHigh = std::numeric_limits<int>::max();

constexpr TrimMode StoredTrimModes[] = { TrimMode::FromBelow, TrimMode::FromAbove,
                                         TrimMode::FromRight, TrimMode::FromLeft };

// Whether a point moved by a distance stays inside the int range.
bool shiftFits(const QPoint& base, qint64 dx, qint64 dy)
{
    const qint64 x = base.x() + dx, y = base.y() + dy;
    return x >= IntLow && x <= IntHigh && y >= IntLow && y <= IntHigh;
}

Result failed(const QString& why)
{
    return Result::failure(why);
}

// Text that XML 1.0 can carry: other control characters, lone surrogates
// and the two non-characters become U+FFFD.
QString xmlText(const QString& text)
{
    QString clean = text;
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const char16_t c = clean.at(i).unicode();
        const bool control = c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
        bool lone = false;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < clean.size() && clean.at(i + 1).isLowSurrogate())
                ++i;
            else
                lone = true;
        } else if (QChar::isLowSurrogate(c)) {
            lone = true;
        }
        if (control || lone || c == 0xFFFE || c == 0xFFFF)
            clean[i] = QChar(QChar::ReplacementCharacter);
    }
    return clean;
}

QString number(float value)
{
    // Nine significant digits give every float back exactly.
    return QString::number(double(value), 'g', 9);
}

QString charText(char c)
{
    return c == '\0' ? QString() : QString(QChar(uchar(c)));
}

// --- the ruler tables --------------------------------------------------------

QString axisName(RulerTableId id)
{
    return id == RulerTableId::Horizontal ? QStringLiteral("horizontal")
                                          : QStringLiteral("vertical");
}

bool sameStoredFields(const RulerLine& a, const RulerLine& b)
{
    return a.chTickLen == b.chTickLen && a.chMark == b.chMark && a.szName == b.szName &&
           a.nSpacing == b.nSpacing && a.crColor == b.crColor;
}

void writeLine(QXmlStreamWriter& xml, const QString& element, int row, const RulerLine& line)
{
    xml.writeEmptyElement(Ns, element);
    if (row >= 0)
        xml.writeAttribute(QStringLiteral("row"), QString::number(row));
    xml.writeAttribute(QStringLiteral("tick"), QString::number(line.chTickLen));
    xml.writeAttribute(QStringLiteral("mark"), charText(line.chMark));
    xml.writeAttribute(QStringLiteral("name"), xmlText(line.szName));
    xml.writeAttribute(QStringLiteral("spacing"), QString::number(line.nSpacing));
    xml.writeAttribute(QStringLiteral("colour"),
                       QStringLiteral("%1").arg(line.crColor, 6, 16, QLatin1Char('0')));
}

// Only the rows that differ from a new table are written: the layout fields
// (position, visibility) are worked out again by every paint.
void writeRulers(QXmlStreamWriter& xml, const RulerSet& rulers)
{
    const RulerSet fresh;
    xml.writeStartElement(Ns, QStringLiteral("rulers"));
    xml.writeAttribute(QStringLiteral("scale"), number(rulers.scale()));
    for (RulerTableId id : { RulerTableId::Horizontal, RulerTableId::Vertical }) {
        const RulerTable& table = rulers.table(id);
        const RulerTable& blank = fresh.table(id);
        xml.writeStartElement(Ns, QStringLiteral("table"));
        xml.writeAttribute(QStringLiteral("axis"), axisName(id));
        for (int row = 0; row < RulerTable::RULER_ROWS; ++row) {
            if (!sameStoredFields(table.row(row), blank.row(row)))
                writeLine(xml, QStringLiteral("line"), row, table.row(row));
        }
        if (!sameStoredFields(table.overflow(), blank.overflow()))
            writeLine(xml, QStringLiteral("overflow"), -1, table.overflow());
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

// --- reading attributes -------------------------------------------------------

// Reads attributes of one element, remembering the first one that is not
// a valid value.
class Attributes
{
public:
    explicit Attributes(QXmlStreamAttributes attributes)
        : m_attributes(std::move(attributes))
    {
    }

    // An empty ns asks for an attribute without a namespace, by its bare name.
    bool has(const QString& ns, const QString& name) const
    {
        return ns.isEmpty() ? m_attributes.hasAttribute(name) : m_attributes.hasAttribute(ns, name);
    }
    QStringView value(const QString& ns, const QString& name) const
    {
        return ns.isEmpty() ? m_attributes.value(name) : m_attributes.value(ns, name);
    }
    QString text(const QString& ns, const QString& name) const
    {
        return value(ns, name).toString();
    }
    // The value, or fallback when the attribute is absent.
    qint64 integer(const QString& ns, const QString& name, qint64 fallback, qint64 low, qint64 high,
                   int base = 10)
    {
        if (!has(ns, name))
            return fallback;
        bool ok = false;
        const qint64 parsed = value(ns, name).trimmed().toLongLong(&ok, base);
        if (!ok || parsed < low || parsed > high) {
            note(name);
            return fallback;
        }
        return parsed;
    }
    float real(const QString& ns, const QString& name, float fallback)
    {
        if (!has(ns, name))
            return fallback;
        bool ok = false;
        const float parsed = value(ns, name).trimmed().toFloat(&ok);
        if (!ok || !qIsFinite(parsed)) {
            note(name);
            return fallback;
        }
        return parsed;
    }
    bool flag(const QString& ns, const QString& name) const
    {
        return value(ns, name) == QLatin1String("true");
    }
    void note(const QString& name)
    {
        if (m_bad.isEmpty())
            m_bad = name;
    }
    // The first attribute that was not valid; empty when all were.
    QString bad() const { return m_bad; }

private:
    const QXmlStreamAttributes m_attributes;
    QString m_bad;
};

bool readLine(Attributes& attributes, RulerLine& line)
{
    const QString none;
    line.chTickLen =
        quint8(attributes.integer(none, QStringLiteral("tick"), line.chTickLen, 0, 255));
    if (attributes.has(none, QStringLiteral("mark"))) {
        const QString mark = attributes.text(none, QStringLiteral("mark"));
        if (mark.size() > 1 || (mark.size() == 1 && mark.at(0).unicode() > 0xFF))
            attributes.note(QStringLiteral("mark"));
        else
            line.chMark = mark.isEmpty() ? '\0' : char(mark.at(0).unicode());
    }
    if (attributes.has(none, QStringLiteral("name")))
        line.szName = RulerTable::cutName(attributes.text(none, QStringLiteral("name")));
    line.nSpacing =
        int(attributes.integer(none, QStringLiteral("spacing"), line.nSpacing, IntLow, IntHigh));
    line.crColor =
        ColorRef(attributes.integer(none, QStringLiteral("colour"), line.crColor, 0, 0xFFFFFF, 16));
    return attributes.bad().isEmpty();
}

// Reads <rulers> up to its end element.
QString readRulers(QXmlStreamReader& xml, RulerSet& rulers)
{
    const QString none;
    {
        Attributes attributes(xml.attributes());
        const float scale = attributes.real(none, QStringLiteral("scale"), rulers.scale());
        if (!attributes.bad().isEmpty() || !(scale > 0.0f))
            return OraProject::tr("标尺的比例无效");
        rulers.setScale(scale);
    }
    while (xml.readNextStartElement()) {
        if (xml.namespaceUri() != Ns || xml.name() != QLatin1String("table")) {
            xml.skipCurrentElement();
            continue;
        }
        const QStringView axis = xml.attributes().value(QLatin1String("axis"));
        RulerTableId id = RulerTableId::Horizontal;
        if (axis == QLatin1String("vertical"))
            id = RulerTableId::Vertical;
        else if (axis != QLatin1String("horizontal"))
            return OraProject::tr("标尺表的方向“%1”无效").arg(axis.toString());
        RulerTable& table = rulers.table(id);
        while (xml.readNextStartElement()) {
            const bool isLine = xml.name() == QLatin1String("line");
            const bool isOverflow = xml.name() == QLatin1String("overflow");
            if (xml.namespaceUri() != Ns || !(isLine || isOverflow)) {
                xml.skipCurrentElement();
                continue;
            }
            Attributes attributes(xml.attributes());
            const qint64 row = isLine ? attributes.integer(none, QStringLiteral("row"), -1, 0,
                                                           RulerTable::RULER_ROWS - 1)
                                      : -1;
            RulerLine line = isLine ? table.row(int(qMax<qint64>(row, 0))) : table.overflow();
            if (!readLine(attributes, line) || (isLine && row < 0))
                return OraProject::tr("标尺表中有一行无效");
            if (isLine)
                table.setRow(int(row), line);
            else
                table.setOverflow(line);
            xml.skipCurrentElement();
        }
    }
    return {};
}

// --- the zip archive ------------------------------------------------------------

struct ArchiveCloser
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

QString openFailure(int code)
{
    switch (code) {
        case ZIP_ER_NOZIP:
        case ZIP_ER_INCONS:
        case ZIP_ER_EOF:
        case ZIP_ER_MULTIDISK: return OraProject::tr("这不是一个项目文件, 或者文件不完整");
        case ZIP_ER_MEMORY: return OraProject::tr("内存不足");
        case ZIP_ER_NOENT: return OraProject::tr("文件不存在");
        default: return OraProject::tr("文件无法读取");
    }
}

// One entry's bytes, at most limit bytes. Its declared size is checked
// before anything is decompressed, and the entry must end where declared and
// pass its checksum.
IoResult<QByteArray> readEntry(zip_t* archive, const QString& name, qint64 limit)
{
    using Bytes = IoResult<QByteArray>;
    const QByteArray encoded = name.toUtf8();
    const zip_int64_t index = zip_name_locate(archive, encoded.constData(), 0);
    if (index < 0)
        return Bytes::failure(OraProject::tr("缺少 %1").arg(name));
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, zip_uint64_t(index), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE))
        return Bytes::failure(OraProject::tr("%1 无法读取").arg(name));
    if (stat.size > quint64(qMax<qint64>(limit, 0)))
        return Bytes::failure(
            OraProject::tr("%1 太大（%2 字节）, 超出了可以打开的范围").arg(name).arg(stat.size));
    zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(index), 0);
    if (!file)
        return Bytes::failure(OraProject::tr("%1 的压缩方式无法读取").arg(name));
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t got = stat.size > 0 ? zip_fread(file, bytes.data(), stat.size) : 0;
    char beyond = 0;
    const zip_int64_t more = zip_fread(file, &beyond, 1);
    const int closed = zip_fclose(file);
    if (got != zip_int64_t(stat.size) || more != 0 || closed != 0)
        return Bytes::failure(OraProject::tr("%1 已损坏").arg(name));
    return Bytes::success(bytes);
}

Result unpackArchive(zip_source_t* source, qint64 byteLimit)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_t* opened = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!opened) {
        zip_source_free(source);
        const int code = zip_error_code_zip(&error);
        zip_error_fini(&error);
        return failed(openFailure(code));
    }
    zip_error_fini(&error);
    const Archive archive(opened);

    const IoResult<QByteArray> mime =
        readEntry(archive.get(), QString::fromLatin1(MimeEntry), MaxMimeBytes);
    if (!mime.ok() || mime.value.trimmed() != OraProject::MimeType)
        return failed(OraProject::tr("这不是一个 OpenRaster 项目文件"));

    qint64 left = byteLimit;
    const IoResult<QByteArray> stack = readEntry(archive.get(), QString::fromLatin1(StackEntry),
                                                 qMin(left, OraProject::MaxStackBytes));
    if (!stack.ok())
        return failed(stack.error);
    left -= stack.value.size();
    QStringList sources;
    Result project = OraProject::parseStack(stack.value, sources);
    if (!project.ok())
        return project;
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const IoResult<QByteArray> png = readEntry(archive.get(), sources.at(i), left);
        if (!png.ok())
            return failed(png.error);
        left -= png.value.size();
        project.value.layers[i].png = png.value;
    }
    return project;
}

} // namespace

bool OraProject::safeEntryName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(u'\\') || name.contains(u':') ||
        name.contains(QChar(0)))
        return false;
    const QStringList parts = name.split(u'/');
    for (const QString& part : parts) {
        if (part.isEmpty() || part == QLatin1String(".."))
            return false;
    }
    return true;
}

QByteArray OraProject::stackXml() const
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("image"));
    xml.writeNamespace(Ns, QString::fromLatin1(Prefix));
    xml.writeAttribute(QStringLiteral("w"), QString::number(size.width()));
    xml.writeAttribute(QStringLiteral("h"), QString::number(size.height()));
    xml.writeAttribute(QStringLiteral("version"), QString::fromLatin1(Version));
    xml.writeStartElement(QStringLiteral("stack"));
    // The topmost picture comes first.
    for (qsizetype i = layers.size() - 1; i >= 0; --i) {
        const Layer& layer = layers.at(i);
        xml.writeEmptyElement(QStringLiteral("layer"));
        xml.writeAttribute(QStringLiteral("x"), QString::number(layer.joined.x()));
        xml.writeAttribute(QStringLiteral("y"), QString::number(layer.joined.y()));
        xml.writeAttribute(QStringLiteral("src"), QStringLiteral("data/layer%1.png").arg(i));
        xml.writeAttribute(QStringLiteral("name"), xmlText(layer.name));
        xml.writeAttribute(QStringLiteral("visibility"), QStringLiteral("visible"));
        xml.writeAttribute(Ns, QStringLiteral("x"), QString::number(layer.place.x()));
        xml.writeAttribute(Ns, QStringLiteral("y"), QString::number(layer.place.y()));
        if (!layer.box.isEmpty()) {
            xml.writeAttribute(Ns, QStringLiteral("w"), QString::number(layer.box.width()));
            xml.writeAttribute(Ns, QStringLiteral("h"), QString::number(layer.box.height()));
        }
        if (layer.angle != 0.0f)
            xml.writeAttribute(Ns, QStringLiteral("angle"), number(layer.angle));
        if (i == current) {
            xml.writeAttribute(Ns, QStringLiteral("current"), QStringLiteral("true"));
            if (transparent)
                xml.writeAttribute(Ns, QStringLiteral("transparent"), QStringLiteral("true"));
        }
    }
    xml.writeEndElement(); // stack
    if (hasView) {
        xml.writeEmptyElement(Ns, QStringLiteral("view"));
        xml.writeAttribute(QStringLiteral("zoom"), number(zoom));
        xml.writeAttribute(QStringLiteral("x"), QString::number(origin.x()));
        xml.writeAttribute(QStringLiteral("y"), QString::number(origin.y()));
    }
    if (trimMode != TrimMode::None) {
        xml.writeEmptyElement(Ns, QStringLiteral("trim"));
        xml.writeAttribute(QStringLiteral("mode"), QString::number(codeValue(trimMode)));
        xml.writeAttribute(QStringLiteral("x"), QString::number(trimPoint.x()));
        xml.writeAttribute(QStringLiteral("y"), QString::number(trimPoint.y()));
    }
    if (hasRulers)
        writeRulers(xml, rulers);
    xml.writeEndElement(); // image
    xml.writeEndDocument();
    return bytes;
}

IoResult<OraProject> OraProject::parseStack(const QByteArray& bytes, QStringList& srcPaths)
{
    srcPaths.clear();
    const QString none;
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("image") ||
        !xml.namespaceUri().isEmpty())
        return failed(tr("stack.xml 中没有 image 元素"));
    OraProject project;
    {
        Attributes attributes(xml.attributes());
        project.size = QSize(int(attributes.integer(none, QStringLiteral("w"), 0, 0, IntHigh)),
                             int(attributes.integer(none, QStringLiteral("h"), 0, 0, IntHigh)));
    }
    // Layers in the order of the file, the topmost first; each nested stack
    // moves what it holds by its own x and y.
    QList<Layer> topFirst;
    QList<QPoint> shifts;
    int currentFromTop = -1;
    bool transparent = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (xml.namespaceUri().isEmpty() && xml.name() == QLatin1String("stack"))
                shifts.removeLast();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        Attributes attributes(xml.attributes());
        const bool ours = xml.namespaceUri() == Ns;
        const bool plain = xml.namespaceUri().isEmpty();
        if (plain && xml.name() == QLatin1String("stack")) {
            if (shifts.size() >= MaxStackDepth)
                return failed(tr("stack.xml 中的图层嵌套太深"));
            const QPoint base = shifts.isEmpty() ? QPoint() : shifts.last();
            const qint64 dx = attributes.integer(none, QStringLiteral("x"), 0, IntLow, IntHigh);
            const qint64 dy = attributes.integer(none, QStringLiteral("y"), 0, IntLow, IntHigh);
            if (!attributes.bad().isEmpty() || !shiftFits(base, dx, dy))
                return failed(tr("stack.xml 中的图层组位置无效"));
            shifts.append(base + QPoint(int(dx), int(dy)));
        } else if (plain && xml.name() == QLatin1String("layer") && !shifts.isEmpty()) {
            const QString src = attributes.text(none, QStringLiteral("src"));
            const bool hidden =
                attributes.text(none, QStringLiteral("visibility")) == QLatin1String("hidden");
            if (!safeEntryName(src))
                return failed(tr("图层的文件名“%1”无效").arg(src));
            Layer layer;
            layer.name = attributes.text(none, QStringLiteral("name"));
            const qint64 x = attributes.integer(none, QStringLiteral("x"), 0, IntLow, IntHigh);
            const qint64 y = attributes.integer(none, QStringLiteral("y"), 0, IntLow, IntHigh);
            if (!shiftFits(shifts.last(), x, y))
                attributes.note(QStringLiteral("x"));
            layer.joined = shifts.last() +
                           QPoint(int(qBound(IntLow, x, IntHigh)), int(qBound(IntLow, y, IntHigh)));
            layer.place = layer.joined;
            if (attributes.has(Ns, QStringLiteral("x")) || attributes.has(Ns, QStringLiteral("y")))
                layer.place =
                    QPoint(int(attributes.integer(Ns, QStringLiteral("x"), 0, IntLow, IntHigh)),
                           int(attributes.integer(Ns, QStringLiteral("y"), 0, IntLow, IntHigh)));
            if (attributes.has(Ns, QStringLiteral("w")) || attributes.has(Ns, QStringLiteral("h")))
                layer.box = QSize(int(attributes.integer(Ns, QStringLiteral("w"), 0, 1, IntHigh)),
                                  int(attributes.integer(Ns, QStringLiteral("h"), 0, 1, IntHigh)));
            if (!layer.box.isEmpty() &&
                !boxFits(layer.place.x(), layer.place.y(), layer.box.width(), layer.box.height()))
                attributes.note(QStringLiteral("w"));
            layer.angle = attributes.real(Ns, QStringLiteral("angle"), 0.0f);
            if (!attributes.bad().isEmpty() ||
                (layer.box.isEmpty() && (attributes.has(Ns, QStringLiteral("w")) ||
                                         attributes.has(Ns, QStringLiteral("h")))))
                return failed(tr("图层 %1 的属性 %2 无效").arg(src, attributes.bad()));
            // What another program hides is not part of its picture.
            if (!hidden) {
                if (topFirst.size() >= MaxLayers)
                    return failed(tr("项目中的图片超过 %1 张").arg(MaxLayers));
                if (attributes.flag(Ns, QStringLiteral("current"))) {
                    currentFromTop = int(topFirst.size());
                    transparent = attributes.flag(Ns, QStringLiteral("transparent"));
                }
                topFirst.append(layer);
                srcPaths.prepend(src);
            }
            xml.skipCurrentElement();
        } else if (ours && xml.name() == QLatin1String("view")) {
            project.hasView = true;
            project.zoom = attributes.real(none, QStringLiteral("zoom"), 1.0f);
            project.origin =
                QPoint(int(attributes.integer(none, QStringLiteral("x"), 0, IntLow, IntHigh)),
                       int(attributes.integer(none, QStringLiteral("y"), 0, IntLow, IntHigh)));
            if (!attributes.bad().isEmpty() || !(project.zoom > 0.0f))
                return failed(tr("视图的缩放或位置无效"));
            xml.skipCurrentElement();
        } else if (ours && xml.name() == QLatin1String("trim")) {
            const std::optional<TrimMode> mode = codeFromValue(
                StoredTrimModes, int(attributes.integer(none, QStringLiteral("mode"), -1, 0, 999)));
            project.trimPoint =
                QPoint(int(attributes.integer(none, QStringLiteral("x"), 0, IntLow, IntHigh)),
                       int(attributes.integer(none, QStringLiteral("y"), 0, IntLow, IntHigh)));
            if (!mode || !attributes.bad().isEmpty())
                return failed(tr("裁剪线无效"));
            project.trimMode = *mode;
            xml.skipCurrentElement();
        } else if (ours && xml.name() == QLatin1String("rulers")) {
            project.hasRulers = true;
            if (const QString why = readRulers(xml, project.rulers); !why.isEmpty())
                return failed(why);
        } else if (!(plain && xml.name() == QLatin1String("layer"))) {
            // Text, filters and whatever else other programs keep: not ours to show.
            if (!(plain && xml.name() == QLatin1String("image")))
                xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        return failed(tr("stack.xml 格式错误（第 %1 行）").arg(xml.lineNumber()));
    for (qsizetype i = topFirst.size() - 1; i >= 0; --i)
        project.layers.append(topFirst.at(i));
    if (currentFromTop >= 0) {
        project.current = int(topFirst.size()) - 1 - currentFromTop;
        project.transparent = transparent;
    }
    return Result::success(project);
}

IoResult<QByteArray> OraProject::pack() const
{
    using Bytes = IoResult<QByteArray>;
    const QByteArray stack = stackXml();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
    zip_error_fini(&error);
    if (!archive) {
        if (buffer)
            zip_source_free(buffer);
        return Bytes::failure(tr("内存不足, 无法组成项目文件"));
    }
    // The buffer outlives the archive: the archive's bytes are read from it.
    zip_source_keep(buffer);
    const auto add = [&archive](const QString& name, const char* data, qsizetype size,
                                bool compress) {
        zip_source_t* source = zip_source_buffer(archive, data, zip_uint64_t(size), 0);
        if (!source)
            return false;
        const zip_int64_t index =
            zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return false;
        }
        // PNG data does not shrink any further: stored, it is written at once.
        return compress ||
               zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0) == 0;
    };
    const auto addBytes = [&add](const QString& name, const QByteArray& bytes, bool compress) {
        return add(name, bytes.constData(), bytes.size(), compress);
    };
    // The mimetype comes first and stored, so that its text stands at a
    // fixed place at the start of the file.
    bool added =
        add(QString::fromLatin1(MimeEntry), MimeType, qsizetype(sizeof(MimeType) - 1), false) &&
        addBytes(QString::fromLatin1(StackEntry), stack, true);
    for (qsizetype i = 0; added && i < layers.size(); ++i)
        added = addBytes(QStringLiteral("data/layer%1.png").arg(i), layers.at(i).png, false);
    added = added && addBytes(QString::fromLatin1(ThumbnailEntry), thumbnail, false) &&
            addBytes(QString::fromLatin1(MergedEntry), merged, false);
    if (!added || zip_close(archive) != 0) {
        zip_discard(archive);
        zip_source_free(buffer);
        return Bytes::failure(tr("内存不足, 无法组成项目文件"));
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    QByteArray bytes;
    bool read = zip_source_stat(buffer, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) &&
                zip_source_open(buffer) == 0;
    if (read) {
        bytes.resize(qsizetype(stat.size));
        read = zip_source_read(buffer, bytes.data(), stat.size) == zip_int64_t(stat.size);
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    if (!read)
        return Bytes::failure(tr("内存不足, 无法组成项目文件"));
    return Bytes::success(bytes);
}

IoResult<OraProject> OraProject::unpack(const QByteArray& archive, qint64 byteLimit)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_buffer_create(archive.constData(), zip_uint64_t(archive.size()), 0, &error);
    zip_error_fini(&error);
    if (!source)
        return failed(tr("内存不足"));
    return unpackArchive(source, byteLimit);
}

IoResult<OraProject> OraProject::unpackFile(const QString& path, qint64 byteLimit)
{
    const QFileInfo info(path);
    if (!info.exists())
        return failed(tr("文件不存在"));
    // A pipe or a device in its place would block the read: plain files only.
    if (!info.isFile())
        return failed(tr("这不是一个普通文件"));
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_file_create(QFile::encodeName(path).constData(), 0, -1, &error);
    const int code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    if (!source)
        return failed(openFailure(code));
    return unpackArchive(source, byteLimit);
}
