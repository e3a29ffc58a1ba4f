// The canvas saved as a project file and opened from one.
#include "CImgJoinEngine.h"

#include "CanvasMath.h"
#include "ColorQuantizer.h"
#include "OraProject.h"
#include "PngWriter.h"
#include "WriteFailure.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

static_assert(OraProject::MaxLayers == Canvas::MaxPictures,
              "a project holds what one canvas holds");

namespace {

constexpr int ThumbnailSide = 256;
constexpr int PngLevel = 6;
// What the entries taken out of a project may hold together, whatever the
// picture memory budget: a few hundred MB of PNG data is already far more
// than sixty screen captures take.
constexpr qint64 LeastProjectBytes = qint64(256) * 1024 * 1024;
constexpr qint64 MostProjectBytes = qint64(1024) * 1024 * 1024;

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool isPngFile(const QByteArray& bytes)
{
    return bytes.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1a\n"));
}

IoResult<QByteArray> encodePng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const IoStatus written =
        PngWriter::write(ColorQuantizer::withWholePalette(image), &buffer, PngLevel);
    if (!written.ok())
        return IoResult<QByteArray>::failure(written.error);
    return IoResult<QByteArray>::success(bytes);
}

// Why a file could not be written, from the system's error number.
QString writeReason(int errorNumber)
{
    switch (errorNumber) {
        case EACCES:
        case EPERM: return CImgJoinEngine::tr("没有写入这个文件夹的权限");
        case EROFS: return CImgJoinEngine::tr("磁盘是只读的");
        case ENOENT: return CImgJoinEngine::tr("文件夹不存在");
        case EISDIR: return CImgJoinEngine::tr("这是一个文件夹");
        case 0: return CImgJoinEngine::tr("写入时出错");
        default: return CImgJoinEngine::tr("写入时出错（系统错误 %1）").arg(errorNumber);
    }
}

} // namespace

QString CImgJoinEngine::unusedClipName(const QString& suffix)
{
    // A file left in the folder by an earlier run is never written over.
    QString name = nextClipName(suffix);
    while (QFileInfo::exists(name))
        name = nextClipName(suffix);
    return name;
}

IoResult<QByteArray> CImgJoinEngine::pictureAsPng(const QString& file)
{
    QFile in(file);
    if (in.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = in.readAll();
        // A PNG goes in as it is: its pixels are exactly what the canvas showed.
        if (isPngFile(bytes))
            return IoResult<QByteArray>::success(bytes);
    }
    const ImageCache::Entry entry = m_imageCache.get(file);
    if (!entry.ok())
        return IoResult<QByteArray>::failure(entry.error);
    return encodePng(entry.image);
}

bool CImgJoinEngine::collectProject(OraProject& project, const QString& path)
{
    const QString shown = native(path);
    const QImage joined = RenderJoinedPicture();
    if (joined.isNull()) {
        report(tr("项目 %1 没有保存：拼接图片无法生成").arg(shown));
        return false;
    }
    const QList<JoinPicture>& pictures = m_canvas.pictures();
    int minX = pictures.first().x, minY = pictures.first().y;
    for (const JoinPicture& picture : pictures) {
        minX = qMin(minX, picture.x);
        minY = qMin(minY, picture.y);
    }
    for (const JoinPicture& picture : pictures) {
        OraProject::Layer layer;
        layer.name = m_layerNames.value(picture.file, QFileInfo(picture.file).fileName());
        const IoResult<QByteArray> png = pictureAsPng(picture.file);
        if (!png.ok()) {
            report(tr("项目 %1 没有保存：图片 %2 无法读取（%3）")
                       .arg(shown, native(picture.file), png.error));
            return false;
        }
        layer.png = png.value;
        // Both within the joined picture, which RenderJoinedPicture has sized.
        layer.joined = QPoint(int(qint64(picture.x) - minX), int(qint64(picture.y) - minY));
        layer.place = QPoint(picture.x, picture.y);
        if (picture.width > 0 && picture.height > 0)
            layer.box = QSize(picture.width, picture.height);
        layer.angle = picture.angle;
        project.layers.append(layer);
    }
    project.size = joined.size();
    project.current = m_canvas.hasCurrent() ? m_canvas.currentIndex() : -1;
    project.transparent = m_canvas.hotTransparent();
    project.hasView = true;
    project.zoom = m_canvas.zoom();
    project.origin = m_canvas.origin();
    project.trimMode = m_trimLine.mode();
    project.trimPoint = m_trimLine.stored();
    project.hasRulers = true;
    project.rulers = m_rulers;

    const QImage thumbnail = joined.width() > ThumbnailSide || joined.height() > ThumbnailSide
                                 ? joined.scaled(ThumbnailSide, ThumbnailSide, Qt::KeepAspectRatio,
                                                 Qt::SmoothTransformation)
                                 : joined;
    const IoResult<QByteArray> merged = encodePng(joined);
    const IoResult<QByteArray> small = encodePng(thumbnail);
    if (!merged.ok() || !small.ok()) {
        report(tr("项目 %1 没有保存：拼接图片无法编码（%2）")
                   .arg(shown, merged.ok() ? small.error : merged.error));
        return false;
    }
    project.merged = merged.value;
    project.thumbnail = small.value;
    return true;
}

bool CImgJoinEngine::SaveProject(const QString& path)
{
    if (refusedWhileBusy())
        return false;
    const QString shown = native(path);
    if (m_canvas.isEmpty()) {
        report(tr("画布上没有图片, 项目 %1 没有保存").arg(shown));
        return false;
    }
    const QFileInfo info(path);
    if (info.isDir()) {
        report(tr("无法保存项目 %1：这是一个文件夹").arg(shown));
        return false;
    }
    if (!info.absoluteDir().exists()) {
        report(tr("无法保存项目 %1：文件夹 %2 不存在").arg(shown, native(info.absolutePath())));
        return false;
    }
    if (const IoStatus target = ImageCodec::replaceableTarget(path); !target.ok()) {
        report(target.error);
        return false;
    }
    OraProject project;
    if (!collectProject(project, path))
        return false;
    const IoResult<QByteArray> packed = project.pack();
    if (!packed.ok()) {
        report(tr("无法保存项目 %1：%2").arg(shown, packed.error));
        return false;
    }
    // A new file renamed over the old one only once every byte is written.
    errno = 0;
    QSaveFile file(path);
    int errorNumber = 0;
    const bool opened = file.open(QIODevice::WriteOnly);
    const bool whole = opened && file.write(packed.value) == packed.value.size();
    if (!whole)
        errorNumber = errno;
    if (!whole || !WriteFailure::commit(file, &errorNumber)) {
        report(
            WriteFailure::reason(path, file, errorNumber,
                                 tr("无法保存项目 %1：%2").arg(shown, writeReason(errorNumber))));
        return false;
    }
    MarkCanvasSaved();
    return true;
}

bool CImgJoinEngine::OpenProject(const QString& path)
{
    if (refusedWhileBusy())
        return false;
    const QString shown = native(path);
    const qint64 byteLimit = qBound(LeastProjectBytes, m_imageCache.budget(), MostProjectBytes);
    IoResult<OraProject> read = OraProject::unpackFile(path, byteLimit);
    if (!read.ok()) {
        report(tr("无法打开项目 %1：%2").arg(shown, read.error));
        return false;
    }
    const OraProject& project = read.value;
    if (!project.layers.isEmpty() && !ensureTempDir())
        return false;

    // Every picture is taken out and decoded before the canvas changes.
    QStringList written;
    const auto abandon = [&](const QString& why) {
        for (const QString& file : std::as_const(written))
            QFile::remove(file);
        report(tr("无法打开项目 %1：%2").arg(shown, why));
        return false;
    };
    QList<JoinPicture> records;
    QHash<QString, QString> names;
    for (const OraProject::Layer& layer : project.layers) {
        const QString file = unusedClipName(QStringLiteral("png"));
        errno = 0;
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
            out.write(layer.png) != layer.png.size() || !out.flush()) {
            const int errorNumber = errno;
            out.close();
            QFile::remove(file);
            return abandon(
                WriteFailure::isNoSpace(errorNumber)
                    ? WriteFailure::noSpaceReason(file)
                    : tr("无法写入临时文件 %1（%2）").arg(native(file), writeReason(errorNumber)));
        }
        out.close();
        written << file;
        const ImageCache::Entry entry = m_imageCache.get(file);
        const QString label = layer.name.isEmpty() ? QFileInfo(file).fileName() : layer.name;
        if (!entry.ok())
            return abandon(tr("其中的图片 %1 无法读取（%2）").arg(label, entry.error));
        if (entry.image.isNull() || entry.image.size().isEmpty())
            return abandon(tr("其中的图片 %1 是空的").arg(label));
        JoinPicture record;
        record.state = JoinPicture::Measured;
        record.file = file;
        record.x = layer.place.x();
        record.y = layer.place.y();
        const QSize box = layer.box.isEmpty() ? entry.image.size() : layer.box;
        record.width = box.width();
        record.height = box.height();
        record.angle = layer.angle;
        if (!boxFits(record.x, record.y, record.width, record.height))
            return abandon(tr("其中的图片 %1 的位置超出了画布坐标的范围").arg(label));
        records << record;
        if (!layer.name.isEmpty())
            names.insert(file, layer.name);
    }

    m_canvas.clear();
    m_canvas.pictures() = records;
    // A project from another program names no current picture: the topmost
    // is current, as after adding the pictures one by one.
    const bool knownCurrent = project.current >= 0 && project.current < records.size();
    m_canvas.setCurrentIndex(knownCurrent ? project.current : qMax(0, int(records.size()) - 1));
    m_canvas.setHotTransparent(knownCurrent && project.transparent);
    if (project.hasView)
        m_canvas.setMapping(project.zoom, project.origin);
    if (project.trimMode == TrimMode::None)
        m_trimLine.clear();
    else
        m_trimLine.setStored(project.trimPoint, project.trimMode);
    if (project.hasRulers) {
        const int selected = m_rulers.select(-1);
        m_rulers = project.rulers;
        m_rulers.select(selected);
    }
    m_layerNames = names;
    // The steps go after the canvas changed: the clip files only they
    // reached are deleted with them.
    m_undoStack.clear();
    MarkCanvasSaved();
    return true;
}

void CImgJoinEngine::NewCanvas()
{
    if (refusedWhileBusy())
        return;
    m_canvas.clear();
    m_trimLine.clear();
    m_layerNames.clear();
    m_undoStack.clear();
    MarkCanvasSaved();
}
