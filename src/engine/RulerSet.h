#pragma once

#include "JoinCodes.h"
#include "RulerTable.h"

// The two ruler line tables, the scale both are laid out at, and the table
// the grid-line dialog has selected for editing (by its number; any other
// number selects none).
class RulerSet
{
public:
    static constexpr float DefaultScale = 0.1f;

    RulerSet();

    RulerTable& table(RulerTableId id) { return id == RulerTableId::Horizontal ? m_horz : m_vert; }
    const RulerTable& table(RulerTableId id) const
    {
        return id == RulerTableId::Horizontal ? m_horz : m_vert;
    }

    // Selects a table when id >= 0; returns the selection.
    int select(int id);
    RulerTable* selected();
    const RulerTable* selected() const;

    // A scale step. The factor is applied to the stored value and the result
    // stored back in single precision, so repeated steps accumulate rounding.
    float scaleStep(RulerScaleCode code);
    float scale() const { return m_scale; }
    // Puts back a scale a saved project held.
    void setScale(float scale) { m_scale = scale; }

private:
    RulerTable m_horz;
    RulerTable m_vert;
    int m_selected = 0;
    float m_scale = DefaultScale;
};
