#include "CVideoPreview.h"

#include <QPainter>

CVideoPreview::CVideoPreview(QWidget* parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMinimumSize(339, 265);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
}

void CVideoPreview::showFrame(const QImage& frame)
{
    m_frame = frame;
    update();
}

void CVideoPreview::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_frame.isNull())
        return;
    QPainter painter(this);
    const QRect area = contentsRect();
    const QSize fitted = m_frame.size().scaled(area.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(), fitted);
    target.moveCenter(area.center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_frame);
}
