#include "CImgJoinEngine.h"

// Ruler line tables: the operations the ruler bars, the view and the
// grid-line dialog call. Operations that name a table act on 101 or 201 only;
// editing operations act on the table the grid-line dialog has selected.

int CImgJoinEngine::GridTableTarget(int id)
{
    return m_rulers.select(id);
}

float CImgJoinEngine::ScaleRuler(RulerScaleCode code)
{
    return m_rulers.scaleStep(code);
}

int CImgJoinEngine::LayoutRuler(RulerTableId table, int lo, int hi, int offset)
{
    return m_rulers.table(table).layout(m_rulers.scale(), lo, hi, offset);
}

int CImgJoinEngine::GetRulerLineCount(RulerTableId table) const
{
    return m_rulers.table(table).lineCount();
}

int CImgJoinEngine::GetRulerLine(RulerTableId table, int i, int& tickLen, int& pos,
                                 ColorRef& colour, QString& name) const
{
    return m_rulers.table(table).line(i, tickLen, pos, colour, name) ? 1 : 0;
}

int CImgJoinEngine::SumRulerSpacing(RulerTableId table, int from, int to) const
{
    return m_rulers.table(table).sumSpacing(from, to);
}

QString CImgJoinEngine::GetRulerCellText(int row, int col) const
{
    const RulerTable* ruler = m_rulers.selected();
    return ruler ? ruler->cellText(row, col) : QString();
}

void CImgJoinEngine::SetRulerCell(int row, int col, const QString& text)
{
    if (RulerTable* ruler = m_rulers.selected())
        ruler->setCell(row, col, text);
}

void CImgJoinEngine::SetRulerSpacingAll(int spacing)
{
    if (RulerTable* ruler = m_rulers.selected())
        ruler->setSpacingAll(spacing);
}

void CImgJoinEngine::RecolourRulerLines()
{
    if (RulerTable* ruler = m_rulers.selected())
        ruler->recolour();
}

void CImgJoinEngine::InsertDeleteRulerRow(int op, int row)
{
    if (RulerTable* ruler = m_rulers.selected())
        ruler->insertDeleteRow(op, row);
}

const RulerTable* CImgJoinEngine::rulerTable(RulerTableId table) const
{
    return &m_rulers.table(table);
}
