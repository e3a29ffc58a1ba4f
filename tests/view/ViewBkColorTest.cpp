#include "CBkColorDlg.h"
#include "CImgJoinEngine.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "ViewTestSupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace CommandId;
using View = CQznImgEdtJoinView;

class ViewBkColorTest : public QObject
{
    Q_OBJECT

private slots:
    void bandIsSampledFromTheCanvasCutTo120By60();
    void emptyBandIsRefusedWithAStatusMessage();
    void applyIsOneUndoStepThatUndoApplyTakesBack();
    void undoApplyAfterLaterEditsUndoesOnlyTheApply();

private:
    // Draws a sample band from one point to another and ends it with a click.
    static CBkColorDlg* sample(ViewUnderTest& t, const QPoint& from, const QPoint& to)
    {
        t.view->commands().trigger(BackgroundColour);
        QTest::mouseClick(t.view.get(), Qt::LeftButton, {}, from);
        moveMouse(t.view.get(), to, Qt::NoButton);
        QTest::mouseClick(t.view.get(), Qt::LeftButton, {}, to);
        return t.view->findChild<CBkColorDlg*>();
    }
    static void click(CBkColorDlg* dialog, const char* button)
    {
        QTest::mouseClick(dialog->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    }
    // Picks the sample pixel (x, y) and chooses tolerance 10 from the list.
    static void chooseColourAndTolerance(CBkColorDlg* dialog, int x, int y)
    {
        dialog->pickAt(QPoint(x, y) * CBkColorDlg::Enlarge + QPoint(1, 2));
        auto* tolerance = dialog->findChild<QComboBox*>(QStringLiteral("tolerance"));
        const int index = tolerance->findText(QStringLiteral("10"));
        tolerance->setCurrentIndex(index);
        emit tolerance->activated(index);
        QCOMPARE(dialog->tolerance(), 10);
    }
};

void ViewBkColorTest::bandIsSampledFromTheCanvasCutTo120By60()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 500, 400));
    const QImage screen = t.paint();
    QVERIFY(t.view->commands().action(BackgroundColour)->isEnabled());
    CBkColorDlg* dialog = sample(t, QPoint(50, 60), QPoint(350, 260));
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isVisible());
    QCOMPARE(t.view->mouseMode(), MouseMode::Idle);
    QCOMPARE(dialog->sampleRect(), QRect(50, 60, 120, 60));
    for (QPoint p : { QPoint(0, 0), QPoint(119, 59), QPoint(37, 21) })
        QCOMPARE(*dialog->sample().pick(p.x(), p.y()),
                 rgbToColorRef(screen.pixel(p + QPoint(50, 60))));
    QCOMPARE(t.engine->BkColorDlgOpen(-1), 1);

    // No second tool while the first is open; closing it lets the next one open.
    sample(t, QPoint(10, 10), QPoint(40, 40));
    QCOMPARE(t.view->findChildren<CBkColorDlg*>().size(), 1);
    dialog->close();
    QTRY_COMPARE(t.view->findChildren<CBkColorDlg*>().size(), 0);
    QCOMPARE(t.engine->BkColorDlgOpen(-1), 0);
}

void ViewBkColorTest::emptyBandIsRefusedWithAStatusMessage()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 300, 300));
    QSignalSpy status(t.view.get(), &View::statusMessage);
    for (QPoint end : { QPoint(50, 200), QPoint(200, 60) }) {
        QVERIFY(sample(t, QPoint(50, 60), end) == nullptr);
        QCOMPARE(t.view->mouseMode(), MouseMode::Idle);
    }
    QCOMPARE(status.count(), 2);
    QVERIFY(!status.first().first().toString().isEmpty());
    QCOMPARE(t.engine->BkColorDlgOpen(-1), 0);
}

void ViewBkColorTest::applyIsOneUndoStepThatUndoApplyTakesBack()
{
    ViewUnderTest t;
    const QString original = t.writePicture(QStringLiteral("a.png"), 300, 300);
    t.loadAndPaint(original);
    CBkColorDlg* dialog = sample(t, QPoint(40, 50), QPoint(100, 100));
    QVERIFY(dialog != nullptr);
    // Pixel (40 + 10, 50 + 10) of the picture is (50, 60, 77); (51, 61) lies
    // strictly within 10 of it and takes its colour.
    chooseColourAndTolerance(dialog, 10, 10);
    QCOMPARE(dialog->chosenColour(), makeColorRef(50, 60, 77));
    click(dialog, "try");
    QCOMPARE(*dialog->sample().pick(11, 11), makeColorRef(50, 60, 77));
    const int steps = t.engine->undoStack().count();
    click(dialog, "apply");
    QCOMPARE(t.engine->undoStack().count(), steps + 1);
    QCOMPARE(QImage(t.engine->picture(0).file).pixel(51, 61), qRgb(50, 60, 77));
    QCOMPARE(t.paint().pixel(51, 61), qRgb(50, 60, 77)); // the view shows it

    click(dialog, "undoApply");
    QCOMPARE(t.engine->picture(0).file, original);
    QVERIFY(t.engine->undoStack().canRedo());
    QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("undoApply"))->isEnabled());
    QCOMPARE(t.paint().pixel(51, 61), qRgb(51, 61, 77));
}

void ViewBkColorTest::undoApplyAfterLaterEditsUndoesOnlyTheApply()
{
    ViewUnderTest t;
    const QString original = t.writePicture(QStringLiteral("a.png"), 300, 300);
    t.loadAndPaint(original);
    CBkColorDlg* dialog = sample(t, QPoint(40, 50), QPoint(100, 100));
    QVERIFY(dialog != nullptr);
    chooseColourAndTolerance(dialog, 10, 10);
    click(dialog, "apply");
    const QPoint placed(t.engine->picture(0).x, t.engine->picture(0).y);
    t.view->commands().trigger(NudgeRight);
    QCOMPARE(t.engine->picture(0).x, placed.x() + 1);

    click(dialog, "undoApply");
    QCOMPARE(t.engine->picture(0).file, original);
    QCOMPARE(t.engine->picture(0).x, placed.x() + 1); // the nudge stays
}

QTEST_MAIN(ViewBkColorTest)
#include "ViewBkColorTest.moc"
