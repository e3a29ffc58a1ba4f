#include "CCMyColorSelDlg.h"

CCMyColorSelDlg::CCMyColorSelDlg(QWidget* parent)
    : QColorDialog(Qt::black, parent)
{
    // Qt's own dialog, so that it can be placed on every desktop.
    setOption(QColorDialog::DontUseNativeDialog);
}

void CCMyColorSelDlg::setPlacement(const QPoint& screenPoint, Placement placement)
{
    m_position = screenPoint;
    m_placement = placement;
}

void CCMyColorSelDlg::showEvent(QShowEvent* event)
{
    QColorDialog::showEvent(event);
    if (m_placement == Placement::BottomLeftAt)
        move(m_position.x(), m_position.y() - frameGeometry().height());
}
