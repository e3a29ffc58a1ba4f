// Canvas mapping and drawing of the canvas pictures and the output picture.
#include "CImgJoinEngine.h"

#include "CanvasMath.h"
#include "ImageCodec.h"
#include "ParallelFor.h"
#include "Rendition.h"

#include <QPaintDevice>
#include <QPainter>

#include <vector>

namespace {

// Boxes up to this many pixels are rendered whole and kept in the rendition
// cache; larger ones (strong enlargements) are rendered for the visible part.
constexpr qint64 WholeBoxLimit = qint64(16) * 1024 * 1024;

QRect clipBox(const QPainter& painter)
{
    const QRect device(0, 0, painter.device()->width(), painter.device()->height());
    if (!painter.hasClipping())
        return device;
    return painter.clipBoundingRect().toAlignedRect() & device;
}

void fillSolid(QPainter& painter, int x, int y, int w, int h, ColorRef colour)
{
    if (w > 0 && h > 0)
        painter.fillRect(QRect(x, y, w, h), colorRefToColor(colour));
}

// A 3D frame: top and left edges in one colour, right and bottom edges in the
// other, the bottom-right corner pixel belonging to the second colour.
void draw3dRect(QPainter& painter, const QRect& r, ColorRef topLeft, ColorRef bottomRight)
{
    const int x = r.x(), y = r.y(), cx = r.width(), cy = r.height();
    fillSolid(painter, x, y, cx - 1, 1, topLeft);
    fillSolid(painter, x, y, 1, cy - 1, topLeft);
    fillSolid(painter, x + cx - 1, y, 1, cy, bottomRight);
    fillSolid(painter, x, y + cy - 1, cx, 1, bottomRight);
}

QImage wholeRendition(const QImage& decoded, RenditionCache::Kind kind, const QSize& size,
                      float angle)
{
    if (kind == RenditionCache::Kind::Plain)
        return Rendition::scaled(decoded, size);
    const QImage opaque = Rendition::opaque(decoded, size, angle, QRect(QPoint(), size));
    if (kind == RenditionCache::Kind::Opaque)
        return opaque;
    return Rendition::screenDoor(opaque, 0, 0, 0, size.width() + 1);
}

bool cacheable(const QSize& size)
{
    return qint64(size.width()) * size.height() <= WholeBoxLimit;
}

// Whether a picture box, turned about its centre, may reach into the clip box.
bool mayShow(const QRect& box, float angle, const QRect& clip)
{
    const int reach = angle == 0.0f ? 1 : (box.width() + box.height()) / 2;
    return box.adjusted(-reach, -reach, reach, reach).intersects(clip);
}

} // namespace

void CImgJoinEngine::prepareRenditions(const QRect& clip)
{
    using Kind = RenditionCache::Kind;
    struct Job
    {
        RenditionCache::Key key;
        QImage decoded;
        QImage result;
    };
    const bool trimming = m_trimMode >= TrimFromBelow && m_trimMode <= TrimFromLeft;
    std::vector<Job> jobs;
    for (int i = 0; i < m_pictures.size(); ++i) {
        JoinPicture& picture = m_pictures[i];
        const QRect box = screenBox(picture);
        const Kind kind = i != m_currentPicture ? Kind::Plain
                          : m_hotTransparent    ? Kind::ScreenDoor
                          : trimming            ? Kind::Opaque
                                                : Kind::Plain;
        if (box.isEmpty() || !cacheable(box.size()) || !mayShow(box, picture.angle, clip))
            continue;
        const ImageCache::Entry entry = load(picture);
        if (!entry.ok())
            continue;
        const RenditionCache::Key key{ entry.serial, kind, box.width(), box.height(),
                                       kind == Kind::Plain ? 0.0f : picture.angle };
        if (m_renditionCache.find(key).isNull())
            jobs.push_back(Job{ key, entry.image, {} });
    }
    if (jobs.size() < 2)
        return; // one picture is made where it is drawn
    parallelFor(int(jobs.size()), [&jobs](int j) {
        Job& job = jobs[std::size_t(j)];
        job.result = wholeRendition(job.decoded, job.key.kind, QSize(job.key.width, job.key.height),
                                    job.key.angle);
    });
    for (const Job& job : jobs)
        m_renditionCache.insert(job.key, job.result);
}

void CImgJoinEngine::SetHotTransparent(int flag)
{
    m_hotTransparent = flag == 1;
}

void CImgJoinEngine::SetClientRect(int left, int top, int right, int bottom)
{
    m_clientRect = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRect CImgJoinEngine::screenBox(const JoinPicture& picture) const
{
    return QRect(truncToInt(float(picture.x) * m_zoom) + m_originX,
                 truncToInt(float(picture.y) * m_zoom) + m_originY,
                 truncToInt(float(picture.width) * m_zoom),
                 truncToInt(float(picture.height) * m_zoom));
}

QPoint CImgJoinEngine::trimLineScreen() const
{
    return QPoint(truncToInt(float(m_trimX) / m_zoom) + m_originX,
                  truncToInt(float(m_trimY) / m_zoom) + m_originY);
}

void CImgJoinEngine::setHandles(const QRect& box)
{
    const int x = box.x(), y = box.y(), w = box.width(), h = box.height();
    const auto square = [](int cx, int cy) { return QRect(cx - 6, cy - 6, 12, 12); };
    m_handles[0] = square(x, y + h / 2);
    m_handles[1] = square(x + w, y + h / 2);
    m_handles[2] = square(x + w / 2, y);
    m_handles[3] = square(x + w / 2, y + h);
}

void CImgJoinEngine::addDrawn(const QRect& box)
{
    // Kept as edges, so that empty boxes still widen the bounds.
    if (!m_drawnValid) {
        m_drawnRect = QRect(box.topLeft(), QSize(box.width(), box.height()));
        m_drawnValid = true;
        return;
    }
    const int left = qMin(m_drawnRect.x(), box.x());
    const int top = qMin(m_drawnRect.y(), box.y());
    const int right = qMax(m_drawnRect.x() + m_drawnRect.width(), box.x() + box.width());
    const int bottom = qMax(m_drawnRect.y() + m_drawnRect.height(), box.y() + box.height());
    m_drawnRect = QRect(left, top, right - left, bottom - top);
}

ImageCache::Entry CImgJoinEngine::load(JoinPicture& picture)
{
    ImageCache::Entry entry = m_imageCache.get(picture.file);
    if (!entry.ok()) {
        if (entry.decodedNow)
            report(entry.error);
        return entry;
    }
    if (!picture.measured()) {
        picture.width = entry.image.width();
        picture.height = entry.image.height();
        picture.state = JoinPicture::Measured;
    }
    return entry;
}

CImgJoinEngine::BoxImage CImgJoinEngine::boxImage(const ImageCache::Entry& entry,
                                                  RenditionCache::Kind kind, const QSize& size,
                                                  float angle, const QRect& visible)
{
    using Kind = RenditionCache::Kind;
    const int doorExtra = kind == Kind::ScreenDoor ? 1 : 0;
    const QRect whole(0, 0, size.width() + doorExtra, size.height());
    if (cacheable(size)) {
        const RenditionCache::Key key{ entry.serial, kind, size.width(), size.height(),
                                       kind == Kind::Plain ? 0.0f : angle };
        QImage image = m_renditionCache.find(key);
        if (image.isNull()) {
            image = wholeRendition(entry.image, kind, size, angle);
            m_renditionCache.insert(key, image);
        }
        return BoxImage{ image, QPoint(0, 0) };
    }
    const QRect part = visible & whole;
    if (part.isEmpty() || kind == Kind::Plain)
        return {};
    if (kind == Kind::Opaque)
        return BoxImage{ Rendition::opaque(entry.image, size, angle, part), part.topLeft() };
    const int shift = part.x() > 0 ? 1 : 0;
    const QRect source = part.adjusted(-shift, 0, 0, 0) & QRect(QPoint(), size);
    const QImage opaquePart = Rendition::opaque(entry.image, size, angle, source);
    return BoxImage{ Rendition::screenDoor(opaquePart, part.x(), part.y(), shift, part.width()),
                     part.topLeft() };
}

void CImgJoinEngine::DrawPictures(QPainter& painter, int viewMode)
{
    m_viewMode = viewMode;
    for (QRect& handle : m_handles)
        handle = QRect();
    m_trimKept = QRect();
    m_trimCut = false;
    m_trimShown = false;
    m_drawnValid = false;
    m_drawnRect = QRect();
    if (m_pictures.isEmpty())
        return;

    const bool trimming = m_trimMode >= TrimFromBelow && m_trimMode <= TrimFromLeft;
    prepareRenditions(clipBox(painter));
    int deferred = -1;
    for (int i = 0; i < m_pictures.size(); ++i) {
        if (m_hotTransparent && i == m_currentPicture)
            deferred = i;
        else if (trimming && i == m_currentPicture)
            DrawPictureTrimmed(painter, i);
        else
            DrawPicture(painter, i);
    }
    if (deferred >= 0)
        DrawPictureTransparent(painter, deferred);
    drawHandles(painter);
    if (trimming)
        drawTrimLine(painter);
}

ImageCache::Entry CImgJoinEngine::beginDraw(int index, bool withHandles, QRect& box)
{
    // Loading measures a new picture, so the box comes after it.
    JoinPicture& picture = m_pictures[index];
    const ImageCache::Entry entry = load(picture);
    box = screenBox(picture);
    if (withHandles)
        setHandles(box);
    addDrawn(box);
    return entry;
}

void CImgJoinEngine::DrawPicture(QPainter& painter, int index)
{
    const JoinPicture& picture = m_pictures.at(index);
    QRect box;
    const ImageCache::Entry entry = beginDraw(index, index == m_currentPicture, box);
    if (!entry.ok() || box.isEmpty())
        return;

    if (!mayShow(box, picture.angle, clipBox(painter)))
        return;
    const BoxImage plain =
        boxImage(entry, RenditionCache::Kind::Plain, box.size(), picture.angle, QRect());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QRect target(box.topLeft(), box.size());
    if (picture.angle != 0.0f) {
        painter.translate(box.x() + box.width() / 2, box.y() + box.height() / 2);
        painter.rotate(picture.angle);
        target.moveTopLeft(QPoint(-box.width() / 2, -box.height() / 2));
    }
    if (plain.image.isNull())
        painter.drawImage(target, entry.image);
    else if (picture.angle == 0.0f)
        painter.drawImage(target.topLeft(), plain.image);
    else
        painter.drawImage(target, plain.image);
    painter.restore();
}

void CImgJoinEngine::DrawPictureTransparent(QPainter& painter, int index)
{
    const JoinPicture& picture = m_pictures.at(index);
    QRect box;
    const ImageCache::Entry entry = beginDraw(index, true, box);
    if (!entry.ok() || box.isEmpty())
        return;
    const QRect visible = clipBox(painter).translated(-box.topLeft());
    const BoxImage door =
        boxImage(entry, RenditionCache::Kind::ScreenDoor, box.size(), picture.angle, visible);
    if (!door.image.isNull())
        painter.drawImage(box.topLeft() + door.offset, door.image);
}

void CImgJoinEngine::DrawPictureTrimmed(QPainter& painter, int index)
{
    const JoinPicture& picture = m_pictures.at(index);
    QRect box;
    const ImageCache::Entry entry = beginDraw(index, true, box);
    if (!entry.ok() || box.isEmpty())
        return;

    // The kept pixels: the box on the far side of the trim line, the line included.
    const QPoint line = trimLineScreen();
    QRect kept = box;
    switch (m_trimMode) {
        case TrimFromBelow: kept.setTop(qMax(box.top(), line.y())); break;
        case TrimFromAbove: kept.setBottom(qMin(box.bottom(), line.y())); break;
        case TrimFromRight: kept.setLeft(qMax(box.left(), line.x())); break;
        case TrimFromLeft: kept.setRight(qMin(box.right(), line.x())); break;
    }
    if (kept.isEmpty())
        kept = QRect();
    m_trimCut = kept != box;
    m_trimKept = kept;
    if (kept.isEmpty())
        return;

    const QRect visible = (kept & clipBox(painter)).translated(-box.topLeft());
    if (visible.isEmpty())
        return;
    const BoxImage opaque =
        boxImage(entry, RenditionCache::Kind::Opaque, box.size(), picture.angle, visible);
    if (opaque.image.isNull())
        return;
    painter.drawImage(visible.translated(box.topLeft()), opaque.image,
                      visible.translated(-opaque.offset));
}

void CImgJoinEngine::drawHandles(QPainter& painter) const
{
    for (const QRect& handle : m_handles) {
        if (handle.width() > 6)
            draw3dRect(painter, handle, HandleTopLeftColor, HandleBottomRightColor);
    }
}

void CImgJoinEngine::drawTrimLine(QPainter& painter)
{
    const QRect clip = clipBox(painter);
    const QPoint line = trimLineScreen();
    const bool horizontal = m_trimMode == TrimFromBelow || m_trimMode == TrimFromAbove;
    const int length = horizontal ? clip.width() : clip.height();
    if (length > 0) {
        // Dots alternate from the clip box's first pixel on.
        QImage dots(horizontal ? length : 1, horizontal ? 1 : length, QImage::Format_RGB32);
        auto* pixels = reinterpret_cast<QRgb*>(dots.bits());
        for (int i = 0; i < length; ++i)
            pixels[i] = colorRefToRgb((i % 2) == 0 ? TrimDotColorA : TrimDotColorB);
        if (horizontal)
            painter.drawImage(QPoint(clip.left(), line.y()), dots);
        else
            painter.drawImage(QPoint(line.x(), clip.top()), dots);
    }
    m_trimShownAt = line;
    m_trimShown = true;
}

void CImgJoinEngine::DrawOutputPicture(QPainter& painter)
{
    const QRect clip = clipBox(painter);
    if (clip.isEmpty())
        return;
    painter.fillRect(clip, colorRefToColor(WindowBackColor));
    const ImageCache::Entry entry = m_imageCache.get(m_outputFile);
    if (!entry.ok()) {
        if (entry.decodedNow && !m_outputFile.isEmpty())
            report(entry.error);
        return;
    }
    const int w = entry.image.width(), h = entry.image.height();
    if (m_outputFit == 0 && clip.width() > 300) {
        const double sx = w != 0 ? double(clip.width()) / w : 1.0;
        const double sy = h != 0 ? double(clip.height()) / h : 1.0;
        m_outputZoom = float(sy < sx ? sy : sx);
        m_outputX = clip.left();
        m_outputY = clip.top();
        m_outputFit = 111;
    }
    const QRect box(m_outputX, m_outputY, truncToInt(w * m_outputZoom),
                    truncToInt(h * m_outputZoom));
    if (box.isEmpty() || !box.intersects(clip))
        return;
    const BoxImage plain = boxImage(entry, RenditionCache::Kind::Plain, box.size(), 0.0f, QRect());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (plain.image.isNull())
        painter.drawImage(box, entry.image);
    else
        painter.drawImage(box.topLeft(), plain.image);
    painter.restore();
}

void CImgJoinEngine::PrintOutputPicture(QPainter& painter)
{
    const QRect clip = clipBox(painter);
    if (clip.isEmpty())
        return;
    painter.fillRect(clip, colorRefToColor(WindowBackColor));
    const int mx = qMax(clip.width() / 16, 80);
    const int my = qMax(clip.height() / 16, 80);
    const ImageCache::Entry entry = m_imageCache.get(m_outputFile);
    if (!entry.ok()) {
        report(entry.error);
        return;
    }
    const int w = entry.image.width(), h = entry.image.height();
    const double sx = w != 0 ? double(clip.width() - 2 * mx) / w : 1.0;
    const double sy = h != 0 ? double(clip.height() - 2 * my) / h : 1.0;
    const double s = sy < sx ? sy : sx;
    const QRect target(clip.left() + mx, clip.top() + my, truncToInt(w * s), truncToInt(h * s));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, entry.image);
    painter.restore();
}

void CImgJoinEngine::Zoom(int code, int target)
{
    const bool canvas = target == 1;
    float& zoom = canvas ? m_zoom : m_outputZoom;
    switch (code) {
        case 10: zoom = float(double(zoom) * 1.1); break;
        case 11: zoom = float(double(zoom) * 0.9090909090909091); break;
        case 66:
            zoom = 1.0f;
            if (canvas)
                m_originX = m_originY = 0;
            break;
        case 99:
            if (canvas)
                fitCanvas();
            else
                m_outputFit = 0;
            break;
        default: break;
    }
}

void CImgJoinEngine::fitCanvas()
{
    const int dw = m_drawnRect.width(), dh = m_drawnRect.height();
    const int cw = m_clientRect.width(), ch = m_clientRect.height();
    double s = dw > 0 ? double(cw) / dw : 1.0;
    if (dh > 0 && double(ch) / dh < s)
        s = double(ch) / dh;
    m_zoom = float(s);
    m_originX = m_originY = 0;
}

void CImgJoinEngine::MoveOutputPicture(int dx, int dy)
{
    m_outputX += dx;
    m_outputY += dy;
}

int CImgJoinEngine::FindImageEncoder(const QString& mimeType) const
{
    return ImageCodec::FindImageEncoder(mimeType);
}
