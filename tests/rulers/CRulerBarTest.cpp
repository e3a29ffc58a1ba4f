#include "CHorzRulerBar.h"
#include "CImgJoinEngine.h"
#include "CVertRulerBar.h"
#include "RulerRefresh.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <utility>

namespace {

constexpr int BarLength = 500;
const QRgb Background = colorRefToRgb(0xDEDEDE);
const QRgb Plain = qRgb(196, 196, 196);
const QRgb Marked = qRgb(0, 0, 255);
const QRgb Divider = qRgb(120, 120, 120);
const QRgb SpanText = qRgb(122, 0, 0);
const QRgb NameText = qRgb(0, 128, 128);

QImage render(QWidget& bar)
{
    return bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRgb at(const QImage& image, int x, int y)
{
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x] | 0xFF000000u;
}

// Positions along one pixel row (x) or column (y) that are not background.
QList<int> marksAlongRow(const QImage& image, int y)
{
    QList<int> found;
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
        if ((row[x] | 0xFF000000u) != Background)
            found.append(x);
    return found;
}

QList<int> marksAlongColumn(const QImage& image, int x)
{
    QList<int> found;
    for (int y = 0; y < image.height(); ++y)
        if (at(image, x, y) != Background)
            found.append(y);
    return found;
}

QList<int> steps(int first, int last, int step)
{
    QList<int> values;
    for (int v = first; v <= last; v += step)
        values.append(v);
    return values;
}

int countColour(const QImage& image, const QRect& area, QRgb colour)
{
    int count = 0;
    const QRect box = area & image.rect();
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            count += at(image, x, y) == colour ? 1 : 0;
    return count;
}

// Pixel positions of the visible lines of a table's last layout.
QList<int> tablePositions(const CImgJoinEngine& engine, RulerTableId table)
{
    QList<int> positions;
    for (int i = 0; i < engine.GetRulerLineCount(table); ++i) {
        int tickLen = 0;
        int pos = 0;
        ColorRef colour = 0;
        QString name;
        if (engine.GetRulerLine(table, i, tickLen, pos, colour, name))
            positions.append(pos);
    }
    return positions;
}

// Pixel distance between the first two marked lines of a table's last layout.
int markedGap(const CImgJoinEngine& engine, RulerTableId table)
{
    QList<int> marked;
    for (int i = 0; i < engine.GetRulerLineCount(table) && marked.size() < 2; ++i) {
        int tickLen = 0;
        int pos = 0;
        ColorRef colour = 0;
        QString name;
        if (engine.GetRulerLine(table, i, tickLen, pos, colour, name) && tickLen > 10)
            marked.append(pos);
    }
    return marked.size() == 2 ? marked.at(1) - marked.at(0) : -1;
}

QStringList spanTexts(const CRulerBar& bar)
{
    QStringList texts;
    for (const CRulerBar::SpanLabel& label : bar.spanLabels())
        texts.append(label.text);
    return texts;
}

void middleDrag(QWidget& bar, QPoint from, QPoint to)
{
    QTest::mousePress(&bar, Qt::MiddleButton, {}, from);
    QTest::mouseRelease(&bar, Qt::MiddleButton, {}, to);
}

} // namespace

class CRulerBarTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void horizontalBarDrawsTicksNamesAndSpans();
    void verticalBarCountsUpFromBottom();
    void resetSquareSitsAtTheFarEndInItsColours();
    void spanLabelsFollowTheRulerScale();
    void spanLabelsStartAtEachBarsDistance();
    void firstPaintLaysOutWithoutNotifying();
    void relayoutNotifiesOnceAfterThePaint();
    void relayoutRequestedWhileNotifyingIsKept();
    void smallMiddleDragChangesNothing();
    void middleDragSlidesTheLines();
    void verticalDragFollowsTheMouse();
    void resetSquareUndoesTheSlide();

private:
    std::unique_ptr<CImgJoinEngine> m_engine;
    std::unique_ptr<CHorzRulerBar> m_horz;
    std::unique_ptr<CVertRulerBar> m_vert;
};

void CRulerBarTest::init()
{
    m_engine = std::make_unique<CImgJoinEngine>();
    m_horz = std::make_unique<CHorzRulerBar>(*m_engine);
    m_vert = std::make_unique<CVertRulerBar>(*m_engine);
    m_horz->resize(BarLength, CHorzRulerBar::BarHeight);
    m_vert->resize(CVertRulerBar::BarWidth, BarLength);
}

void CRulerBarTest::cleanup()
{
    m_horz.reset();
    m_vert.reset();
    m_engine.reset();
}

void CRulerBarTest::horizontalBarDrawsTicksNamesAndSpans()
{
    QCOMPARE(m_horz->minimumHeight(), 26);
    QCOMPARE(m_horz->maximumHeight(), 26);
    QCOMPARE(m_horz->sizeHint().height(), 26);

    const QImage image = render(*m_horz);
    // Above the divider every tick shows: one every 10 pixels from x = 10,
    // every fifth one blue, the others grey.
    QCOMPARE(marksAlongRow(image, 0), steps(10, 490, 10));
    for (int x = 10; x < BarLength; x += 10)
        QCOMPARE(at(image, x, 1), x % 50 == 0 ? Marked : Plain);
    // The divider crosses the ticks.
    QCOMPARE(marksAlongRow(image, 2).size(), BarLength);
    QCOMPARE(at(image, 10, 2), Divider);
    // Plain ticks are 10 pixels long, marked ones 16 (the name starts below).
    QCOMPARE(at(image, 10, 9), Plain);
    QCOMPARE(at(image, 10, 10), Background);
    QCOMPARE(at(image, 50, 12), Marked);

    // Names in their own colour under the marked ticks.
    QVERIFY(countColour(image, QRect(44, 14, 13, 12), NameText) > 0);
    // One span between each pair of marked lines, none before the first.
    QCOMPARE(spanTexts(*m_horz), QStringList(8, QStringLiteral("500")));
    const QRect first = m_horz->spanLabels().first().rect;
    QVERIFY(qAbs(first.center().x() - 75) <= 1);
    QCOMPARE(first.top(), 4);
    QVERIFY(countColour(image, first, SpanText) > 0);
}

void CRulerBarTest::verticalBarCountsUpFromBottom()
{
    QCOMPARE(m_vert->minimumWidth(), 38);
    QCOMPARE(m_vert->maximumWidth(), 38);
    QCOMPARE(m_vert->sizeHint().width(), 38);

    const QImage image = render(*m_vert);
    QCOMPARE(marksAlongColumn(image, 0), steps(10, 490, 10));
    // Line A stands 50 pixels above the bottom edge, B 100 pixels.
    const int lineA = BarLength - 50;
    QCOMPARE(at(image, 0, lineA), Marked);
    QCOMPARE(at(image, 0, BarLength - 100), Marked);
    QCOMPARE(at(image, 0, lineA + 10), Plain);
    QCOMPARE(at(image, 15, lineA), Marked);
    QCOMPARE(at(image, 2, lineA), Divider);
    QCOMPARE(at(image, 9, lineA + 10), Plain);
    QCOMPARE(at(image, 10, lineA + 10), Background);
    QVERIFY(countColour(image, QRect(16, lineA - 8, 12, 16), NameText) > 0);

    QCOMPARE(spanTexts(*m_vert), QStringList(8, QStringLiteral("500")));
    const QRect first = m_vert->spanLabels().first().rect;
    QCOMPARE(first.left(), 5);
    QVERIFY(qAbs(first.center().y() - (BarLength - 75)) <= 1);
}

void CRulerBarTest::resetSquareSitsAtTheFarEndInItsColours()
{
    const QImage horz = render(*m_horz);
    QCOMPARE(m_horz->resetRect(), QRect(BarLength - 21, 5, 16, 16));
    const QImage vert = render(*m_vert);
    QCOMPARE(m_vert->resetRect(), QRect(11, 5, 16, 16));

    for (const auto& [image, box] :
         { std::pair{ horz, m_horz->resetRect() }, std::pair{ vert, m_vert->resetRect() } }) {
        QCOMPARE(at(image, box.center().x(), box.center().y()), qRgb(122, 200, 255));
        QCOMPARE(at(image, box.left(), box.top()), qRgb(222, 0, 0));
        QCOMPARE(at(image, box.left(), box.bottom() - 1), qRgb(222, 0, 0));
        QCOMPARE(at(image, box.right(), box.top()), qRgb(0, 222, 222));
        QCOMPARE(at(image, box.right(), box.bottom()), qRgb(0, 222, 222));
        QCOMPARE(at(image, box.left(), box.bottom()), qRgb(0, 222, 222));
    }
}

void CRulerBarTest::spanLabelsFollowTheRulerScale()
{
    render(*m_horz);
    render(*m_vert);

    // Marked lines 40 pixels apart: both bars label the spans.
    m_engine->ScaleRuler(RulerScaleCode::Shrink);
    m_horz->RequestRelayout();
    m_vert->RequestRelayout();
    const QImage once = render(*m_horz);
    render(*m_vert);
    // The ticks stand where the table was laid out at the new scale.
    QCOMPARE(marksAlongRow(once, 0), tablePositions(*m_engine, RulerTableId::Horizontal));
    QCOMPARE(marksAlongRow(once, 0).first(), 7);
    QVERIFY(!m_horz->spanLabels().isEmpty());
    QVERIFY(!m_vert->spanLabels().isEmpty());
    QCOMPARE(m_horz->spanLabels().first().text, QStringLiteral("500"));

    // 32 pixels apart: too close for the horizontal bar, not for the vertical.
    m_engine->ScaleRuler(RulerScaleCode::Shrink);
    m_horz->RequestRelayout();
    m_vert->RequestRelayout();
    const QImage twice = render(*m_horz);
    const QImage vert = render(*m_vert);
    QCOMPARE(marksAlongRow(twice, 0), tablePositions(*m_engine, RulerTableId::Horizontal));
    QVERIFY(m_horz->spanLabels().isEmpty());
    QCOMPARE(countColour(twice, twice.rect(), SpanText), 0);
    QVERIFY(!m_vert->spanLabels().isEmpty());
    QVERIFY(countColour(vert, vert.rect(), SpanText) > 0);
}

void CRulerBarTest::spanLabelsStartAtEachBarsDistance()
{
    // Every fifth line is marked, so at the starting scale of 0.1 a spacing of
    // s units puts marked lines s / 2 pixels apart.
    const auto labelsAt = [this](CRulerBar& bar, int spacing, int gap) {
        m_engine->GridTableTarget(codeValue(bar.table()));
        m_engine->SetRulerSpacingAll(spacing);
        bar.RequestRelayout();
        render(bar);
        [&] { QCOMPARE(markedGap(*m_engine, bar.table()), gap); }();
        return spanTexts(bar);
    };
    // The horizontal bar labels spans from 36 pixels on, the vertical from 30.
    QCOMPARE(labelsAt(*m_horz, 72, 36).value(0), QStringLiteral("360"));
    QCOMPARE(labelsAt(*m_horz, 70, 35), QStringList());
    QCOMPARE(labelsAt(*m_vert, 60, 30).value(0), QStringLiteral("300"));
    QCOMPARE(labelsAt(*m_vert, 58, 29), QStringList());
}

void CRulerBarTest::firstPaintLaysOutWithoutNotifying()
{
    QSignalSpy spy(m_horz.get(), &CRulerBar::rulerRefresh);
    QCOMPARE(m_engine->GetRulerLineCount(RulerTableId::Horizontal), 0);
    render(*m_horz);
    QCOMPARE(m_engine->GetRulerLineCount(RulerTableId::Horizontal), 49);
    QCOMPARE(spy.count(), 0);
}

void CRulerBarTest::relayoutNotifiesOnceAfterThePaint()
{
    render(*m_vert);
    QSignalSpy spy(m_vert.get(), &CRulerBar::rulerRefresh);
    // The views draw from the table, so the bar must have laid it out anew by
    // the time it tells them.
    int countAtSignal = -1;
    connect(m_vert.get(), &CRulerBar::rulerRefresh, this,
            [&] { countAtSignal = m_engine->GetRulerLineCount(RulerTableId::Vertical); });
    m_vert->resize(CVertRulerBar::BarWidth, 250);
    m_vert->RequestRelayout();
    QCOMPARE(spy.count(), 0);
    render(*m_vert);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), RulerRefresh::RRN_BAR_CHANGED);
    QCOMPARE(spy.at(0).at(1).toInt(), 0);
    QCOMPARE(countAtSignal, 24);
    render(*m_vert);
    QCOMPARE(spy.count(), 1);
}

void CRulerBarTest::relayoutRequestedWhileNotifyingIsKept()
{
    render(*m_horz);
    QSignalSpy spy(m_horz.get(), &CRulerBar::rulerRefresh);
    // The frame answers the first notification by asking for another
    // relayout (as a scale change during the relay would).
    bool asked = false;
    connect(m_horz.get(), &CRulerBar::rulerRefresh, this, [&] {
        if (!std::exchange(asked, true))
            m_horz->RequestRelayout();
    });
    m_horz->RequestRelayout();
    render(*m_horz);
    QCOMPARE(spy.count(), 1);
    render(*m_horz);
    QCOMPARE(spy.count(), 2);
}

void CRulerBarTest::smallMiddleDragChangesNothing()
{
    m_horz->show();
    render(*m_horz);
    QSignalSpy spy(m_horz.get(), &CRulerBar::rulerRefresh);
    middleDrag(*m_horz, QPoint(100, 10), QPoint(105, 10));
    middleDrag(*m_horz, QPoint(100, 10), QPoint(95, 20));
    QCOMPARE(m_horz->offset(), 0);
    const QImage image = render(*m_horz);
    QCOMPARE(marksAlongRow(image, 0).first(), 10);
    QCOMPARE(spy.count(), 0);

    // A release without its own press does not reuse the last press.
    QTest::mouseRelease(m_horz.get(), Qt::MiddleButton, {}, QPoint(160, 10));
    QCOMPARE(m_horz->offset(), 0);
}

void CRulerBarTest::middleDragSlidesTheLines()
{
    m_horz->show();
    render(*m_horz);
    QSignalSpy spy(m_horz.get(), &CRulerBar::rulerRefresh);

    QTest::mousePress(m_horz.get(), Qt::MiddleButton, {}, QPoint(100, 10));
    // The drag cursor shows while the button is held.
    QVERIFY(m_horz->testAttribute(Qt::WA_SetCursor));
    QCOMPARE(m_horz->cursor().shape(), Qt::BitmapCursor);
    QTest::mouseRelease(m_horz.get(), Qt::MiddleButton, {}, QPoint(106, 12));
    QCOMPARE(m_horz->cursor().shape(), Qt::ArrowCursor);

    QCOMPARE(m_horz->offset(), 6);
    QCOMPARE(spy.count(), 0);
    const QImage image = render(*m_horz);
    QCOMPARE(marksAlongRow(image, 0).first(), 16);
    QCOMPARE(at(image, 56, 0), Marked);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), RulerRefresh::RRN_BAR_CHANGED);

    // Dragging back to the left slides the other way.
    middleDrag(*m_horz, QPoint(200, 10), QPoint(190, 10));
    QCOMPARE(m_horz->offset(), -4);
    QCOMPARE(marksAlongRow(render(*m_horz), 0).first(), 6);
}

void CRulerBarTest::verticalDragFollowsTheMouse()
{
    m_vert->show();
    render(*m_vert);
    // Dragging up by 6 pixels moves the lines up by 6.
    middleDrag(*m_vert, QPoint(20, 300), QPoint(20, 294));
    QCOMPARE(m_vert->offset(), 6);
    const QImage image = render(*m_vert);
    QCOMPARE(at(image, 0, BarLength - 56), Marked);
    QCOMPARE(marksAlongColumn(image, 0).last(), BarLength - 16);

    middleDrag(*m_vert, QPoint(20, 300), QPoint(20, 305));
    QCOMPARE(m_vert->offset(), 6);
}

void CRulerBarTest::resetSquareUndoesTheSlide()
{
    m_horz->show();
    render(*m_horz);
    middleDrag(*m_horz, QPoint(100, 10), QPoint(130, 10));
    render(*m_horz);
    QCOMPARE(marksAlongRow(render(*m_horz), 0).first(), 40);

    // A left click beside the square does nothing.
    QSignalSpy spy(m_horz.get(), &CRulerBar::rulerRefresh);
    const QRect square = m_horz->resetRect();
    QTest::mouseClick(m_horz.get(), Qt::LeftButton, {}, square.topLeft() - QPoint(1, 0));
    QCOMPARE(m_horz->offset(), 30);

    QTest::mouseClick(m_horz.get(), Qt::LeftButton, {}, square.center());
    QCOMPARE(m_horz->offset(), 0);
    QCOMPARE(marksAlongRow(render(*m_horz), 0).first(), 10);
    QCOMPARE(spy.count(), 1);
}

QTEST_MAIN(CRulerBarTest)
#include "CRulerBarTest.moc"
