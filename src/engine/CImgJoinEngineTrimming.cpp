// Cutting the current picture (or the output picture) by a window or a trim line.
#include "CImgJoinEngine.h"

#include "CanvasMath.h"
#include "ImageCodec.h"
#include "Rendition.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <cmath>

namespace {

// A view distance in picture units at this zoom, to the nearest unit.
qint64 unitsAt(qint64 viewDistance, float zoom)
{
    if (!(zoom > 0.0f) || !std::isfinite(zoom))
        return viewDistance;
    return std::llround(qBound(-1e15, double(viewDistance) / double(zoom), 1e15));
}

// A view edge, counted from the start of a picture's view box of boxSize
// pixels, in units of the picture (pictureSize units across). Inside the box
// the picture is drawn stretched to the box, so both ends of the box are the
// picture's ends; beyond it the zoom counts.
qint64 pictureOffset(qint64 edge, int boxSize, int pictureSize, float zoom)
{
    if (edge <= 0)
        return unitsAt(edge, zoom);
    if (edge >= boxSize)
        return pictureSize + unitsAt(edge - boxSize, zoom);
    return std::llround(double(edge) * pictureSize / boxSize);
}

} // namespace

bool CImgJoinEngine::TrimByWindow(int left, int top, int right, int bottom, DisplayMode viewMode)
{
    if (qint64(right) - left <= 9 || qint64(bottom) - top <= 9 || refusedWhileBusy())
        return false;
    if (viewMode == DisplayMode::Output)
        return trimOutputPicture(left, top, right, bottom);
    return !ClipCurrentPicture(left, top, right, bottom).isEmpty();
}

bool CImgJoinEngine::trimOutputPicture(int left, int top, int right, int bottom)
{
    const ImageCache::Entry entry = m_imageCache.get(m_output.file());
    if (!entry.ok()) {
        report(entry.error);
        return false;
    }
    // The window's edges in picture pixels, counted from the picture's view
    // box: an edge on an edge of the box keeps that edge of the picture.
    const float zoom = m_output.zoom();
    const QRect box = m_output.screenBox(entry.image.size());
    const QPoint at = m_output.position();
    const QSize size = entry.image.size();
    const qint64 n = pictureOffset(qint64(left) - at.x(), box.width(), size.width(), zoom);
    const qint64 o = pictureOffset(qint64(top) - at.y(), box.height(), size.height(), zoom);
    const qint64 width = pictureOffset(qint64(right) - at.x(), box.width(), size.width(), zoom) - n;
    const qint64 height =
        pictureOffset(qint64(bottom) - at.y(), box.height(), size.height(), zoom) - o;
    if (width <= 0 || height <= 0) {
        report(tr("修剪窗口太小"));
        return false;
    }
    if (!boxFits(n, o, width, height) || !boxFits(-n, -o, 0, 0)) {
        report(tr("修剪窗口超出了图片坐标的范围"));
        return false;
    }
    QImage cut(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (cut.isNull()) {
        report(tr("修剪窗口太大, 内存不足"));
        return false;
    }
    cut.fill(Qt::transparent);
    QPainter painter(&cut);
    painter.drawImage(QPoint(int(-n), int(-o)), entry.image);
    painter.end();

    // Two names in turn, so the file being shown is never the one being written.
    const QDir temp(tempDir());
    const QString name = m_output.otherName(temp.filePath(QStringLiteral("tmpClipPic_0123.png")),
                                            temp.filePath(QStringLiteral("tmpClipPic_9876.png")));
    if (!writeResult(cut, name, ImageCodec::Format::Png))
        return false;
    m_output.setFile(name);
    return true;
}

bool CImgJoinEngine::writeResult(const QImage& image, const QString& path,
                                 ImageCodec::Format format)
{
    if (!ensureTempDir())
        return false;
    const IoStatus written = ImageCodec::write(image, path, format, ImageCodec::Effort::Fast);
    if (!written.ok()) {
        report(written.error);
        return false;
    }
    if (format == ImageCodec::Format::Png) // lossless: the file holds these very pixels
        m_imageCache.remember(path, image);
    return true;
}

QString CImgJoinEngine::ClipCurrentPicture(int left, int top, int right, int bottom)
{
    JoinPicture* picture = current();
    if (!picture || refusedWhileBusy())
        return {};
    // Loading measures a picture not drawn yet, so the box comes after it.
    if (!load(*picture).ok())
        return {};
    // The window's edges in picture units, counted from the picture's view box.
    const float zoom = m_canvas.zoom();
    const QPoint origin = m_canvas.origin();
    const qint64 boxX = qint64(truncToInt(float(picture->x) * zoom)) + origin.x();
    const qint64 boxY = qint64(truncToInt(float(picture->y) * zoom)) + origin.y();
    const int boxWidth = truncToInt(float(picture->width) * zoom);
    const int boxHeight = truncToInt(float(picture->height) * zoom);
    const qint64 n = pictureOffset(left - boxX, boxWidth, picture->width, zoom);
    const qint64 o = pictureOffset(top - boxY, boxHeight, picture->height, zoom);
    const qint64 cw = pictureOffset(right - boxX, boxWidth, picture->width, zoom) - n;
    const qint64 ch = pictureOffset(bottom - boxY, boxHeight, picture->height, zoom) - o;
    const CanvasSnapshot before = snapshot();
    const QString clip = clipCurrentBox(n, o, cw, ch);
    recordEdit(tr("修剪图片"), before);
    return clip;
}

QString CImgJoinEngine::clipCurrentBox(qint64 n, qint64 o, qint64 cw, qint64 ch)
{
    JoinPicture* picture = current();
    if (!picture)
        return {};
    const ImageCache::Entry entry = load(*picture);
    if (!entry.ok())
        return {};
    if (cw <= 0 || ch <= 0) {
        report(tr("修剪窗口太小"));
        return {};
    }

    // The real suffix names the result and picks its encoder; one that no
    // encoder serves gives a PNG file.
    bool served = false;
    const QString suffix = QFileInfo(picture->file).suffix();
    const ImageCodec::Format format = ImageCodec::formatForSuffix(suffix, &served);
    const QString resultSuffix = served ? suffix : ImageCodec::suffixFor(format);

    // In 64 bits; a cut whose box would leave the int range is refused.
    if (!boxFits(picture->x + n, picture->y + o, cw, ch) || !boxFits(-n, -o, 0, 0)) {
        report(tr("修剪窗口超出了画布坐标的范围"));
        return {};
    }

    QImage cut(int(cw), int(ch), QImage::Format_ARGB32_Premultiplied);
    if (cut.isNull()) {
        report(tr("修剪窗口太大, 内存不足"));
        return {};
    }
    cut.fill(Qt::transparent);
    const QSize size(picture->width, picture->height);
    if (!size.isEmpty()) {
        QPainter painter(&cut);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        QPoint at(int(-n), int(-o));
        if (picture->angle != 0.0f) {
            painter.translate(qreal(-n + size.width() / 2), qreal(-o + size.height() / 2));
            painter.rotate(picture->angle);
            at = QPoint(-size.width() / 2, -size.height() / 2);
        }
        painter.drawImage(at, Rendition::scaled(entry.image, size));
    }

    QString name = nextClipName(resultSuffix);
    if (!writeResult(cut, name, format))
        return {};
    picture->x = int(picture->x + n);
    picture->y = int(picture->y + o);
    picture->angle = 0.0f;
    picture->width = int(cw);
    picture->height = int(ch);
    picture->file = name;
    picture->state = JoinPicture::Measured;
    return name;
}

void CImgJoinEngine::SetTrimLine(int x, int y, TrimMode mode)
{
    m_trimLine.set(QPoint(x, y), mode, m_canvas.zoom(), m_canvas.origin());
}

int CImgJoinEngine::GetTrimLineShown(QPoint& point, TrimMode& mode) const
{
    point = m_trimLine.shownAt();
    mode = m_trimLine.mode();
    return m_trimLine.shown() ? 1 : 0;
}

bool CImgJoinEngine::TrimByTrimLine()
{
    // The last paint showed what the line keeps; too little is not cut.
    const QRect shown = m_trimLine.kept();
    const JoinPicture* picture = current();
    if (shown.width() < 10 || shown.height() < 10 || !picture || refusedWhileBusy())
        return false;
    // The cut itself is made in picture units: the line lies on a canvas
    // unit, and the side away from the line keeps the picture's edges whole.
    const QRect box(picture->x, picture->y, picture->width, picture->height);
    const QRect kept = m_trimLine.keptPart(box, m_trimLine.stored());
    if (kept.isEmpty())
        return false;
    const CanvasSnapshot before = snapshot();
    const bool cut = !clipCurrentBox(qint64(kept.x()) - box.x(), qint64(kept.y()) - box.y(),
                                     kept.width(), kept.height())
                          .isEmpty();
    recordEdit(tr("修剪图片"), before);
    return cut;
}
