#include "CImgJoinEngine.h"

// Ruler line tables: the operations the ruler bars, the view and the
// grid-line dialog call. Operations that name a table act on 101 or 201 only;
// editing operations act on the table the grid-line dialog has selected.

namespace {

constexpr int ScaleReset = 0;
constexpr int ScaleShrink = 11;
constexpr int ScaleGrow = 99;
constexpr float DefaultRulerScale = 0.1f;

} // namespace

int CImgJoinEngine::GridTableTarget(int id)
{
    if (id >= 0)
        m_rulerTableSel = id;
    return m_rulerTableSel;
}

float CImgJoinEngine::ScaleRuler(int code)
{
    // The factor is applied to the stored value and the result stored back
    // in single precision, so repeated zooming accumulates rounding.
    if (code == ScaleReset)
        m_rulerScale = DefaultRulerScale;
    else if (code == ScaleShrink)
        m_rulerScale = float(double(m_rulerScale) * 0.8);
    else if (code == ScaleGrow)
        m_rulerScale = float(double(m_rulerScale) * 1.25);
    return m_rulerScale;
}

int CImgJoinEngine::LayoutRuler(int table, int lo, int hi, int offset)
{
    RulerTable* ruler = rulerTableFor(table);
    return ruler ? ruler->layout(m_rulerScale, lo, hi, offset) : 0;
}

int CImgJoinEngine::GetRulerLineCount(int table) const
{
    const RulerTable* ruler = rulerTable(table);
    return ruler ? ruler->lineCount() : 0;
}

int CImgJoinEngine::GetRulerLine(int table, int i, int& tickLen, int& pos, ColorRef& colour,
                                 QString& name) const
{
    const RulerTable* ruler = rulerTable(table);
    return (ruler && ruler->line(i, tickLen, pos, colour, name)) ? 1 : 0;
}

int CImgJoinEngine::SumRulerSpacing(int table, int from, int to) const
{
    const RulerTable* ruler = rulerTable(table);
    return ruler ? ruler->sumSpacing(from, to) : 0;
}

QString CImgJoinEngine::GetRulerCellText(int row, int col) const
{
    const RulerTable* ruler = rulerTable(m_rulerTableSel);
    return ruler ? ruler->cellText(row, col) : QString();
}

void CImgJoinEngine::SetRulerCell(int row, int col, const QString& text)
{
    if (RulerTable* ruler = selectedRulerTable())
        ruler->setCell(row, col, text);
}

void CImgJoinEngine::SetRulerSpacingAll(int spacing)
{
    if (RulerTable* ruler = selectedRulerTable())
        ruler->setSpacingAll(spacing);
}

void CImgJoinEngine::RecolourRulerLines()
{
    if (RulerTable* ruler = selectedRulerTable())
        ruler->recolour();
}

void CImgJoinEngine::InsertDeleteRulerRow(int op, int row)
{
    if (RulerTable* ruler = selectedRulerTable())
        ruler->insertDeleteRow(op, row);
}

const RulerTable* CImgJoinEngine::rulerTable(int table) const
{
    if (table == RULER_HORZ)
        return &m_horzRuler;
    if (table == RULER_VERT)
        return &m_vertRuler;
    return nullptr;
}

RulerTable* CImgJoinEngine::selectedRulerTable()
{
    return rulerTableFor(m_rulerTableSel);
}

RulerTable* CImgJoinEngine::rulerTableFor(int table)
{
    if (table == RULER_HORZ)
        return &m_horzRuler;
    if (table == RULER_VERT)
        return &m_vertRuler;
    return nullptr;
}
