#include "CALXGridRowHeader.h"

#include <QPainter>
#include <QStyleOptionHeader>

CALXGridRowHeader::CALXGridRowHeader(QWidget* parent)
    : QHeaderView(Qt::Vertical, parent)
{
    setSectionsClickable(false);
    setHighlightSections(false);
}

void CALXGridRowHeader::SetCurrentRow(int row)
{
    if (row == m_currentRow)
        return;
    m_currentRow = row;
    viewport()->update();
}

void CALXGridRowHeader::SetMarkerAtRight(bool atRight)
{
    m_markerAtRight = atRight;
    viewport()->update();
}

void CALXGridRowHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.position = QStyleOptionHeader::Middle;
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);

    painter->save();
    painter->setPen(palette().color(QPalette::ButtonText));
    const QRect textBox = rect.adjusted(0, 0, -11, 0);
    painter->drawText(textBox, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                      QString::number(logicalIndex + 1));
    if (logicalIndex == m_currentRow) {
        // A right-pointing triangle, 4 pixels wide and 8 high.
        const int x = m_markerAtRight ? rect.right() - 8 : rect.center().x() - 2;
        const int y = rect.center().y() - 4;
        const QPoint corners[] = { { x, y }, { x + 4, y + 4 }, { x, y + 8 } };
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(Qt::NoPen);
        painter->setBrush(palette().color(QPalette::WindowText));
        painter->drawPolygon(corners, 3);
    }
    painter->restore();
}
