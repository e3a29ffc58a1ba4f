#include "CTiledPrintDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

using Mode = TileLayout::Choice::Mode;

namespace {

// 8 x 11 inches at 600 units to the inch.
const QSizeF Sheet(4800.0, 6600.0);
constexpr double Dpi = 600.0;

} // namespace

class CTiledPrintDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void startsFromTheKeptChoiceAndCountsTheSheets();
    void editingANumberPicksItsWayOfTiling();
    void tooManySheetsCannotBePrinted();
    void buttonsEndTheDialogWithTheirAction();
};

void CTiledPrintDlgTest::startsFromTheKeptChoiceAndCountsTheSheets()
{
    TileLayout::Choice kept;
    kept.mode = Mode::Scale;
    kept.scalePercent = 100.0;
    kept.sheetsWide = 4;
    CTiledPrintDlg dialog(QSize(2000, 1500), Sheet, Dpi, kept);
    QVERIFY(dialog.scaleButton()->isChecked());
    QCOMPARE(dialog.scaleBox()->value(), 100);
    QCOMPARE(dialog.sheetsWideBox()->value(), 4);
    // 3 x 2 sheets at 100 %.
    QVERIFY(dialog.summaryLabel()->text().contains(QStringLiteral("共6张")));
    QCOMPARE(dialog.layout().count(), 6);
    QVERIFY(dialog.printButton()->isEnabled());

    dialog.onePageButton()->setChecked(true);
    QCOMPARE(dialog.choice().mode, Mode::OnePage);
    QVERIFY(!dialog.layout().valid());
    QVERIFY(dialog.printButton()->isEnabled());
}

void CTiledPrintDlgTest::editingANumberPicksItsWayOfTiling()
{
    CTiledPrintDlg dialog(QSize(2000, 1500), Sheet, Dpi, TileLayout::Choice());
    QVERIFY(dialog.onePageButton()->isChecked());
    dialog.sheetsWideBox()->setValue(3);
    QVERIFY(dialog.sheetsWideButton()->isChecked());
    QCOMPARE(dialog.choice().mode, Mode::SheetsWide);
    QCOMPARE(dialog.layout().columns(), 3);
    QVERIFY(dialog.summaryLabel()->text().contains(QStringLiteral("横向3张")));
    dialog.scaleBox()->setValue(50);
    QVERIFY(dialog.scaleButton()->isChecked());
    QCOMPARE(dialog.choice().scalePercent, 50.0);
    QCOMPARE(dialog.choice().sheetsWide, 3);
}

void CTiledPrintDlgTest::tooManySheetsCannotBePrinted()
{
    TileLayout::Choice kept;
    kept.mode = Mode::Scale;
    kept.scalePercent = TileLayout::MaxScalePercent;
    CTiledPrintDlg dialog(QSize(2000, 1500), Sheet, Dpi, kept);
    QVERIFY(!dialog.printButton()->isEnabled());
    QVERIFY(!dialog.previewButton()->isEnabled());
    QVERIFY(dialog.summaryLabel()->text().contains(QString::number(TileLayout::MaxSheets)));
    dialog.scaleBox()->setValue(100);
    QVERIFY(dialog.printButton()->isEnabled());
}

void CTiledPrintDlgTest::buttonsEndTheDialogWithTheirAction()
{
    CTiledPrintDlg dialog(QSize(200, 150), Sheet, Dpi, TileLayout::Choice());
    QCOMPARE(dialog.action(), CTiledPrintDlg::Action::Cancel);
    dialog.previewButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.action(), CTiledPrintDlg::Action::Preview);
    dialog.printButton()->click();
    QCOMPARE(dialog.action(), CTiledPrintDlg::Action::Print);
}

QTEST_MAIN(CTiledPrintDlgTest)
#include "CTiledPrintDlgTest.moc"
