#include "RulerSet.h"

#include <utility>

RulerSet::RulerSet()
    : m_horz(RulerTable::Naming::Numbers)
    , m_vert(RulerTable::Naming::Letters)
{
}

int RulerSet::select(int id)
{
    if (id >= 0)
        m_selected = id;
    return m_selected;
}

const RulerTable* RulerSet::selected() const
{
    if (m_selected == codeValue(RulerTableId::Horizontal))
        return &m_horz;
    if (m_selected == codeValue(RulerTableId::Vertical))
        return &m_vert;
    return nullptr;
}

RulerTable* RulerSet::selected()
{
    return const_cast<RulerTable*>(std::as_const(*this).selected());
}

float RulerSet::scaleStep(RulerScaleCode code)
{
    switch (code) {
        case RulerScaleCode::Reset: m_scale = DefaultScale; break;
        case RulerScaleCode::Shrink: m_scale = float(double(m_scale) * 0.8); break;
        case RulerScaleCode::Grow: m_scale = float(double(m_scale) * 1.25); break;
    }
    return m_scale;
}
