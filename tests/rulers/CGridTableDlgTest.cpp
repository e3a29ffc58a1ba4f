#include "CGridTableDlg.h"
#include "CALXCellEdit.h"
#include "CImgJoinEngine.h"
#include "CRulerGridCtrl.h"
#include "RulerTable.h"
#include "RulerTableModel.h"

#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using Model = RulerTableModel;

QList<RulerLine> rows(const CImgJoinEngine& engine, RulerTableId table)
{
    QList<RulerLine> result;
    const RulerTable* ruler = engine.rulerTable(table);
    for (int row = 0; row < RulerTable::RULER_ROWS; ++row)
        result.append(ruler->row(row));
    return result;
}

// Every cell of the grid as the user sees it: text and image.
QStringList shownCells(const CRulerGridCtrl& grid)
{
    QStringList cells;
    const Model& model = grid.Table();
    for (int row = 0; row < model.rowCount(); ++row)
        for (int column = 0; column < model.columnCount(); ++column) {
            const QModelIndex index = model.index(row, column);
            cells.append(index.data().toString() + u'|' +
                         index.data(CALXGridCtrl::ImageIndexRole).toString());
        }
    return cells;
}

} // namespace

class CGridTableDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void markToggledByClickShowsAfterApply();
    void insertAndDeleteAtTheFirstLastAndGreyRows();
    void badSpacingsAreRefusedAndTheTableKeepsItsValues();
    void longNamesAreCutOnACharacterBoundary();
    void editedTableSavedAndShownAgainMatchesCellForCell();
    void closeGivesTheTableBackAndOnlyOneTableIsEdited();

private:
    void open(CImgJoinEngine& engine, RulerTableId table);
    void close();
    CRulerGridCtrl& grid() const { return m_dialog->Grid(); }
    // The open editor; closed ones may linger until deleted.
    CALXCellEdit* editor() const
    {
        for (CALXCellEdit* edit : grid().viewport()->findChildren<CALXCellEdit*>())
            if (edit->isVisible())
                return edit;
        return nullptr;
    }
    QPushButton* button(const char* name) const
    {
        return m_dialog->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void type(int column, int row, const QString& text);
    void click(int column, int row);

    std::unique_ptr<CImgJoinEngine> m_engine;
    QPointer<CGridTableDlg> m_dialog;
};

void CGridTableDlgTest::init()
{
    m_engine = std::make_unique<CImgJoinEngine>();
    open(*m_engine, RulerTableId::Horizontal);
}

void CGridTableDlgTest::cleanup()
{
    delete m_dialog.data();
    m_engine.reset();
}

void CGridTableDlgTest::open(CImgJoinEngine& engine, RulerTableId table)
{
    m_dialog = CGridTableDlg::Open(engine, table, QRect(20, 30, 400, 300));
    QVERIFY(m_dialog);
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.data()));
}

void CGridTableDlgTest::close()
{
    QTest::mouseClick(button("closeButton"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_dialog.isNull());
}

void CGridTableDlgTest::type(int column, int row, const QString& text)
{
    QVERIFY(grid().SetCurrentCell(column, row));
    QVERIFY(editor() != nullptr);
    // Typed as one key carrying the whole text, which may be Chinese.
    QTest::sendKeyEvent(QTest::Click, editor(), Qt::Key_unknown, text, Qt::NoModifier);
    QTest::keyClick(editor(), Qt::Key_Return);
}

void CGridTableDlgTest::click(int column, int row)
{
    const QModelIndex index = grid().Table().index(row, column);
    grid().scrollTo(index);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().visualRect(index).center());
}

void CGridTableDlgTest::markToggledByClickShowsAfterApply()
{
    QVERIFY(!button("insertRowButton")->isEnabled());
    click(Model::MarkColumn, 2);
    QCOMPARE(grid().Table().index(2, Model::MarkColumn).data(CALXGridCtrl::ImageIndexRole),
             QVariant(int(Model::MarkedImage)));
    QVERIFY(button("insertRowButton")->isEnabled());
    QVERIFY(button("deleteRowButton")->isEnabled());
    // Only the mark column toggles; the colour follows on apply.
    click(Model::SpacingColumn, 2);
    QCOMPARE(m_engine->rulerTable(RulerTableId::Horizontal)->row(2).chMark, 'Y');
    QCOMPARE(m_engine->rulerTable(RulerTableId::Horizontal)->row(2).crColor,
             RulerTable::PlainColor);
    QTest::mouseClick(button("applyButton"), Qt::LeftButton);
    QCOMPARE(m_engine->rulerTable(RulerTableId::Horizontal)->row(2).crColor, RulerTable::MarkColor);
    click(Model::MarkColumn, 2);
    QCOMPARE(grid().Table().index(2, Model::MarkColumn).data(CALXGridCtrl::ImageIndexRole),
             QVariant(int(Model::UnmarkedImage)));
}

void CGridTableDlgTest::insertAndDeleteAtTheFirstLastAndGreyRows()
{
    const QList<RulerLine> before = rows(*m_engine, RulerTableId::Horizontal);
    const Model& model = grid().Table();
    const auto name = [&](int row) { return model.index(row, Model::NameColumn).data(); };

    click(Model::NameColumn, 0);
    QTest::mouseClick(button("insertRowButton"), Qt::LeftButton);
    QCOMPARE(name(4), QVariant(QString()));
    QCOMPARE(name(5), QVariant(QStringLiteral("1")));
    QTest::mouseClick(button("deleteRowButton"), Qt::LeftButton);
    QCOMPARE(rows(*m_engine, RulerTableId::Horizontal), before);

    // The last data row: the line pushed below the grid comes back on delete.
    const int last = grid().DataRows() - 1;
    click(Model::LaidOutColumn, last);
    QCOMPARE(name(last), QVariant(QStringLiteral("120")));
    QTest::mouseClick(button("insertRowButton"), Qt::LeftButton);
    QCOMPARE(name(last), QVariant(QStringLiteral("120")));
    QCOMPARE(m_engine->rulerTable(RulerTableId::Horizontal)->row(last + 1).szName, "120");
    QTest::mouseClick(button("deleteRowButton"), Qt::LeftButton);
    QCOMPARE(rows(*m_engine, RulerTableId::Horizontal), before);

    // The grey row holds no line: nothing is inserted or deleted there.
    click(Model::NameColumn, last + 1);
    QCOMPARE(grid().CurrentRow(), last + 1);
    QVERIFY(!button("insertRowButton")->isEnabled());
    QVERIFY(!button("deleteRowButton")->isEnabled());
    QVERIFY(editor() == nullptr || !editor()->isVisible());
    click(Model::MarkColumn, last + 1);
    QCOMPARE(rows(*m_engine, RulerTableId::Horizontal), before);
}

void CGridTableDlgTest::badSpacingsAreRefusedAndTheTableKeepsItsValues()
{
    for (const char* text : { "abc", "12abc", "", "-5", "2147483648", "99999999999999999999" }) {
        QVERIFY(grid().SetCurrentCell(Model::SpacingColumn, 3));
        editor()->selectAll();
        QTest::keyClick(editor(), Qt::Key_Delete);
        QTest::keyClicks(editor(), QString::fromLatin1(text));
        QTest::keyClick(editor(), Qt::Key_Return);
        QCOMPARE(grid().CurrentRow(), 3);
        QVERIFY2(!editor()->toolTip().isEmpty(), text);
        QTest::keyClick(editor(), Qt::Key_Escape);
        QCOMPARE(editor()->text(), QStringLiteral("100"));
        QCOMPARE(m_engine->rulerTable(RulerTableId::Horizontal)->row(3).nSpacing, 100);
    }
    // Leaving a refused text by the mouse keeps the old value as well.
    QTest::keyClicks(editor(), QStringLiteral("x"));
    click(Model::NameColumn, 4);
    QCOMPARE(m_engine->rulerTable(RulerTableId::Horizontal)->row(3).nSpacing, 100);
    type(Model::SpacingColumn, 3, QStringLiteral(" 2147483647 "));
    QCOMPARE(m_engine->rulerTable(RulerTableId::Horizontal)->row(3).nSpacing, 2147483647);

    // The common spacing takes the same numbers only.
    const QList<RulerLine> before = rows(*m_engine, RulerTableId::Horizontal);
    for (const char* text : { "abc", "-50", "3000000000" }) {
        m_dialog->BaseCombo().setCurrentText(QString::fromLatin1(text));
        QTest::mouseClick(button("resetBaseButton"), Qt::LeftButton);
        QVERIFY(!m_dialog->BaseCombo().toolTip().isEmpty());
        QCOMPARE(rows(*m_engine, RulerTableId::Horizontal), before);
    }
    m_dialog->BaseCombo().setCurrentText(QStringLiteral("75"));
    QTest::mouseClick(button("resetBaseButton"), Qt::LeftButton);
    for (const RulerLine& line : rows(*m_engine, RulerTableId::Horizontal))
        QCOMPARE(line.nSpacing, 75);
    QCOMPARE(grid().Table().index(599, Model::SpacingColumn).data(), QVariant(u"75"_qs));
}

void CGridTableDlgTest::longNamesAreCutOnACharacterBoundary()
{
    const QList<std::pair<QString, QString>> cases = {
        { u"abcdefgh"_qs, u"abcdef"_qs },
        { u"甲乙丙丁"_qs, u"甲乙丙"_qs },
        { u"abc甲乙"_qs, u"abc甲"_qs },
    };
    for (const auto& [typed, kept] : cases) {
        type(Model::NameColumn, 7, typed);
        QCOMPARE(grid().Table().index(7, Model::NameColumn).data().toString(), kept);
    }
}

void CGridTableDlgTest::editedTableSavedAndShownAgainMatchesCellForCell()
{
    QTemporaryDir dir;
    m_engine->SetDataDir(dir.path());
    type(Model::SpacingColumn, 0, QStringLiteral("333"));
    type(Model::NameColumn, 1, QStringLiteral("轴甲"));
    click(Model::MarkColumn, 3);
    QTest::mouseClick(button("insertRowButton"), Qt::LeftButton);
    type(Model::SpacingColumn, 598, QStringLiteral("0"));
    close();

    open(*m_engine, RulerTableId::Horizontal);
    const QStringList shown = shownCells(grid());
    QCOMPARE(shown.at(Model::ColumnCount + Model::NameColumn), u"轴甲|"_qs);
    close();
    // A project holds at least one picture.
    const QString picture = dir.filePath(QStringLiteral("picture.png"));
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.save(picture);
    m_engine->AddPicture(picture);
    QImage canvas(100, 100, QImage::Format_RGB32);
    QPainter painter(&canvas);
    m_engine->DrawPictures(painter, DisplayMode::Joining);
    painter.end();
    const QString file = dir.filePath(QStringLiteral("rulers.ora"));
    QSignalSpy errors(m_engine.get(), &CImgJoinEngine::errorOccurred);
    QVERIFY2(m_engine->SaveProject(file),
             qPrintable(errors.isEmpty() ? QString() : errors.at(0).at(0).toString()));

    CImgJoinEngine reopened;
    reopened.SetDataDir(dir.path());
    QVERIFY(reopened.OpenProject(file));
    open(reopened, RulerTableId::Horizontal);
    QCOMPARE(shownCells(grid()), shown);
    close();
}

void CGridTableDlgTest::closeGivesTheTableBackAndOnlyOneTableIsEdited()
{
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("水平标尺线表"));
    QCOMPARE(m_dialog->pos(), QPoint(25, 35));
    QVERIFY(CGridTableDlg::Open(*m_engine, RulerTableId::Vertical, {}) == nullptr);

    // A text still in its editor is stored on closing.
    QVERIFY(grid().SetCurrentCell(Model::SpacingColumn, 5));
    QTest::keyClicks(editor(), QStringLiteral("40"));
    m_dialog->reject();
    QCOMPARE(m_engine->rulerTable(RulerTableId::Horizontal)->row(5).nSpacing, 40);
    QCOMPARE(m_engine->GridTableTarget(-1), 0);
}

QTEST_MAIN(CGridTableDlgTest)
#include "CGridTableDlgTest.moc"
