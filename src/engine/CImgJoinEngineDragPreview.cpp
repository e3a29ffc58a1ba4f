// What a drag would make of the current picture, and the drawing of a picture
// record at a place of its own, for the view's live feedback while a drag is
// held. The records change only when the drag is applied.
#include "CImgJoinEngine.h"

#include "CanvasMath.h"

#include <QPaintDevice>
#include <QPainter>

bool CImgJoinEngine::MovedCurrentPicture(int dx, int dy, JoinPicture& result) const
{
    if (!m_canvas.hasCurrent())
        return false;
    // The move itself, made on a copy of the canvas: the preview cannot
    // part from what the release does.
    Canvas moved = m_canvas;
    if (!m_busy)
        moved.move(dx, dy, false);
    result = moved.at(moved.currentIndex());
    return true;
}

bool CImgJoinEngine::StretchedCurrentPicture(int x0, int y0, int x1, int y1, GrabHandle handle,
                                             JoinPicture& result) const
{
    if (!m_canvas.hasCurrent())
        return false;
    result = m_canvas.at(m_canvas.currentIndex());
    if (m_busy)
        return true;
    // The edge moves by the canvas units the drag spans, so that it ends
    // under the mouse at any zoom; a shrinking drag keeps ten units, and a
    // box beyond the int range is not made. StretchPicture applies this box.
    const qint64 dx = m_canvas.canvasDistance(qint64(x1) - x0);
    const qint64 dy = m_canvas.canvasDistance(qint64(y1) - y0);
    qint64 x = result.x, y = result.y, width = result.width, height = result.height;
    switch (handle) {
        case GrabHandle::Left:
            x += dx;
            width -= dx;
            if (x0 < x1 && width < 10)
                width = 10;
            break;
        case GrabHandle::Right:
            width += dx;
            if (!(x0 < x1) && width < 10)
                width = 10;
            break;
        case GrabHandle::Top:
            y += dy;
            height -= dy;
            if (y0 < y1 && height < 10)
                height = 10;
            break;
        case GrabHandle::Bottom:
            height += dy;
            if (!(y0 < y1) && height < 10)
                height = 10;
            break;
        case GrabHandle::None: break;
    }
    if (!boxFits(x, y, width, height))
        return true;
    result.x = int(x);
    result.y = int(y);
    result.width = int(width);
    result.height = int(height);
    return true;
}

void CImgJoinEngine::DrawPicturesExcept(QPainter& painter, DisplayMode viewMode, int skipped)
{
    m_skippedPicture = skipped;
    DrawPictures(painter, viewMode);
    m_skippedPicture = -1;
}

void CImgJoinEngine::DrawPreviewPicture(QPainter& painter, const JoinPicture& placed)
{
    JoinPicture picture = placed;
    const ImageCache::Entry entry = load(picture);
    const QRect box = screenBox(picture);
    if (!entry.ok() || box.isEmpty())
        return;
    const QRect device(0, 0, painter.device()->width(), painter.device()->height());
    const QRect clip =
        painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect() & device : device;
    if (picture.angle == 0.0f && !box.intersects(clip))
        return;
    if (m_canvas.hotTransparent()) {
        // The same screen door the canvas shows the current picture through.
        const BoxImage door = boxImage(entry, RenditionCache::Kind::ScreenDoor, box.size(),
                                       picture.angle, clip.translated(-box.topLeft()));
        if (!door.image.isNull())
            painter.drawImage(box.topLeft() + door.offset, door.image);
        return;
    }
    if (m_trimLine.active()) {
        // While a trim line is set the current picture shows its kept part only.
        const QRect visible =
            (m_trimLine.keptPart(box, trimLineScreen()) & clip).translated(-box.topLeft());
        if (visible.isEmpty())
            return;
        const BoxImage opaque =
            boxImage(entry, RenditionCache::Kind::Opaque, box.size(), picture.angle, visible);
        if (!opaque.image.isNull())
            painter.drawImage(visible.translated(box.topLeft()), opaque.image,
                              visible.translated(-opaque.offset));
        return;
    }
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
