// Mouse input of the view: trim window and colour sample bands, grab-handle
// drags, trim line placement, the middle-button pan and the right-button
// cancel. Bands follow the mouse cheaply, and while the middle button or a
// handle is held the picture follows it too, drawn over the canvas composed
// without it; the engine's records change when the operation completes.
#include "CQznImgEdtJoinView.h"

#include "BkColorSample.h"
#include "CBkColorDlg.h"
#include "CImgJoinEngine.h"

#include <QMouseEvent>
#include <QTransform>

namespace {

QRect spanned(const QPoint& a, const QPoint& b)
{
    return QRect(QPoint(qMin(a.x(), b.x()), qMin(a.y(), b.y())),
                 QPoint(qMax(a.x(), b.x()) - 1, qMax(a.y(), b.y()) - 1));
}

bool isTrimLineMode(MouseMode mode)
{
    return trimModeFor(mode) != TrimMode::None;
}

// The view pixels a picture box turned by angle may cover, with its handles
// and outline around it.
QRect coveredArea(const QRect& box, float angle)
{
    if (box.isEmpty())
        return QRect();
    constexpr int Margin = 8; // handle squares reach six pixels past an edge
    QRect area = box;
    if (angle != 0.0f) {
        const QPointF centre = QRectF(box).center();
        QTransform turn;
        turn.translate(centre.x(), centre.y());
        turn.rotate(double(angle));
        turn.translate(-centre.x(), -centre.y());
        area = turn.mapRect(QRectF(box)).toAlignedRect();
    }
    return area.adjusted(-Margin, -Margin, Margin, Margin);
}

} // namespace

void CQznImgEdtJoinView::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    switch (event->button()) {
        case Qt::LeftButton: leftPress(p); break;
        case Qt::RightButton: rightPress(); break;
        case Qt::MiddleButton: middlePress(p); break;
        default: QWidget::mousePressEvent(event); break;
    }
}

void CQznImgEdtJoinView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        leftRelease(p);
    else if (event->button() == Qt::MiddleButton)
        middleRelease(p);
    else
        QWidget::mouseReleaseEvent(event);
}

void CQznImgEdtJoinView::mouseMoveEvent(QMouseEvent* event)
{
    mouseMoved(event->position().toPoint(), event->buttons());
}

void CQznImgEdtJoinView::leftPress(const QPoint& p)
{
    // Each step looks at the mode the step before left.
    m_dragHandle = GrabHandle::None;
    if (m_mouseMode == MouseMode::Idle) {
        m_dragHandle = m_engine.HitTestHandle(p.x(), p.y());
        if (m_dragHandle != GrabHandle::None) {
            m_ptStart = p;
            m_dragState = DragState::HandleArmed;
        }
    }
    if (m_mouseMode == MouseMode::TrimWindowBand)
        finishTrimWindow();
    if (m_mouseMode == MouseMode::SampleBand)
        finishSampleBand();
    if (m_mouseMode == MouseMode::TrimWindowArmed || m_mouseMode == MouseMode::SampleArmed) {
        m_ptStart = p;
        m_dragState = DragState::None;
        m_mouseMode = m_mouseMode == MouseMode::TrimWindowArmed ? MouseMode::TrimWindowBand
                                                                : MouseMode::SampleBand;
    }
    if (isTrimLineMode(m_mouseMode)) {
        m_engine.SetTrimLine(p.x(), p.y(), trimModeFor(m_mouseMode));
        m_mouseMode = MouseMode::Idle;
        invalidate();
        updateActions();
    }
}

void CQznImgEdtJoinView::finishTrimWindow()
{
    // A second press without a move in between trims nothing.
    if (m_dragState != DragState::None) {
        const QRect band = m_rcBand;
        m_dragState = DragState::None;
        repaintBand(band, QRect());
        m_engine.TrimByWindow(band.left(), band.top(), band.right() + 1, band.bottom() + 1,
                              m_displayMode);
        invalidate();
    }
    m_mouseMode = MouseMode::Idle;
    updateActions();
}

void CQznImgEdtJoinView::finishSampleBand()
{
    if (m_dragState != DragState::None) {
        m_dragState = DragState::None;
        repaintBand(m_rcBand, QRect());
        // Only one background-colour tool is open at a time.
        if (m_engine.BkColorDlgOpen(-1) != 1)
            openBackgroundTool(m_rcBand);
        invalidate();
    }
    m_mouseMode = MouseMode::Idle;
    updateActions();
}

void CQznImgEdtJoinView::openBackgroundTool(const QRect& band)
{
    if (band.isEmpty()) {
        emit statusMessage(tr("取色窗口没有宽度或高度, 请拖出一个窗口再单击"));
        return;
    }
    // The sample comes from the canvas as the view composed it, without the
    // band and the outline drawn over it.
    if (m_canvasDirty || m_canvas.size() != size())
        renderCanvas();
    const QRect clamped = BkColorSample::clampBand(band);
    auto* dialog = new CBkColorDlg(m_engine, BkColorSample(m_canvas, clamped), clamped, this);
    connect(dialog, &CBkColorDlg::pictureChanged, this, [this] {
        invalidate();
        updateActions();
    });
    connect(dialog, &QDialog::finished, this, [this] { updateActions(); });
    dialog->show();
}

void CQznImgEdtJoinView::leftRelease(const QPoint& p)
{
    if (m_dragHandle == GrabHandle::None)
        return;
    const bool bandShown = m_dragState == DragState::HandleBandShown;
    m_dragState = DragState::None;
    if (bandShown)
        repaintBand(m_rcHandleBand, QRect());
    endPreview();
    m_engine.StretchPicture(m_ptStart.x(), m_ptStart.y(), p.x(), p.y(), m_dragHandle);
    showIdleCursor();
    invalidate();
}

void CQznImgEdtJoinView::mouseMoved(const QPoint& p, Qt::MouseButtons buttons)
{
    if (buttons & Qt::MiddleButton) {
        setCursor(m_cursors.pan());
        if (m_panning)
            trackPreview(p);
        return;
    }
    if ((buttons & Qt::LeftButton) && m_dragHandle != GrabHandle::None) {
        trackHandleBand(p);
        return;
    }
    if (m_mouseMode == MouseMode::Idle)
        showIdleCursor();
    else if (m_mouseMode == MouseMode::TrimWindowArmed || m_mouseMode == MouseMode::SampleArmed)
        setCursor(m_cursors.band());
    else if (m_mouseMode == MouseMode::TrimWindowBand || m_mouseMode == MouseMode::SampleBand)
        trackBand(p);
    else if (isTrimLineMode(m_mouseMode))
        setCursor(m_cursors.trimLine());
}

void CQznImgEdtJoinView::trackHandleBand(const QPoint& p)
{
    // The band runs across the view, always HandleBandLength pixels long.
    const QRect before = handleBandVisible() ? m_rcHandleBand : QRect();
    if (m_dragHandle == GrabHandle::Top || m_dragHandle == GrabHandle::Bottom)
        m_rcHandleBand = QRect(QPoint(0, qMin(m_ptStart.y(), p.y())),
                               QPoint(HandleBandLength - 1, qMax(m_ptStart.y(), p.y()) - 1));
    else
        m_rcHandleBand = QRect(QPoint(qMin(m_ptStart.x(), p.x()), 0),
                               QPoint(qMax(m_ptStart.x(), p.x()) - 1, HandleBandLength - 1));
    m_dragState = DragState::HandleBandShown;
    repaintBand(before, m_rcHandleBand);
    setCursor(m_cursors.band());
    trackPreview(p);
}

void CQznImgEdtJoinView::trackBand(const QPoint& p)
{
    const QRect before = bandVisible() ? m_rcBand : QRect();
    m_rcBand = spanned(m_ptStart, p);
    m_dragState = DragState::BandShown;
    repaintBand(before, m_rcBand);
    setCursor(m_cursors.band());
}

void CQznImgEdtJoinView::rightPress()
{
    if (cancelDrag())
        return;
    if (m_mouseMode == MouseMode::Idle)
        return;
    setMouseMode(MouseMode::Idle);
    showIdleCursor();
}

void CQznImgEdtJoinView::middlePress(const QPoint& p)
{
    // Nothing moves while the button is held; the release pans.
    const QRect shown = bandVisible() ? m_rcBand : QRect();
    m_dragState = DragState::None;
    repaintBand(shown, QRect());
    m_panning = true;
    m_ptStart = p;
    setCursor(m_cursors.pan());
}

void CQznImgEdtJoinView::middleRelease(const QPoint& p)
{
    showIdleCursor();
    if (!m_panning)
        return;
    m_panning = false;
    endPreview();
    const QPoint d = p - m_ptStart;
    if (m_displayMode == DisplayMode::Output)
        m_engine.MoveOutputPicture(d.x(), d.y());
    else
        m_engine.MovePicture(d.x(), d.y(), m_wholeDrawing ? 1 : 0);
    invalidate();
}

void CQznImgEdtJoinView::setMouseMode(MouseMode mode)
{
    // Leaving a band mode takes its band off the screen.
    if (bandVisible())
        repaintBand(m_rcBand, QRect());
    m_mouseMode = mode;
}

void CQznImgEdtJoinView::showIdleCursor()
{
    if (m_wholeDrawing)
        setCursor(m_cursors.whole());
    else
        unsetCursor();
}

void CQznImgEdtJoinView::trackPreview(const QPoint& p)
{
    const QPoint d = p - m_ptStart;
    const bool output = m_displayMode == DisplayMode::Output;
    if (m_panning && (output || m_wholeDrawing)) {
        // Everything moves by view pixels: the kept canvas is shifted whole.
        m_preview = PreviewKind::Shift;
        m_previewShift = d;
        m_previewBox = output ? QRect() : m_engine.CurrentScreenBox().translated(d);
        update();
        return;
    }
    if (output)
        return;
    JoinPicture placed;
    const bool made = m_panning
                          ? m_engine.MovedCurrentPicture(d.x(), d.y(), placed)
                          : m_engine.StretchedCurrentPicture(m_ptStart.x(), m_ptStart.y(), p.x(),
                                                             p.y(), m_dragHandle, placed);
    if (!made)
        return;
    QRegion dirty;
    if (m_preview == PreviewKind::Picture) {
        dirty = previewArea();
    } else {
        // The first frame composes the canvas once more, without the picture
        // and its handles; later frames blit it.
        dirty = coveredArea(m_engine.CurrentScreenBox(),
                            m_engine.picture(m_engine.currentPicture()).angle);
        m_preview = PreviewKind::Picture;
        m_canvasDirty = true;
    }
    m_previewPicture = placed;
    m_previewBox = m_engine.ScreenBoxOf(placed);
    update(dirty + previewArea());
}

QRect CQznImgEdtJoinView::previewArea() const
{
    switch (m_preview) {
        case PreviewKind::Picture: return coveredArea(m_previewBox, m_previewPicture.angle);
        case PreviewKind::Shift: return rect();
        case PreviewKind::None: break;
    }
    return QRect();
}

void CQznImgEdtJoinView::endPreview()
{
    if (m_preview == PreviewKind::None)
        return;
    m_preview = PreviewKind::None;
    m_previewBox = QRect();
    m_previewShift = QPoint();
    invalidate();
}

bool CQznImgEdtJoinView::cancelDrag()
{
    if (m_panning) {
        m_panning = false;
    } else if (m_dragState == DragState::HandleArmed || m_dragState == DragState::HandleBandShown) {
        if (handleBandVisible())
            repaintBand(m_rcHandleBand, QRect());
        m_dragState = DragState::None;
        m_dragHandle = GrabHandle::None;
    } else {
        return false;
    }
    // The records were never touched: the canvas is shown as it was.
    m_liveDrag = false;
    endPreview();
    showIdleCursor();
    reportPosition();
    return true;
}
