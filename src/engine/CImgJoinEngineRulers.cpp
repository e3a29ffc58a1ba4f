#include "CImgJoinEngine.h"

#include <utility>

// Ruler line tables: the operations the ruler bars, the view and the
// grid-line dialog call. Operations that name a table act on 101 or 201 only;
// editing operations act on the table the grid-line dialog has selected.

namespace {

constexpr float DefaultRulerScale = 0.1f;

} // namespace

int CImgJoinEngine::GridTableTarget(int id)
{
    if (id >= 0)
        m_rulerTableSel = id;
    return m_rulerTableSel;
}

float CImgJoinEngine::ScaleRuler(RulerScaleCode code)
{
    // The factor is applied to the stored value and the result stored back
    // in single precision, so repeated zooming accumulates rounding.
    if (code == RulerScaleCode::Reset)
        m_rulerScale = DefaultRulerScale;
    else if (code == RulerScaleCode::Shrink)
        m_rulerScale = float(double(m_rulerScale) * 0.8);
    else if (code == RulerScaleCode::Grow)
        m_rulerScale = float(double(m_rulerScale) * 1.25);
    return m_rulerScale;
}

int CImgJoinEngine::LayoutRuler(RulerTableId table, int lo, int hi, int offset)
{
    RulerTable* ruler = rulerTableFor(table);
    return ruler ? ruler->layout(m_rulerScale, lo, hi, offset) : 0;
}

int CImgJoinEngine::GetRulerLineCount(RulerTableId table) const
{
    const RulerTable* ruler = rulerTable(table);
    return ruler ? ruler->lineCount() : 0;
}

int CImgJoinEngine::GetRulerLine(RulerTableId table, int i, int& tickLen, int& pos,
                                 ColorRef& colour, QString& name) const
{
    const RulerTable* ruler = rulerTable(table);
    return (ruler && ruler->line(i, tickLen, pos, colour, name)) ? 1 : 0;
}

int CImgJoinEngine::SumRulerSpacing(RulerTableId table, int from, int to) const
{
    const RulerTable* ruler = rulerTable(table);
    return ruler ? ruler->sumSpacing(from, to) : 0;
}

QString CImgJoinEngine::GetRulerCellText(int row, int col) const
{
    const RulerTable* ruler = selectedRulerTable();
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

const RulerTable* CImgJoinEngine::rulerTable(RulerTableId table) const
{
    return table == RulerTableId::Horizontal ? &m_horzRuler : &m_vertRuler;
}

const RulerTable* CImgJoinEngine::selectedRulerTable() const
{
    // The grid-line dialog selects a table by its number; any other number
    // selects none.
    if (m_rulerTableSel == codeValue(RulerTableId::Horizontal))
        return &m_horzRuler;
    if (m_rulerTableSel == codeValue(RulerTableId::Vertical))
        return &m_vertRuler;
    return nullptr;
}

RulerTable* CImgJoinEngine::selectedRulerTable()
{
    return const_cast<RulerTable*>(std::as_const(*this).selectedRulerTable());
}

RulerTable* CImgJoinEngine::rulerTableFor(RulerTableId table)
{
    return table == RulerTableId::Horizontal ? &m_horzRuler : &m_vertRuler;
}
