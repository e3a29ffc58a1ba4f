#include "RulerTable.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr quint8 PlainTick = 10;
constexpr quint8 MarkTick = 16;
constexpr int MarkEvery = 5;           // rows 4, 9, 14, ... are marked
constexpr qint64 FirstLineUnits = 100; // row 0 stands this far after the origin
constexpr char Yes = 'Y';
constexpr char No = ' ';

// The row that takes part only in inserting and deleting: every field zero.
RulerLine zeroLine()
{
    RulerLine line;
    line.chTickLen = 0;
    line.chVisible = '\0';
    line.chMark = '\0';
    line.nSpacing = 0;
    line.crColor = 0;
    return line;
}

QString defaultName(RulerTable::Naming naming, int markedIndex)
{
    if (naming == RulerTable::Naming::Numbers)
        return QString::number(markedIndex + 1);
    return QString(QChar(u'A' + markedIndex % 26));
}

int saturate(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

// Truncates toward zero. Values beyond the int range saturate; an undefined
// value (an overflowed scale times zero) counts as far before the bar.
int truncatePosition(double value)
{
    if (std::isnan(value) || value < -2147483648.0)
        return std::numeric_limits<int>::min();
    if (value >= 2147483648.0)
        return std::numeric_limits<int>::max();
    return int(value);
}

// Pixel position of a line acc drawing units after the origin. The scale is
// kept in single precision, the product is worked out in double precision, so
// a scale just below 0.08 puts the first line at 7, not 8; the offset is
// rounded to single precision before it is added.
int linePosition(qint64 acc, float scale, int offset)
{
    const double scaled = double(acc) * double(scale);
    return truncatePosition(scaled + double(float(offset)));
}

QString charText(char c)
{
    return c == '\0' ? QString() : QString(QLatin1Char(c));
}

bool isBlank(QChar c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// The leading decimal integer: blanks skipped, optional sign, 0 when there
// are no digits; a number beyond the int range saturates.
int leadingInteger(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text.at(i)))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        negative = text.at(i++) == u'-';
    const qint64 limit = negative ? qint64(1) << 31 : (qint64(1) << 31) - 1;
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i)
        value = std::min(limit, value * 10 + (text.at(i).unicode() - u'0'));
    return saturate(negative ? -value : value);
}

// UTF-16 units of the character starting at index: a surrogate pair is one
// character.
qsizetype charUnits(const QString& text, qsizetype index)
{
    const bool pair = text.at(index).isHighSurrogate() && index + 1 < text.size() &&
                      text.at(index + 1).isLowSurrogate();
    return pair ? 2 : 1;
}

} // namespace

RulerTable::RulerTable(Naming naming)
    : m_overflow(zeroLine())
{
    int marked = 0;
    for (int n = 0; n < RULER_ROWS; ++n) {
        if (n % MarkEvery != MarkEvery - 1)
            continue;
        RulerLine& line = m_rows[std::size_t(n)];
        line.chTickLen = MarkTick;
        line.crColor = MarkColor;
        line.chMark = Yes;
        line.szName = defaultName(naming, marked++);
    }
}

int RulerTable::layout(float scale, int lo, int hi, int offset)
{
    m_firstVisible = -1;
    for (RulerLine& line : m_rows)
        line.chVisible = No;
    qint64 acc = FirstLineUnits;
    int count = 0;
    for (int n = 0; n < RULER_ROWS; ++n) {
        RulerLine& line = m_rows[std::size_t(n)];
        const int p = linePosition(acc, scale, offset);
        if (p > lo && p >= hi)
            break;
        acc += line.nSpacing;
        if (p <= lo)
            continue;
        line.chVisible = Yes;
        line.nPos = p;
        if (m_firstVisible < 0)
            m_firstVisible = n;
        ++count;
    }
    return count;
}

int RulerTable::lineCount() const
{
    if (m_firstVisible < 0 || m_firstVisible >= RULER_ROWS)
        return 0;
    for (int n = RULER_ROWS - 1; n >= m_firstVisible; --n) {
        if (m_rows[std::size_t(n)].chVisible == Yes)
            return n - m_firstVisible + 1;
    }
    return 0;
}

bool RulerTable::line(int i, int& tickLen, int& pos, ColorRef& colour, QString& name) const
{
    const qint64 r = qint64(m_firstVisible) + i;
    if (m_firstVisible < 0 || r < 0 || r >= RULER_ROWS)
        return false;
    const RulerLine& row = m_rows[std::size_t(r)];
    if (row.chVisible != Yes)
        return false;
    const bool marked = row.chMark == Yes;
    tickLen = marked ? MarkTick : PlainTick;
    name = marked ? row.szName : QString();
    pos = row.nPos;
    colour = row.crColor;
    return true;
}

int RulerTable::sumSpacing(int from, int to) const
{
    if (from >= to)
        return 0;
    const qint64 first = std::clamp<qint64>(qint64(m_firstVisible) + from, 0, RULER_ROWS);
    const qint64 end = std::clamp<qint64>(qint64(m_firstVisible) + to, 0, RULER_ROWS);
    qint64 sum = 0;
    for (qint64 n = first; n < end; ++n)
        sum += m_rows[std::size_t(n)].nSpacing;
    return saturate(sum);
}

QString RulerTable::cellText(int row, int col) const
{
    if (row < 0 || row >= RULER_ROWS)
        return QString();
    const RulerLine& line = m_rows[std::size_t(row)];
    switch (col) {
        case 0: return charText(line.chVisible);
        case 1: return QString::number(line.nSpacing);
        case 2: return charText(line.chMark);
        case 3: return line.szName;
        default: return QString();
    }
}

void RulerTable::setCell(int row, int col, const QString& text)
{
    if (row < 0 || row >= RULER_ROWS)
        return;
    RulerLine& line = m_rows[std::size_t(row)];
    if (col == 1)
        line.nSpacing = leadingInteger(text);
    else if (col == 2)
        line.chMark = line.chMark == Yes ? No : Yes;
    else if (col == 3)
        line.szName = cutName(text);
}

void RulerTable::setSpacingAll(int spacing)
{
    for (RulerLine& line : m_rows)
        line.nSpacing = spacing;
}

void RulerTable::recolour()
{
    for (int n = std::max(m_firstVisible, 0); n < RULER_ROWS; ++n) {
        RulerLine& line = m_rows[std::size_t(n)];
        line.crColor = line.chMark == Yes ? MarkColor : PlainColor;
    }
}

void RulerTable::insertDeleteRow(int op, int row)
{
    if (row < 0 || row >= RULER_ROWS)
        return;
    const auto at = m_rows.begin() + row;
    if (op == InsertRow) {
        // The row at the insertion point stays, so the new row is its copy;
        // the last row is pushed out into the overflow row.
        m_overflow = m_rows.back();
        std::copy_backward(at, m_rows.end() - 1, m_rows.end());
    } else if (op == DeleteRow) {
        // The overflow row comes back as the last row and keeps its content.
        std::copy(at + 1, m_rows.end(), at);
        m_rows.back() = m_overflow;
    }
}

QString RulerTable::cutName(const QString& text, int maxBytes)
{
    int bytes = 0;
    qsizetype end = 0;
    while (end < text.size() && !text.at(end).isNull()) {
        const int width = text.at(end).unicode() < 0x80 ? 1 : 2;
        if (bytes + width > maxBytes)
            break;
        bytes += width;
        end += charUnits(text, end);
    }
    return text.left(end);
}
