#include "JoinCodes.h"

#include <gtest/gtest.h>

#include <type_traits>

// A plain number, or a code of another family, is not a code.
static_assert(!std::is_convertible_v<int, ModifyCode>);
static_assert(!std::is_convertible_v<int, ZoomCode>);
static_assert(!std::is_convertible_v<LayerCode, ModifyCode>);
static_assert(!std::is_convertible_v<MouseMode, TrimMode>);
static_assert(!std::is_convertible_v<FilterCode, OutputJob>);

TEST(JoinCodes, TrimLineMouseModesPlaceTheTrimLineOfTheirDirection)
{
    EXPECT_EQ(trimModeFor(MouseMode::TrimLineUp), TrimMode::FromBelow);
    EXPECT_EQ(trimModeFor(MouseMode::TrimLineDown), TrimMode::FromAbove);
    EXPECT_EQ(trimModeFor(MouseMode::TrimLineLeft), TrimMode::FromRight);
    EXPECT_EQ(trimModeFor(MouseMode::TrimLineRight), TrimMode::FromLeft);
    for (MouseMode other : { MouseMode::Idle, MouseMode::TrimWindowArmed, MouseMode::TrimWindowBand,
                             MouseMode::SampleArmed, MouseMode::SampleBand })
        EXPECT_EQ(trimModeFor(other), TrimMode::None);
}

TEST(JoinCodes, NumbersOnTheCommandLineFindTheirCodesAndNothingElse)
{
    // The batch tool's users type these numbers.
    EXPECT_EQ(codeFromValue(AllFilterCodes, 100), FilterCode::RemoveBlue);
    EXPECT_EQ(codeFromValue(AllFilterCodes, 202), FilterCode::Posterise);
    EXPECT_EQ(codeFromValue(AllFilterCodes, 301), FilterCode::ReplaceBackground);
    EXPECT_EQ(codeFromValue(AllOutputJobs, 99), OutputJob::WhiteBackColour);
    EXPECT_EQ(codeFromValue(AllOutputJobs, 109), OutputJob::CadGrey2);
    for (int wrong : { 0, -1, 104, 200, 302, 9966 })
        EXPECT_FALSE(codeFromValue(AllFilterCodes, wrong)) << wrong;
    for (int wrong : { 0, 98, 102, 110 })
        EXPECT_FALSE(codeFromValue(AllOutputJobs, wrong)) << wrong;
}
