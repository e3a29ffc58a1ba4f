// Keyboard, wheel and dropped-file input of the view, and the position text
// the status bar shows: the current picture's file, box and angle and the
// zoom, followed live while a handle or the middle button is dragged.
#include "CQznImgEdtJoinView.h"

#include "CImgJoinEngine.h"
#include "CViewCommands.h"
#include "CanvasMath.h"
#include "CommandIds.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

#include <cmath>
#include <optional>

namespace {

// One notch of an ordinary mouse wheel.
constexpr double WheelNotch = 120.0;
// Outlines of boxes larger than this (a picture zoomed or stretched far
// beyond the view) are left out rather than dashed along their whole length.
constexpr int LargestOutline = 1 << 20;

QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

struct Box
{
    qint64 x, y, width, height;
};

} // namespace

ZoomTarget CQznImgEdtJoinView::viewTarget() const
{
    return m_displayMode == DisplayMode::Output ? ZoomTarget::OutputPicture : ZoomTarget::Canvas;
}

bool CQznImgEdtJoinView::event(QEvent* event)
{
    // A key is looked up among the command keys after this: the commands
    // must be enabled as the canvas is now, whatever changed it.
    if (event->type() == QEvent::ShortcutOverride)
        updateActions();
    const bool handled = QWidget::event(event);
    switch (event->type()) {
        case QEvent::MouseMove: {
            const auto* move = static_cast<QMouseEvent*>(event);
            const bool handleDrag =
                (move->buttons() & Qt::LeftButton) && m_dragHandle != GrabHandle::None;
            const bool panDrag = m_panning && (move->buttons() & Qt::MiddleButton);
            m_liveDrag = handleDrag || panDrag;
            if (m_liveDrag) {
                m_ptLive = move->position().toPoint();
                reportPosition();
            }
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            m_liveDrag = false;
            reportPosition();
            break;
        case QEvent::KeyPress:
        case QEvent::Wheel:
        case QEvent::Drop: reportPosition(); break;
        default: break;
    }
    return handled;
}

void CQznImgEdtJoinView::wheelEvent(QWheelEvent* event)
{
    // A drag in progress keeps the view still: its start point is in view pixels.
    const bool handleHeld = m_dragHandle != GrabHandle::None && (event->buttons() & Qt::LeftButton);
    if (handleHeld || m_panning) {
        event->accept();
        return;
    }
    const QPoint angle = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        const int turn = angle.y() != 0 ? angle.y() : angle.x();
        if (turn != 0) {
            const QPoint at = event->position().toPoint();
            const double factor = std::pow(WheelZoomStep, turn / WheelNotch);
            if (m_engine.ZoomAbout(factor, at.x(), at.y(), viewTarget()))
                invalidate();
        }
        event->accept();
        return;
    }
    // Touch pads tell the distance in pixels; wheels in notches.
    QPoint step = event->pixelDelta();
    if (step.isNull())
        step = QPoint(qRound(angle.x() * WheelScrollStep / WheelNotch),
                      qRound(angle.y() * WheelScrollStep / WheelNotch));
    if ((event->modifiers() & Qt::ShiftModifier) && step.x() == 0)
        step = QPoint(step.y(), 0);
    if (step.isNull()) {
        event->ignore();
        return;
    }
    m_engine.ScrollView(step.x(), step.y(), viewTarget());
    invalidate();
    event->accept();
}

void CQznImgEdtJoinView::keyPressEvent(QKeyEvent* event)
{
    // The plain arrows and Delete normally arrive as the shortcuts of their
    // commands; they come here when no shortcut took them.
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    const bool shift = modifiers == Qt::ShiftModifier;
    const bool plain = modifiers == Qt::NoModifier;
    std::optional<ModifyCode> nudgeCode;
    switch (event->key()) {
        case Qt::Key_Up: nudgeCode = ModifyCode::NudgeUp; break;
        case Qt::Key_Down: nudgeCode = ModifyCode::NudgeDown; break;
        case Qt::Key_Left: nudgeCode = ModifyCode::NudgeLeft; break;
        case Qt::Key_Right: nudgeCode = ModifyCode::NudgeRight; break;
        case Qt::Key_Escape:
            if (plain && cancelDrag())
                return;
            if (plain && m_mouseMode != MouseMode::Idle) {
                rightPress(); // what the right button does
                return;
            }
            break;
        case Qt::Key_Delete:
            if (plain && m_commands->action(CommandId::DeletePicture)->isEnabled()) {
                m_commands->trigger(CommandId::DeletePicture);
                return;
            }
            break;
        default: break;
    }
    if (nudgeCode && (plain || shift)) {
        updateActions();
        // Allowed where the nudge buttons are.
        if (m_commands->action(CommandId::NudgeUp)->isEnabled()) {
            nudge(*nudgeCode, shift ? LongNudge : 1);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void CQznImgEdtJoinView::nudge(ModifyCode code, int steps)
{
    for (int i = 0; i < steps; ++i)
        m_engine.ModifyCurrentPicture(code);
    invalidate();
}

void CQznImgEdtJoinView::dragEnterEvent(QDragEnterEvent* event)
{
    if (localFiles(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void CQznImgEdtJoinView::dragMoveEvent(QDragMoveEvent* event)
{
    if (localFiles(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void CQznImgEdtJoinView::dropEvent(QDropEvent* event)
{
    const QStringList files = localFiles(event->mimeData());
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    dropFiles(files, event->position().toPoint());
}

void CQznImgEdtJoinView::dropFiles(const QStringList& files, const QPoint& at)
{
    QStringList unreadable;
    int overLimit = 0;
    int unused = 0;
    bool changed = false;
    QList<int> added; // canvas indices of the pictures added, and their files
    QStringList addedFiles;
    if (m_displayMode == DisplayMode::Output) {
        // The first readable file becomes the output picture.
        for (const QString& file : files) {
            if (changed)
                ++unused;
            else if (!m_engine.PictureReadError(file).isEmpty())
                unreadable.append(QFileInfo(file).fileName());
            else
                changed = m_engine.OpenOutputPicture(file);
        }
    } else {
        // The pixel under the drop point belongs to this canvas unit.
        const QPointF corner = m_engine.CanvasPointAt(QPointF(at));
        const int x = truncToInt(std::floor(corner.x()));
        const int y = truncToInt(std::floor(corner.y()));
        for (const QString& file : files) {
            if (m_engine.GetPictureCount() >= CImgJoinEngine::MaxPictures) {
                ++overLimit;
            } else if (!m_engine.PictureReadError(file).isEmpty()) {
                unreadable.append(QFileInfo(file).fileName());
            } else if (m_engine.addPlacedPicture(file, x, y)) {
                changed = true;
                added.append(m_engine.GetPictureCount() - 1);
                addedFiles.append(m_engine.picture(added.constLast()).file);
            }
        }
        if (changed) {
            m_engine.ClearTrimLine();
            m_wholeDrawing = false;
        }
    }
    QStringList refusals;
    if (!unreadable.isEmpty())
        refusals.append(tr("无法读取的图片文件未装入: %1").arg(unreadable.join(tr("、"))));
    if (overLimit > 0)
        refusals.append(tr("画布上最多只能有%1张图片，%2个文件未装入")
                            .arg(CImgJoinEngine::MaxPictures)
                            .arg(overLimit));
    if (unused > 0)
        refusals.append(tr("打印输出方式只显示一张图片，其余%1个文件未装入").arg(unused));
    if (!refusals.isEmpty())
        emit statusMessage(refusals.join(tr("；")));
    if (changed) {
        invalidate();
        updateActions();
    }
    // Pictures dropped together are often captures of one drawing. The
    // question waits until the drop has ended, so the program the files came
    // from is not kept waiting on the answer and the joining.
    if (added.size() >= 2)
        QTimer::singleShot(0, this,
                           [this, added, addedFiles] { offerAutoJoin(added, addedFiles); });
}

QString CQznImgEdtJoinView::positionText() const
{
    const bool output = m_displayMode == DisplayMode::Output;
    const double zoom = output ? double(m_engine.outputZoom()) : double(m_engine.canvasZoom());
    const QString zoomText = tr("缩放 %1%").arg(qRound(zoom * 100.0));
    if (output) {
        const QString file = QFileInfo(m_engine.GetOutputFile()).fileName();
        return file.isEmpty() ? zoomText : tr("打印输出图片 %1  %2").arg(file, zoomText);
    }
    if (m_engine.HasCurrentPicture() != 1 || m_engine.GetPictureCount() == 0)
        return zoomText;
    const JoinPicture& picture = m_engine.picture(m_engine.currentPicture());
    Box box{ picture.x, picture.y, picture.width, picture.height };
    if (m_liveDrag && m_preview == PreviewKind::Picture) {
        // The box the drag makes: the one the preview shows and the release
        // gives (a whole-drawing move leaves the box as it is).
        box = Box{ m_previewPicture.x, m_previewPicture.y, m_previewPicture.width,
                   m_previewPicture.height };
    }
    return tr("%1  x=%2 y=%3 宽=%4 高=%5  角度 %6°  %7")
        .arg(QFileInfo(picture.file).fileName())
        .arg(box.x)
        .arg(box.y)
        .arg(box.width)
        .arg(box.height)
        .arg(QString::number(double(picture.angle), 'f', 1))
        .arg(zoomText);
}

void CQznImgEdtJoinView::reportPosition()
{
    const QString text = positionText();
    if (text == m_positionText)
        return;
    m_positionText = text;
    emit positionChanged(text);
}

void CQznImgEdtJoinView::drawOutline(QPainter& painter) const
{
    if (m_displayMode == DisplayMode::Output || m_engine.HasCurrentPicture() != 1 ||
        m_engine.GetPictureCount() == 0)
        return;
    // A held drag outlines the place its release gives.
    const QRect box = m_preview != PreviewKind::None ? m_previewBox : m_engine.CurrentScreenBox();
    const float angle = m_preview == PreviewKind::Picture
                            ? m_previewPicture.angle
                            : m_engine.picture(m_engine.currentPicture()).angle;
    // Cut to just beyond the view when unturned: the edges that lie outside
    // stay unseen.
    const QRect shown = angle == 0.0f ? box & rect().adjusted(-2, -2, 2, 2) : box;
    if (shown.isEmpty() || shown.width() > LargestOutline || shown.height() > LargestOutline)
        return;
    painter.save();
    if (angle != 0.0f) {
        const QPointF centre = QRectF(box).center();
        painter.translate(centre);
        painter.rotate(double(angle));
        painter.translate(-centre);
        painter.setRenderHint(QPainter::Antialiasing);
    }
    // One pixel outside the box, so that no pixel of the picture is hidden:
    // a light line with dark dashes on it, seen on black and on white drawings.
    const QRectF outline = QRectF(shown).adjusted(-0.5, -0.5, 0.5, 0.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(outlineLight(), 1, Qt::SolidLine, Qt::FlatCap));
    painter.drawRect(outline);
    QPen dashes(outlineDark(), 1, Qt::CustomDashLine, Qt::FlatCap);
    dashes.setDashPattern({ 4, 4 });
    painter.setPen(dashes);
    painter.drawRect(outline);
    painter.restore();
}
