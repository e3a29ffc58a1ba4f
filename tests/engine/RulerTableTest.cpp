#include "CImgJoinEngine.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr RulerTableId Horz = RulerTableId::Horizontal;
constexpr RulerTableId Vert = RulerTableId::Vertical;
constexpr int LastRow = RulerTable::RULER_ROWS - 1;

struct Line
{
    int result = -1, tick = -1, pos = -1;
    ColorRef colour = 1;
    QString name = QStringLiteral("untouched");
};

Line lineOf(const CImgJoinEngine& engine, RulerTableId table, int i)
{
    Line l;
    l.result = engine.GetRulerLine(table, i, l.tick, l.pos, l.colour, l.name);
    return l;
}

std::vector<RulerLine> rowsOf(const RulerTable& table)
{
    std::vector<RulerLine> rows;
    rows.reserve(RulerTable::RULER_ROWS);
    for (int n = 0; n < RulerTable::RULER_ROWS; ++n)
        rows.push_back(table.row(n));
    return rows;
}

} // namespace

TEST(RulerTableTest, DefaultsNameEveryFifthRowAndStartUnplaced)
{
    CImgJoinEngine engine;
    const RulerTable& horz = *engine.rulerTable(Horz);
    const RulerTable& vert = *engine.rulerTable(Vert);
    EXPECT_EQ(horz.row(4).chMark, 'Y');
    EXPECT_EQ(horz.row(4).crColor, 0xFF0000u);
    EXPECT_EQ(horz.row(4).szName, "1");
    EXPECT_EQ(horz.row(LastRow).szName, "212");
    EXPECT_EQ(horz.row(3).crColor, 0xC4C4C4u);
    EXPECT_EQ(horz.row(3).chTickLen, 10);
    EXPECT_EQ(vert.row(4).szName, "A");
    EXPECT_EQ(vert.row(129).szName, "Z");
    EXPECT_EQ(vert.row(134).szName, "A");
    EXPECT_EQ(horz.overflow().nSpacing, 0);
    EXPECT_EQ(engine.GetRulerLineCount(Horz), 0);
    EXPECT_EQ(lineOf(engine, Horz, 0).result, 0);
}

TEST(RulerTableTest, LayoutPlacesLinesStrictlyInsideTheBar)
{
    CImgJoinEngine engine;
    EXPECT_EQ(engine.LayoutRuler(Horz, 0, 500, 0), 49);
    EXPECT_EQ(engine.rulerTable(Horz)->firstVisible(), 0);
    EXPECT_EQ(engine.GetRulerLineCount(Horz), 49);
    const Line plain = lineOf(engine, Horz, 0);
    EXPECT_EQ(plain.result, 1);
    EXPECT_EQ(plain.pos, 10);
    EXPECT_EQ(plain.tick, 10);
    EXPECT_EQ(plain.colour, 0xC4C4C4u);
    EXPECT_TRUE(plain.name.isEmpty());
    const Line marked = lineOf(engine, Horz, 4);
    EXPECT_EQ(marked.pos, 50);
    EXPECT_EQ(marked.tick, 16);
    EXPECT_EQ(marked.name, "1");
    EXPECT_EQ(lineOf(engine, Horz, 48).pos, 490);
    const Line beyond = lineOf(engine, Horz, 49);
    EXPECT_EQ(beyond.result, 0);
    EXPECT_EQ(beyond.pos, -1);
    EXPECT_EQ(beyond.name, "untouched");
    EXPECT_EQ(lineOf(engine, Horz, -1).result, 0);
    EXPECT_EQ(lineOf(engine, Horz, INT_MAX).result, 0);

    // A line exactly on the near edge stays hidden; rows at or before it too.
    EXPECT_EQ(engine.LayoutRuler(Vert, 0, 500, -20), 49);
    EXPECT_EQ(engine.rulerTable(Vert)->firstVisible(), 2);
    EXPECT_EQ(lineOf(engine, Vert, 0).pos, 10);
    EXPECT_EQ(engine.rulerTable(Vert)->row(1).chVisible, ' ');
}

TEST(RulerTableTest, PositionsTruncateTowardZeroInSinglePrecision)
{
    CImgJoinEngine engine;
    engine.GridTableTarget(codeValue(Horz));
    engine.SetRulerSpacingAll(5);
    engine.LayoutRuler(Horz, -100, 100, -15);
    // 100 units -> -4.99999985, 105 units -> -4.4999998: both truncate to -4.
    EXPECT_EQ(engine.rulerTable(Horz)->row(0).nPos, -4);
    EXPECT_EQ(engine.rulerTable(Horz)->row(1).nPos, -4);

    // The stored scale is just below 0.08: 100 x 0.08f is 7.99999982.
    engine.SetRulerSpacingAll(100);
    engine.ScaleRuler(RulerScaleCode::Shrink);
    engine.LayoutRuler(Horz, 0, 500, 0);
    EXPECT_EQ(lineOf(engine, Horz, 0).pos, 7);
    EXPECT_EQ(lineOf(engine, Horz, 1).pos, 15);
    EXPECT_EQ(lineOf(engine, Horz, 4).pos, 39);
    EXPECT_EQ(lineOf(engine, Horz, 9).pos, 79);
    engine.ScaleRuler(RulerScaleCode::Shrink); // marked lines 32 pixels apart, from 31 on
    engine.LayoutRuler(Horz, 0, 500, 0);
    EXPECT_EQ(lineOf(engine, Horz, 4).pos, 31);
    EXPECT_EQ(lineOf(engine, Horz, 9).pos, 63);
    EXPECT_EQ(lineOf(engine, Horz, 14).pos, 95);
    engine.ScaleRuler(RulerScaleCode::Reset);

    // The offset is rounded to single precision before it is added.
    engine.ScaleRuler(RulerScaleCode::Reset);
    engine.LayoutRuler(Horz, 0, INT_MAX, 16777217);
    EXPECT_EQ(lineOf(engine, Horz, 0).pos, 16777226);
}

TEST(RulerTableTest, ZeroNegativeAndHugeSpacings)
{
    CImgJoinEngine engine;
    engine.GridTableTarget(codeValue(Horz));
    engine.SetRulerCell(0, 1, "0");
    engine.SetRulerCell(2, 1, "-200");
    engine.SetRulerCell(13, 1, "-50");
    EXPECT_EQ(engine.LayoutRuler(Horz, 0, 100, 0), 12);
    const RulerTable& table = *engine.rulerTable(Horz);
    EXPECT_EQ(table.row(0).nPos, 10);
    EXPECT_EQ(table.row(1).nPos, 10);
    EXPECT_EQ(table.row(3).chVisible, ' '); // moved back onto the near edge
    EXPECT_EQ(table.row(4).nPos, 10);
    EXPECT_EQ(table.row(12).nPos, 90);
    // Row 13 at 100 ends the loop although row 14 would come back at 95.
    EXPECT_EQ(table.row(14).chVisible, ' ');
    EXPECT_EQ(engine.GetRulerLineCount(Horz), 13);
    EXPECT_EQ(lineOf(engine, Horz, 3).result, 0);

    // Positions past the int range end the loop instead of wrapping around.
    engine.SetRulerSpacingAll(INT_MAX);
    EXPECT_EQ(engine.LayoutRuler(Horz, 0, INT_MAX, 0), 10);
}

TEST(RulerTableTest, SumRulerSpacingCountsFromFirstVisibleRow)
{
    CImgJoinEngine engine;
    engine.GridTableTarget(codeValue(Vert));
    engine.SetRulerCell(3, 1, "7");
    engine.LayoutRuler(Vert, 0, 500, -20);
    EXPECT_EQ(engine.SumRulerSpacing(Vert, 0, 3), 207); // rows 2..4
    EXPECT_EQ(engine.SumRulerSpacing(Vert, 3, 3), 0);
    EXPECT_EQ(engine.SumRulerSpacing(Vert, 5, 2), 0);
    EXPECT_EQ(engine.SumRulerSpacing(Vert, LastRow - 3, LastRow + 50), 200); // table rows only
    engine.SetRulerSpacingAll(INT_MAX);
    EXPECT_EQ(engine.SumRulerSpacing(Vert, 0, 10), INT_MAX);
}

TEST(RulerTableTest, ScaleRulerAccumulatesAndResets)
{
    CImgJoinEngine engine;
    EXPECT_FLOAT_EQ(engine.ScaleRuler(RulerScaleCode::Grow), 0.125f);
    engine.ScaleRuler(RulerScaleCode::Grow);
    engine.ScaleRuler(RulerScaleCode::Shrink);
    EXPECT_NEAR(engine.ScaleRuler(RulerScaleCode::Shrink), 0.1f, 1e-7);
    EXPECT_EQ(engine.ScaleRuler(RulerScaleCode::Reset), 0.1f);
    engine.ScaleRuler(RulerScaleCode::Grow);
    engine.LayoutRuler(Horz, 0, 500, 0);
    EXPECT_EQ(lineOf(engine, Horz, 0).pos, 12);
}

TEST(RulerTableTest, CellTextsAndEdits)
{
    CImgJoinEngine engine;
    EXPECT_EQ(engine.GridTableTarget(codeValue(Vert)), codeValue(Vert));
    EXPECT_EQ(engine.GridTableTarget(-1), codeValue(Vert));
    EXPECT_EQ(engine.GetRulerCellText(4, 0), " ");
    EXPECT_EQ(engine.GetRulerCellText(4, 1), "100");
    EXPECT_EQ(engine.GetRulerCellText(4, 2), "Y");
    EXPECT_EQ(engine.GetRulerCellText(4, 3), "A");
    EXPECT_EQ(engine.GetRulerCellText(4, 4), "");
    EXPECT_EQ(engine.GetRulerCellText(-1, 1), "");
    EXPECT_EQ(engine.GetRulerCellText(LastRow + 1, 1), "");

    const struct
    {
        const char* text;
        int value;
    } numbers[] = {
        { "  -42abc", -42 }, { "+7", 7 },  { "\t12 3", 12 },           { "abc", 0 },
        { "", 0 },           { "- 5", 0 }, { "99999999999", INT_MAX }, { "-99999999999", INT_MIN }
    };
    for (const auto& n : numbers) {
        engine.SetRulerCell(0, 1, n.text);
        EXPECT_EQ(engine.rulerTable(Vert)->row(0).nSpacing, n.value) << n.text;
    }
    engine.SetRulerCell(0, 1, "100");

    engine.SetRulerCell(4, 2, "Y");
    EXPECT_EQ(engine.GetRulerCellText(4, 2), " ");
    engine.SetRulerCell(4, 2, "");
    EXPECT_EQ(engine.GetRulerCellText(4, 2), "Y");
    engine.SetRulerCell(0, 2, " ");
    EXPECT_EQ(engine.rulerTable(Vert)->row(0).crColor, 0xC4C4C4u); // recolouring comes later
    engine.SetRulerCell(3, 3, "ABCDEFGH");
    EXPECT_EQ(engine.GetRulerCellText(3, 3), "ABCDEF");
    engine.SetRulerCell(3, 3, QStringLiteral("轴线编号"));
    EXPECT_EQ(engine.GetRulerCellText(3, 3), QStringLiteral("轴线编"));

    engine.SetRulerCell(9, 2, "");
    engine.SetRulerCell(2, 2, "");
    engine.LayoutRuler(Vert, 0, 500, -20); // first visible row 2
    engine.RecolourRulerLines();
    EXPECT_EQ(engine.rulerTable(Vert)->row(0).crColor, 0xC4C4C4u); // before the first row
    EXPECT_EQ(engine.rulerTable(Vert)->row(2).crColor, 0xFF0000u);
    EXPECT_EQ(engine.rulerTable(Vert)->row(9).crColor, 0xC4C4C4u);
}

TEST(RulerTableTest, CutNameNeverSplitsACharacter)
{
    EXPECT_EQ(RulerTable::cutName(QStringLiteral("AB中文")), QStringLiteral("AB中文"));
    EXPECT_EQ(RulerTable::cutName(QStringLiteral("ABC中文")), QStringLiteral("ABC中"));
    EXPECT_EQ(RulerTable::cutName(QStringLiteral("ABCDE中")), QStringLiteral("ABCDE"));
    EXPECT_EQ(RulerTable::cutName(QStringLiteral("中文中文")), QStringLiteral("中文中"));
    EXPECT_EQ(RulerTable::cutName(QStringLiteral("AAAA😀😀")), QStringLiteral("AAAA😀"));
    EXPECT_EQ(RulerTable::cutName(QStringLiteral("AAAAA😀")), QStringLiteral("AAAAA"));
    EXPECT_EQ(RulerTable::cutName(QString("AB") + QChar(0) + "CD"), "AB");
    EXPECT_EQ(RulerTable::cutName("ABC", 0), "");
}

TEST(RulerTableTest, InsertAndDeleteMoveWholeRowsThroughTheOverflowRow)
{
    CImgJoinEngine engine;
    engine.GridTableTarget(codeValue(Horz));
    engine.LayoutRuler(Horz, 0, 500, 0);
    const std::vector<RulerLine> before = rowsOf(*engine.rulerTable(Horz));

    engine.InsertDeleteRulerRow(60, 0);
    const RulerTable& table = *engine.rulerTable(Horz);
    EXPECT_EQ(table.row(0), before[0]);
    EXPECT_EQ(table.row(1), before[0]);
    EXPECT_EQ(table.row(LastRow), before[LastRow - 1]);
    EXPECT_EQ(table.overflow(), before[LastRow]);
    engine.InsertDeleteRulerRow(10, 0);
    EXPECT_EQ(rowsOf(table), before);

    CImgJoinEngine fresh;
    fresh.GridTableTarget(codeValue(Vert));
    fresh.InsertDeleteRulerRow(10, LastRow);
    const RulerLine& last = fresh.rulerTable(Vert)->row(LastRow);
    EXPECT_EQ(last, fresh.rulerTable(Vert)->overflow());
    EXPECT_EQ(last.nSpacing, 0);
    EXPECT_EQ(last.crColor, 0u);
    EXPECT_TRUE(last.szName.isEmpty());
    EXPECT_EQ(fresh.GetRulerCellText(LastRow, 2), "");
    fresh.SetRulerCell(LastRow, 2, "");
    EXPECT_EQ(fresh.GetRulerCellText(LastRow, 2), "Y");

    const std::vector<RulerLine> now = rowsOf(table);
    engine.InsertDeleteRulerRow(61, 3);
    engine.InsertDeleteRulerRow(60, -1);
    engine.InsertDeleteRulerRow(10, LastRow + 1);
    EXPECT_EQ(rowsOf(table), now);
}

TEST(RulerTableTest, EditsNeedASelectedKnownTable)
{
    CImgJoinEngine engine;
    const std::vector<RulerLine> horz = rowsOf(*engine.rulerTable(Horz));
    const std::vector<RulerLine> vert = rowsOf(*engine.rulerTable(Vert));
    for (int selection : { 0, 5 }) {
        engine.GridTableTarget(selection);
        EXPECT_EQ(engine.GetRulerCellText(4, 3), "");
        engine.SetRulerCell(4, 3, "X");
        engine.SetRulerCell(4, 2, "");
        engine.SetRulerSpacingAll(3);
        engine.RecolourRulerLines();
        engine.InsertDeleteRulerRow(60, 0);
    }
    EXPECT_EQ(rowsOf(*engine.rulerTable(Horz)), horz);
    EXPECT_EQ(rowsOf(*engine.rulerTable(Vert)), vert);
}
