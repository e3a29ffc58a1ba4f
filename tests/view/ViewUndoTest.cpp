#include "CImgJoinEngine.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "ViewTestSupport.h"

#include <QAction>
#include <QTest>

using namespace CommandId;

namespace {

QPoint boxOf(const CImgJoinEngine& engine)
{
    return QPoint(engine.picture(0).x, engine.picture(0).y);
}

} // namespace

class ViewUndoTest : public QObject
{
    Q_OBJECT

private slots:
    void keysUndoAndRedoMouseAndKeyEdits();
    void commandsFollowTheStack();
};

void ViewUndoTest::keysUndoAndRedoMouseAndKeyEdits()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 200, 100));
    const QImage loaded = t.paint();

    dragMouse(t.view.get(), Qt::MiddleButton, QPoint(100, 100), QPoint(130, 150));
    QCOMPARE(boxOf(*t.engine), QPoint(30, 50));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(t.view.get(), Qt::Key_Right);
    QCOMPARE(boxOf(*t.engine), QPoint(33, 50));
    const QImage moved = t.paint();

    // The drag and the nudges after it are one step, and the view shows
    // the picture where it was as soon as the key is pressed.
    QTest::keyClick(t.view.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(boxOf(*t.engine), QPoint(0, 0));
    QCOMPARE(t.paint(), loaded);
    QTest::keyClick(t.view.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(boxOf(*t.engine), QPoint(33, 50));
    QCOMPARE(t.paint(), moved);

    // The load itself is a step too.
    QTest::keyClick(t.view.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(t.view.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(t.engine->GetPictureCount(), 0);
    QTest::keyClick(t.view.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(t.engine->GetPictureCount(), 1);
    QCOMPARE(boxOf(*t.engine), QPoint(0, 0));
}

void ViewUndoTest::commandsFollowTheStack()
{
    ViewUnderTest t;
    CViewCommands& commands = t.view->commands();
    QAction* undo = commands.action(EditUndo);
    QAction* redo = commands.action(EditRedo);
    QVERIFY(undo->toolTip().contains(
        QKeySequence(QStringLiteral("Ctrl+Z")).toString(QKeySequence::NativeText)));
    QVERIFY(redo->toolTip().contains(
        QKeySequence(QStringLiteral("Ctrl+Y")).toString(QKeySequence::NativeText)));
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());

    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 200, 100));
    // Edits made outside the command table switch the commands on as well.
    QVERIFY(undo->isEnabled());
    commands.trigger(FilterInvert);
    const QString inverted = t.engine->picture(0).file;
    commands.trigger(EditUndo);
    QVERIFY(t.engine->picture(0).file != inverted);
    QVERIFY(redo->isEnabled());
    commands.trigger(EditRedo);
    QCOMPARE(t.engine->picture(0).file, inverted);
    QVERIFY(!redo->isEnabled());

    // The canvas edits are not undone from print-output mode.
    commands.trigger(OutputMode);
    QVERIFY(!undo->isEnabled());
}

QTEST_MAIN(ViewUndoTest)
#include "ViewUndoTest.moc"
