// Canvas mapping and drawing of the canvas pictures and the output picture.
#include "CImgJoinEngine.h"

#include "CanvasMath.h"
#include "ImageCodec.h"
#include "PageLayout.h"
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
    QImage opaque = Rendition::opaque(decoded, size, angle, QRect(QPoint(), size));
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
    // In 64 bits: the widened box of a large picture reaches past the int range.
    const qint64 reach = angle == 0.0f ? 1 : (qint64(box.width()) + box.height()) / 2;
    return !clip.isEmpty() && qint64(box.left()) - reach <= clip.right() &&
           qint64(box.right()) + reach >= clip.left() &&
           qint64(box.top()) - reach <= clip.bottom() && qint64(box.bottom()) + reach >= clip.top();
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
    const bool trimming = m_trimLine.active();
    const int currentIndex = m_canvas.currentIndex();
    std::vector<Job> jobs;
    for (int i = 0; i < m_canvas.count(); ++i) {
        JoinPicture& picture = m_canvas.at(i);
        const QRect box = screenBox(picture);
        const Kind kind = i != currentIndex           ? Kind::Plain
                          : m_canvas.hotTransparent() ? Kind::ScreenDoor
                          : trimming                  ? Kind::Opaque
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
    m_canvas.setHotTransparent(flag == 1);
}

void CImgJoinEngine::SetClientRect(int left, int top, int right, int bottom)
{
    m_canvas.setClientRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

QPoint CImgJoinEngine::trimLineScreen() const
{
    return m_trimLine.screenPoint(m_canvas.zoom(), m_canvas.origin());
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
    const QRect whole(0, 0, saturateToInt(qint64(size.width()) + doorExtra), size.height());
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

void CImgJoinEngine::DrawPictures(QPainter& painter, DisplayMode viewMode)
{
    m_viewMode = viewMode;
    m_paint.reset();
    m_trimLine.beginPaint();
    if (m_canvas.isEmpty())
        return;

    const bool trimming = m_trimLine.active();
    const int currentIndex = m_canvas.currentIndex();
    prepareRenditions(clipBox(painter));
    int deferred = -1;
    for (int i = 0; i < m_canvas.count(); ++i) {
        if (i == m_skippedPicture)
            continue;
        if (m_canvas.hotTransparent() && i == currentIndex)
            deferred = i;
        else if (trimming && i == currentIndex)
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
    JoinPicture& picture = m_canvas.at(index);
    ImageCache::Entry entry = load(picture);
    box = screenBox(picture);
    if (withHandles)
        m_paint.setHandles(box);
    m_paint.addDrawn(box);
    return entry;
}

void CImgJoinEngine::DrawPicture(QPainter& painter, int index)
{
    const JoinPicture& picture = m_canvas.at(index);
    QRect box;
    const ImageCache::Entry entry = beginDraw(index, index == m_canvas.currentIndex(), box);
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
        painter.translate(box.topLeft() + QPoint(box.width() / 2, box.height() / 2));
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
    const JoinPicture& picture = m_canvas.at(index);
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
    const JoinPicture& picture = m_canvas.at(index);
    QRect box;
    const ImageCache::Entry entry = beginDraw(index, true, box);
    if (!entry.ok() || box.isEmpty())
        return;

    // The kept pixels: the box on the far side of the trim line, the line included.
    const QRect kept = m_trimLine.keptPart(box, trimLineScreen());
    m_trimLine.noteKept(box, kept);
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
    for (int i = 0; i < PaintRecord::HandleCount; ++i) {
        const QRect handle = m_paint.handle(i);
        if (handle.width() > 6)
            draw3dRect(painter, handle, HandleTopLeftColor, HandleBottomRightColor);
    }
}

void CImgJoinEngine::drawTrimLine(QPainter& painter)
{
    const QRect clip = clipBox(painter);
    const QPoint line = trimLineScreen();
    const bool horizontal = m_trimLine.horizontal();
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
    m_trimLine.noteShown(line);
}

void CImgJoinEngine::DrawOutputPicture(QPainter& painter)
{
    const QRect clip = clipBox(painter);
    if (clip.isEmpty())
        return;
    painter.fillRect(clip, colorRefToColor(WindowBackColor));
    const ImageCache::Entry entry = m_imageCache.get(m_output.file());
    if (!entry.ok()) {
        if (entry.decodedNow && !m_output.file().isEmpty())
            report(entry.error);
        return;
    }
    m_output.fitInto(clip, entry.image.size());
    const QRect box = m_output.screenBox(entry.image.size());
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
    // Paper stays white: a tinted page only costs toner.
    painter.fillRect(clip, Qt::white);
    const ImageCache::Entry entry = m_imageCache.get(m_output.file());
    if (!entry.ok()) {
        report(entry.error);
        return;
    }
    const QRect target =
        PageLayout::fitted(clip, entry.image.size(), PageLayout::Placement::TopLeft);
    if (target.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, entry.image);
    painter.restore();
}

void CImgJoinEngine::Zoom(ZoomCode code, ZoomTarget target)
{
    if (target == ZoomTarget::Canvas)
        m_canvas.zoomStep(code, m_paint.drawn());
    else
        m_output.zoomStep(code);
}

void CImgJoinEngine::ZoomAt(ZoomCode code, const QPoint& viewPoint)
{
    m_canvas.zoomAt(code, viewPoint, m_paint.drawn());
}

void CImgJoinEngine::MoveOutputPicture(int dx, int dy)
{
    m_output.move(dx, dy);
}

int CImgJoinEngine::FindImageEncoder(const QString& mimeType) const
{
    return ImageCodec::FindImageEncoder(mimeType);
}
