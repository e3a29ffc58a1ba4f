// Cutting the current picture (or the output picture) by a window or a trim line.
#include "CImgJoinEngine.h"

#include "CanvasMath.h"
#include "ImageCodec.h"
#include "Rendition.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

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
    const float zoom = m_output.zoom();
    const QPoint at = m_output.position();
    const int width = truncToInt(float(qint64(right) - left) / zoom);
    const int height = truncToInt(float(qint64(bottom) - top) / zoom);
    const ImageCache::Entry entry = m_imageCache.get(m_output.file());
    if (!entry.ok()) {
        report(entry.error);
        return false;
    }
    if (width <= 0 || height <= 0) {
        report(tr("修剪窗口太小"));
        return false;
    }
    QImage cut(width, height, QImage::Format_ARGB32_Premultiplied);
    cut.fill(Qt::transparent);
    QPainter painter(&cut);
    painter.drawImage(QPoint(truncToInt(float(qint64(at.x()) - left) / zoom),
                             truncToInt(float(qint64(at.y()) - top) / zoom)),
                      entry.image);
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
    const float zoom = m_canvas.zoom();
    const QPoint origin = m_canvas.origin();
    const int cw = truncToInt(float(qint64(right) - left) / zoom);
    const int ch = truncToInt(float(qint64(bottom) - top) / zoom);
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
    const qint64 boxX = qint64(truncToInt(float(picture->x) * zoom)) + origin.x();
    const qint64 boxY = qint64(truncToInt(float(picture->y) * zoom)) + origin.y();
    const qint64 n = truncToInt(float(left - boxX) / zoom);
    const qint64 o = truncToInt(float(top - boxY) / zoom);
    if (!boxFits(picture->x + n, picture->y + o, cw, ch) || !boxFits(-n, -o, 0, 0)) {
        report(tr("修剪窗口超出了画布坐标的范围"));
        return {};
    }

    QImage cut(cw, ch, QImage::Format_ARGB32_Premultiplied);
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
    picture->width = cw;
    picture->height = ch;
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
    // The kept box holds exactly the pixels the last paint showed.
    const QRect kept = m_trimLine.kept();
    if (kept.width() < 10 || kept.height() < 10)
        return false;
    // A kept box never reaches past the int range: it is part of a screen box.
    return !ClipCurrentPicture(kept.x(), kept.y(), saturateToInt(qint64(kept.x()) + kept.width()),
                               saturateToInt(qint64(kept.y()) + kept.height()))
                .isEmpty();
}
