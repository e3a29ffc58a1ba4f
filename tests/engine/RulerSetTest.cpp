#include "RulerSet.h"

#include <gtest/gtest.h>

TEST(RulerSetTest, OnlyTheTwoTableNumbersSelectATable)
{
    RulerSet rulers;
    EXPECT_EQ(rulers.selected(), nullptr);
    EXPECT_EQ(rulers.select(codeValue(RulerTableId::Vertical)), 201);
    EXPECT_EQ(rulers.selected(), &rulers.table(RulerTableId::Vertical));
    EXPECT_EQ(rulers.select(-1), 201); // asks without changing
    rulers.select(codeValue(RulerTableId::Horizontal));
    EXPECT_EQ(rulers.selected(), &rulers.table(RulerTableId::Horizontal));
    rulers.select(102);
    EXPECT_EQ(rulers.selected(), nullptr);
    EXPECT_NE(&rulers.table(RulerTableId::Horizontal), &rulers.table(RulerTableId::Vertical));
}

TEST(RulerSetTest, ScaleStepsAccumulateInSinglePrecision)
{
    RulerSet rulers;
    EXPECT_FLOAT_EQ(rulers.scale(), 0.1f);
    EXPECT_FLOAT_EQ(rulers.scaleStep(RulerScaleCode::Grow), 0.125f);
    EXPECT_FLOAT_EQ(rulers.scaleStep(RulerScaleCode::Shrink), 0.1f);
    rulers.scaleStep(RulerScaleCode::Shrink);
    EXPECT_EQ(rulers.scaleStep(RulerScaleCode::Shrink), float(double(float(0.1 * 0.8)) * 0.8));
    EXPECT_EQ(rulers.scaleStep(RulerScaleCode::Reset), 0.1f);
}
