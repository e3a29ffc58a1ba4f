#pragma once

#include "ColorRef.h"

#include <QString>
#include <array>

// One axis line of a ruler table.
struct RulerLine
{
    quint8 chTickLen = 10; // default tick length, carried with the row
    char chVisible = ' ';  // 'Y' when the last layout placed the line inside its bar
    char chMark = ' ';     // 'Y' = marked (major) line
    QString szName;        // at most 6 bytes as counted in the two-byte code page
    int nPos = 0;          // pixel position from the last layout
    int nSpacing = 100;    // distance to the next line, in drawing units
    ColorRef crColor = 0xC4C4C4;

    bool operator==(const RulerLine&) const = default;
};

// A table of 1060 axis lines with one overflow row that only takes part in
// inserting and deleting rows.
class RulerTable
{
public:
    static constexpr int RULER_ROWS = 1060;
    static constexpr ColorRef PlainColor = 0xC4C4C4;
    static constexpr ColorRef MarkColor = 0xFF0000;
    static constexpr int InsertRow = 60;
    static constexpr int DeleteRow = 10;
    static constexpr int MaxNameBytes = 6;

    enum class Naming
    {
        Numbers, // marked lines named 1, 2, 3, ...
        Letters  // marked lines named A, B, ..., Z, A, ...
    };

    explicit RulerTable(Naming naming);

    int layout(float scale, int lo, int hi, int offset);
    int lineCount() const;
    bool line(int i, int& tickLen, int& pos, ColorRef& colour, QString& name) const;
    int sumSpacing(int from, int to) const;
    QString cellText(int row, int col) const;
    void setCell(int row, int col, const QString& text);
    void setSpacingAll(int spacing);
    void recolour();
    void insertDeleteRow(int op, int row);

    int firstVisible() const { return m_firstVisible; }
    const RulerLine& row(int index) const { return m_rows.at(std::size_t(index)); }
    const RulerLine& overflow() const { return m_overflow; }
    // Puts back a row or the overflow row as a saved table held it.
    void setRow(int index, const RulerLine& line)
    {
        if (index >= 0 && index < RULER_ROWS)
            m_rows[std::size_t(index)] = line;
    }
    void setOverflow(const RulerLine& line) { m_overflow = line; }

    // Cuts a name to at most maxBytes, counting a character outside ASCII as
    // two bytes (a surrogate pair is one character), and never inside a
    // character. A NUL ends the name.
    static QString cutName(const QString& text, int maxBytes = MaxNameBytes);

private:
    int m_firstVisible = 0;
    std::array<RulerLine, RULER_ROWS> m_rows;
    RulerLine m_overflow;
};
