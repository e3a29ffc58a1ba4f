#include "CALXGridCtrl.h"
#include "CALXCellEdit.h"

#include <QApplication>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

#include <memory>

namespace {

constexpr int Rows = 4;
constexpr int Columns = 3;

// Columns 0 and 2 are edited in edit boxes, column 1 is static.
class TestGrid : public CALXGridCtrl
{
public:
    TestGrid()
    {
        AddColumn(60, Qt::AlignLeft | Qt::AlignVCenter, EditorType::EditBox);
        AddColumn(40, Qt::AlignCenter);
        AddColumn(60, Qt::AlignRight | Qt::AlignVCenter, EditorType::EditBox);
    }
};

} // namespace

class CALXGridCtrlTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void enterStoresOnlyChangedTextAndMovesDown();
    void enterStopsAtTheLastRow();
    void tabAndShiftTabMoveAlongTheRow();
    void escapeRestoresTheCellsText();
    void leftAndRightLeaveOnlyAtTheCaretsEdges();
    void clickMakesTheCellCurrentAndNotifies();

private:
    // The open editor; closed ones may linger until deleted.
    CALXCellEdit* editor() const
    {
        for (CALXCellEdit* edit : m_grid->viewport()->findChildren<CALXCellEdit*>())
            if (edit->isVisible())
                return edit;
        return nullptr;
    }
    QModelIndex current() const { return m_grid->currentIndex(); }

    std::unique_ptr<QStandardItemModel> m_model;
    std::unique_ptr<TestGrid> m_grid;
};

void CALXGridCtrlTest::init()
{
    m_model = std::make_unique<QStandardItemModel>(Rows, Columns);
    for (int row = 0; row < Rows; ++row)
        for (int column = 0; column < Columns; ++column) {
            auto* item = new QStandardItem(QStringLiteral("r%1c%2").arg(row).arg(column));
            if (column == 1)
                item->setEditable(false);
            m_model->setItem(row, column, item);
        }
    m_grid = std::make_unique<TestGrid>();
    m_grid->setModel(m_model.get());
    m_grid->resize(300, 200);
    m_grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));
    QVERIFY(m_grid->SetCurrentCell(0, 0));
}

void CALXGridCtrlTest::cleanup()
{
    m_grid.reset();
    m_model.reset();
}

void CALXGridCtrlTest::enterStoresOnlyChangedTextAndMovesDown()
{
    QSignalSpy ended(m_grid.get(), &CALXGridCtrl::cellEditEnded);
    QVERIFY(editor() != nullptr);
    QCOMPARE(editor()->selectedText(), QStringLiteral("r0c0"));
    QTest::keyClicks(editor(), QStringLiteral("new"));
    QTest::keyClick(editor(), Qt::Key_Return);
    QCOMPARE(m_model->item(0, 0)->text(), QStringLiteral("new"));
    QCOMPARE(current(), m_model->index(1, 0));
    QCOMPARE(ended.count(), 1);

    // Enter without typing moves on and stores nothing.
    QTest::keyClick(editor(), Qt::Key_Return);
    QCOMPARE(current(), m_model->index(2, 0));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(m_model->item(1, 0)->text(), QStringLiteral("r1c0"));

    // Enter in a static column moves down as well.
    QVERIFY(m_grid->SetCurrentCell(1, 0));
    QTest::keyClick(m_grid.get(), Qt::Key_Enter);
    QCOMPARE(current(), m_model->index(1, 1));
}

void CALXGridCtrlTest::enterStopsAtTheLastRow()
{
    QVERIFY(m_grid->SetCurrentCell(2, Rows - 1));
    QTest::keyClicks(editor(), QStringLiteral("end"));
    QTest::keyClick(editor(), Qt::Key_Return);
    QCOMPARE(current(), m_model->index(Rows - 1, 2));
    QCOMPARE(m_model->item(Rows - 1, 2)->text(), QStringLiteral("end"));
    QVERIFY(!m_grid->SetCurrentCell(0, Rows));
    QVERIFY(!m_grid->SetCurrentCell(Columns, 0));
}

void CALXGridCtrlTest::tabAndShiftTabMoveAlongTheRow()
{
    QVERIFY(m_grid->SetCurrentCell(0, 1));
    QTest::keyClicks(editor(), QStringLiteral("x"));
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCOMPARE(m_model->item(1, 0)->text(), QStringLiteral("x"));
    QCOMPARE(current(), m_model->index(1, 1));
    QTest::keyClick(m_grid.get(), Qt::Key_Tab);
    QCOMPARE(current(), m_model->index(1, 2));
    // Not past the row's end.
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCOMPARE(current(), m_model->index(1, 2));
    QTest::keyClick(editor(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(current(), m_model->index(1, 1));
    QTest::keyClick(m_grid.get(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(current(), m_model->index(1, 0));
    QTest::keyClick(editor(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(current(), m_model->index(1, 0));
}

void CALXGridCtrlTest::escapeRestoresTheCellsText()
{
    QTest::keyClicks(editor(), QStringLiteral("typed"));
    QTest::keyClick(editor(), Qt::Key_Escape);
    QCOMPARE(editor()->text(), QStringLiteral("r0c0"));
    QVERIFY(editor()->isVisible());
    // Leaving afterwards stores nothing.
    QTest::keyClick(editor(), Qt::Key_Return);
    QCOMPARE(m_model->item(0, 0)->text(), QStringLiteral("r0c0"));
    QCOMPARE(current(), m_model->index(1, 0));
}

void CALXGridCtrlTest::leftAndRightLeaveOnlyAtTheCaretsEdges()
{
    QVERIFY(m_grid->SetCurrentCell(2, 0));
    QTest::keyClick(editor(), Qt::Key_End);
    QTest::keyClick(editor(), Qt::Key_Left);
    QCOMPARE(current(), m_model->index(0, 2));
    QCOMPARE(editor()->cursorPosition(), 3);
    QTest::keyClick(editor(), Qt::Key_Home);
    QTest::keyClick(editor(), Qt::Key_Left);
    QCOMPARE(current(), m_model->index(0, 1));
    QTest::keyClick(m_grid.get(), Qt::Key_Left);
    QCOMPARE(current(), m_model->index(0, 0));
    QTest::keyClick(editor(), Qt::Key_Home);
    QTest::keyClick(editor(), Qt::Key_Right);
    QCOMPARE(current(), m_model->index(0, 0));
    QTest::keyClick(editor(), Qt::Key_End);
    QTest::keyClick(editor(), Qt::Key_Right);
    QCOMPARE(current(), m_model->index(0, 1));
}

void CALXGridCtrlTest::clickMakesTheCellCurrentAndNotifies()
{
    QSignalSpy clicks(m_grid.get(), &CALXGridCtrl::gridCellClick);
    QSignalSpy changes(m_grid.get(), &CALXGridCtrl::currentCellChanged);
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {},
                      m_grid->visualRect(m_model->index(3, 2)).center());
    QCOMPARE(current(), m_model->index(3, 2));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0), (QVariantList{ 2, 3 }));
    QCOMPARE(changes.count(), 1);
    QVERIFY(editor() != nullptr && editor()->isVisible());
}

QTEST_MAIN(CALXGridCtrlTest)
#include "CALXGridCtrlTest.moc"
