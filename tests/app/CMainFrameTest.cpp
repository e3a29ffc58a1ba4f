#include "CMainFrame.h"
#include "CALXCellEdit.h"
#include "CGridTableDlg.h"
#include "CHorzRulerBar.h"
#include "CImgJoinEngine.h"
#include "CQznImgEdtJoinView.h"
#include "CRulerGridCtrl.h"
#include "CVertRulerBar.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "GlobalHotKey.h"
#include "PrintInfoBlock.h"
#include "RulerRefresh.h"
#include "ScreenGrabber.h"
#include "UserPrompts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>

namespace {

void writeFile(const QString& path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write("x");
}

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}

// Command ids of a menu or tool bar, 0 for each separator.
QList<int> layoutOf(const QList<QAction*>& actions)
{
    QList<int> ids;
    for (QAction* action : actions)
        ids.append(action->isSeparator() ? 0 : action->data().toInt());
    return ids;
}

// Whether the view shows a dotted vertical line at x in the colour given.
bool dottedColumn(const QImage& shown, int x, QColor colour)
{
    for (int y = 0; y < 20; y += 2) {
        if (shown.pixelColor(x, y) != colour)
            return false;
    }
    return true;
}

// Hands out a magenta screen and notes whether the window was on the screen.
class FakeGrabber : public ScreenGrabber
{
public:
    explicit FakeGrabber(const QWidget& window)
        : ScreenGrabber(nullptr)
        , m_window(window)
    {
    }

    void grab() override
    {
        ++calls;
        windowShown = m_window.isVisible() && !m_window.isMinimized();
        QImage screen(32, 24, QImage::Format_RGB32);
        screen.fill(Qt::magenta);
        emit grabbed(screen);
    }

    int calls = 0;
    bool windowShown = true;

private:
    const QWidget& m_window;
};

} // namespace

class CMainFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void frameHandsItsPromptsToTheView();
    void closingEmptiesTemporaryFolder();
    void engineFailuresReachStatusBar();
    void menusFollowTheLayout();
    void toolBarFollowsTheLayout();
    void rulerBarsAlongViewEdges();
    void rulerScaleReachesViewThroughBars();
    void spacingEditedInTheTableDialogMovesTheBarsLines();
    void refreshCodesForViewsAreRelayed();
    void popupMenuOpensBelowItsButton();
    void statusBarSwitchKeepsItsMark();
    void handedOverPictureOpensInOutputMode();
    void positionPaneAndKeysInTheWindow();
    void captureCommandGrabsWithTheWindowHidden();
    void hotKeyCapturesOnlyWhileMinimised();

private:
    std::unique_ptr<QTemporaryDir> m_dataDir;
    std::unique_ptr<CImgJoinEngine> m_engine;
};

void CMainFrameTest::init()
{
    m_dataDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dataDir->isValid());
    m_engine = std::make_unique<CImgJoinEngine>();
    m_engine->SetDataDir(m_dataDir->path());
}

void CMainFrameTest::cleanup()
{
    m_engine.reset();
    m_dataDir.reset();
}

void CMainFrameTest::frameHandsItsPromptsToTheView()
{
    CMainFrame frame(*m_engine);
    QCOMPARE(frame.windowTitle(), QStringLiteral("Lumo图片拼接及打印软件 v1.2"));
    const QString picture = QDir(m_dataDir->path()).filePath(QStringLiteral("a.png"));
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QVERIFY(image.save(picture));
    frame.view()->loadPicture(picture);

    QStringList asked;
    UserPrompts prompts;
    prompts.setAsk([&asked](QWidget*, const QString& title, const QString& text) {
        asked << title + '|' + text;
        return false;
    });
    frame.setPrompts(prompts);
    // A question that went around the prompts would open a box: it is closed
    // and noted.
    bool boxOpened = false;
    QTimer::singleShot(0, &frame, [&boxOpened] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxOpened = true;
            box->reject();
        }
    });
    frame.view()->commands().trigger(CommandId::DeletePicture);
    QCOMPARE(asked, QStringList{ QStringLiteral("特别提示|真要删除当前拼接图片吗?请确认!") });
    QCOMPARE(m_engine->GetPictureCount(), 1);
    QVERIFY(!boxOpened);
}

void CMainFrameTest::closingEmptiesTemporaryFolder()
{
    const QString temp = m_engine->tempDir();
    QVERIFY(QDir().mkpath(temp));
    const QStringList names = { QStringLiteral("tmpClipWinPic_0.png"),
                                QStringLiteral("tmpPrtoutImg678.jpg"),
                                QStringLiteral("hotCaptureScrn_gcc345.bmp") };
    for (const QString& name : names)
        writeFile(QDir(temp).filePath(name));

    CMainFrame frame(*m_engine);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(filesIn(temp).size(), names.size()); // nothing goes before the close

    QVERIFY(frame.close());
    QVERIFY(!frame.isVisible());
    QVERIFY(filesIn(temp).isEmpty());
}

void CMainFrameTest::engineFailuresReachStatusBar()
{
    CMainFrame frame(*m_engine);
    frame.show();
    const QString message = QStringLiteral("无法读取图片 a.png");
    emit m_engine->errorOccurred(message);
    QCOMPARE(frame.statusBar()->currentMessage(), message);
    // Passing over menu items and buttons leaves the message in place.
    QStatusTipEvent tip(QString{});
    QCoreApplication::sendEvent(&frame, &tip);
    QCOMPARE(frame.statusBar()->currentMessage(), message);
    // The free-memory pane keeps its own place beside the message.
    auto* memory = frame.statusBar()->findChild<QLabel*>(QStringLiteral("memoryPane"));
    QVERIFY(memory != nullptr);
    // The analyser does not know that QVERIFY above returns when memory is null.
    QVERIFY(memory->text().endsWith( // NOLINT(clang-analyzer-core.CallAndMessage)
        QStringLiteral(".00KB")));
}

void CMainFrameTest::menusFollowTheLayout()
{
    using namespace CommandId;
    CMainFrame frame(*m_engine);
    const CViewCommands& commands = frame.view()->commands();
    const QList<CMainFrame::MenuLayout> layout = CMainFrame::menuLayout();
    const QList<QAction*> menus = frame.menuBar()->actions();
    QCOMPARE(menus.size(), 6);
    QCOMPARE(menus.size(), layout.size());
    QCOMPARE(menus.at(0)->text(), QStringLiteral("文件(&F)"));
    QCOMPARE(menus.at(1)->text(), QStringLiteral("编辑(&E)"));
    QCOMPARE(menus.at(5)->text(), QStringLiteral("帮助(&H)"));
    QCOMPARE(menus.at(2)->text(), QStringLiteral("控制设置"));
    QCOMPARE(menus.at(3)->text(), QStringLiteral("图片滤镜/修改"));
    QCOMPARE(menus.at(4)->text(), QStringLiteral("查看(&V)"));

    QSet<int> inMenus;
    for (int m = 0; m < layout.size(); ++m) {
        QCOMPARE(menus.at(m)->text(), layout.at(m).title);
        const QList<QAction*> items = menus.at(m)->menu()->actions();
        QCOMPARE(layoutOf(items), layout.at(m).items);
        for (int i = 0; i < items.size(); ++i) {
            const int id = layout.at(m).items.at(i);
            if (id == 0)
                continue;
            if (id == RecentFileMenu) {
                QVERIFY(items.at(i)->menu() != nullptr);
                continue;
            }
            // The command's own action, so its state and check mark are shared.
            QVERIFY2(commands.action(id) != nullptr, qPrintable(QString::number(id)));
            QCOMPARE(items.at(i), commands.action(id));
            QVERIFY2(!CViewCommands::isPopupItem(id), qPrintable(QString::number(id)));
            QVERIFY2(!inMenus.contains(id), qPrintable(QString::number(id)));
            inMenus.insert(id);
        }
    }
    // Every command but the popup items can be reached from a menu or the
    // tool bar.
    QSet<int> onToolBar;
    for (const QList<int>& group : CMainFrame::toolBarGroups())
        onToolBar.unite(QSet<int>(group.begin(), group.end()));
    for (int id : commands.ids()) {
        if (CViewCommands::isPopupItem(id))
            continue;
        QVERIFY2(inMenus.contains(id) || onToolBar.contains(id), qPrintable(QString::number(id)));
    }
    // The document commands head the file menu, with their keys.
    QCOMPARE(commands.action(FileSaveAs)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));

    // The print commands stay together in the file menu, tiled printing and
    // the PDF file right after the page setup.
    const QList<int>& fileItems = layout.at(0).items;
    const qsizetype print = fileItems.indexOf(Print);
    QVERIFY(print >= 0);
    QCOMPARE(fileItems.mid(print, 5),
             (QList<int>{ Print, PrintPreview, PrintSetup, TiledPrint, ExportPdf }));

    // Opening a menu brings its items up to date with the canvas.
    QMenu* file = menus.at(0)->menu();
    QVERIFY(!commands.action(SaveJoined)->isEnabled());
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString picture = QDir(m_dataDir->path()).filePath(QStringLiteral("a.png"));
    QVERIFY(image.save(picture));
    m_engine->AddPicture(picture);
    QVERIFY(!commands.action(SaveJoined)->isEnabled());
    emit file->aboutToShow();
    QVERIFY(commands.action(SaveJoined)->isEnabled());
}

void CMainFrameTest::toolBarFollowsTheLayout()
{
    using namespace CommandId;
    CMainFrame frame(*m_engine);
    const CViewCommands& commands = frame.view()->commands();
    // The groups in order, one separator between two groups.
    QList<int> expected;
    for (const QList<int>& group : CMainFrame::toolBarGroups()) {
        QVERIFY(!group.isEmpty());
        if (!expected.isEmpty())
            expected.append(0);
        expected += group;
    }
    const QList<QAction*> buttons = frame.toolBar()->actions();
    QCOMPARE(layoutOf(buttons), expected);
    QSet<int> seen;
    for (int i = 0; i < buttons.size(); ++i) {
        const int id = expected.at(i);
        if (id == 0)
            continue;
        QCOMPARE(buttons.at(i), commands.action(id));
        QVERIFY2(!CViewCommands::isPopupItem(id), qPrintable(QString::number(id)));
        QVERIFY2(!seen.contains(id), qPrintable(QString::number(id)));
        seen.insert(id);
    }
    QCOMPARE(frame.view()->commands().action(LayerDown)->toolTip(),
             QStringLiteral("下移拼接图片层"));
}

void CMainFrameTest::rulerBarsAlongViewEdges()
{
    CMainFrame frame(*m_engine);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    const QRect view = frame.view()->geometry();
    const QRect horz = frame.horzRuler()->geometry();
    const QRect vert = frame.vertRuler()->geometry();
    QCOMPARE(horz.height(), 26);
    QCOMPARE(vert.width(), 38);
    // The horizontal bar runs under the view and the vertical bar, the
    // vertical bar along the view's right edge.
    QCOMPARE(horz.top(), view.bottom() + 1);
    QCOMPARE(horz.left(), view.left());
    QCOMPARE(horz.right(), vert.right());
    QCOMPARE(vert.left(), view.right() + 1);
    QCOMPARE(vert.top(), view.top());
    QCOMPARE(vert.bottom(), view.bottom());
    QVERIFY(horz.bottom() < frame.statusBar()->geometry().top());
}

void CMainFrameTest::spacingEditedInTheTableDialogMovesTheBarsLines()
{
    using namespace CommandId;
    CMainFrame frame(*m_engine);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    const auto linePosition = [this](RulerTableId table, int i) {
        int tick = 0;
        int position = -1;
        ColorRef ref = 0;
        QString name;
        m_engine->GetRulerLine(table, i, tick, position, ref, name);
        return position;
    };
    QTRY_COMPARE(linePosition(RulerTableId::Horizontal, 1), 20);
    QTRY_COMPARE(linePosition(RulerTableId::Vertical, 1), 20);

    frame.view()->commands().trigger(HorzRulerTable);
    CGridTableDlg* dialog = frame.view()->gridTableDialog();
    QVERIFY(dialog != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    CRulerGridCtrl& grid = dialog->Grid();
    QVERIFY(grid.SetCurrentCell(1, 0));
    CALXCellEdit* editor = grid.viewport()->findChild<CALXCellEdit*>();
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, QStringLiteral("300"));
    QTest::keyClick(editor, Qt::Key_Return);

    // Apply lays out the edited table's bar only.
    m_engine->GridTableTarget(codeValue(RulerTableId::Vertical));
    m_engine->SetRulerSpacingAll(50);
    m_engine->GridTableTarget(codeValue(RulerTableId::Horizontal));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("applyButton")),
                      Qt::LeftButton);
    QTRY_COMPARE(linePosition(RulerTableId::Horizontal, 1), 40);
    QTest::qWait(50);
    QCOMPARE(linePosition(RulerTableId::Vertical, 1), 20);

    // Closing lays out both bars and gives the table back.
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("closeButton")),
                      Qt::LeftButton);
    QCOMPARE(m_engine->GridTableTarget(-1), 0);
    QTRY_COMPARE(linePosition(RulerTableId::Vertical, 1), 15);
    QCOMPARE(linePosition(RulerTableId::Horizontal, 1), 40);
}

void CMainFrameTest::rulerScaleReachesViewThroughBars()
{
    using namespace CommandId;
    CMainFrame frame(*m_engine);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CQznImgEdtJoinView* view = frame.view();
    view->commands().trigger(VertLines);

    const auto firstLine = [this](int& position, QColor& colour) {
        int tick = 0;
        ColorRef ref = 0;
        QString name;
        const bool laidOut =
            m_engine->GetRulerLine(RulerTableId::Horizontal, 0, tick, position, ref, name) == 1;
        colour = colorRefToColor(ref);
        return laidOut;
    };
    int before = 0;
    QColor colour;
    QTRY_VERIFY(firstLine(before, colour));
    QTRY_VERIFY(dottedColumn(view->grab().toImage(), before - 2, colour));

    // The scale command goes to the frame, the bars lay out again and tell
    // the frame, which has the view draw its lines at the new places.
    view->commands().trigger(RulerZoomOut);
    int after = before;
    QTRY_VERIFY(firstLine(after, colour) && after < before);
    QTRY_VERIFY(dottedColumn(view->grab().toImage(), after - 2, colour));
    QVERIFY(!dottedColumn(view->grab().toImage(), before - 2, colour));
}

void CMainFrameTest::refreshCodesForViewsAreRelayed()
{
    CMainFrame frame(*m_engine);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CQznImgEdtJoinView* view = frame.view();
    QTRY_VERIFY(view->canvasRenders() > 0);
    for (int code : { RulerRefresh::RRN_REFRESH_VIEWS, RulerRefresh::RRN_BAR_CHANGED }) {
        const int renders = view->canvasRenders();
        frame.relayRulerRefresh(code, 0);
        QTRY_VERIFY(view->canvasRenders() > renders);
    }
    // The grid-line dialog is not open: applying it changes nothing.
    const int renders = view->canvasRenders();
    frame.relayRulerRefresh(RulerRefresh::RRN_TABLE_APPLY, 0);
    QTest::qWait(50);
    QCOMPARE(view->canvasRenders(), renders);
}

void CMainFrameTest::popupMenuOpensBelowItsButton()
{
    using namespace CommandId;
    CMainFrame frame(*m_engine);
    frame.move(0, 0);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    // Small pictures keep every button within the screen.
    QPixmap dot(8, 8);
    dot.fill(Qt::darkCyan);
    for (QAction* action : frame.toolBar()->actions())
        action->setIcon(QIcon(dot));
    QWidget* button = frame.toolBar()->widgetForAction(frame.view()->commands().action(RulerMenu));
    QVERIFY(button != nullptr);
    QTRY_VERIFY(button->isVisible());
    const QPoint expected = button->mapToGlobal(QPoint(0, button->height()));

    QPoint openedAt;
    QList<int> items;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        openedAt = menu->pos();
        items = layoutOf(menu->actions());
        menu->close();
    });
    frame.view()->commands().trigger(RulerMenu);
    QCOMPARE(openedAt, expected);
    QCOMPARE(items, (QList<int>{ HorzRulerTable, VertRulerTable, RulerZoomIn, RulerZoomOut,
                                 RulerZoomReset }));
}

void CMainFrameTest::statusBarSwitchKeepsItsMark()
{
    CMainFrame frame(*m_engine);
    frame.show();
    QAction* toggle = frame.view()->commands().action(CommandId::StatusBar);
    QVERIFY(toggle->isChecked());
    // Every command brings the actions up to date; the mark stays with the bar.
    frame.view()->commands().trigger(CommandId::Redraw);
    QVERIFY(toggle->isChecked());
    toggle->trigger();
    QVERIFY(!frame.statusBar()->isVisible());
    QVERIFY(!toggle->isChecked());
    frame.view()->updateActions();
    QVERIFY(!toggle->isChecked());
    toggle->trigger();
    QVERIFY(frame.statusBar()->isVisible());
    QVERIFY(toggle->isChecked());
}

void CMainFrameTest::handedOverPictureOpensInOutputMode()
{
    const QString plan = QDir(m_dataDir->path()).filePath(QStringLiteral("plan.png"));
    QImage picture(60, 40, QImage::Format_RGB32);
    picture.fill(Qt::darkRed);
    QVERIFY(picture.save(plan));
    PrintInfoBlock block;
    block.setStatus(PrintInfoBlock::Pending);
    QVERIFY(block.setDirectory(m_dataDir->path()));
    QVERIFY(block.setName(QStringLiteral("plan.png")));
    block.setRows(1);
    block.setColumns(1);
    QFile handOver(m_engine->printInfoFile());
    QVERIFY(handOver.open(QIODevice::WriteOnly));
    handOver.write(block.bytes());
    handOver.close();

    CMainFrame frame(*m_engine);
    QVERIFY(frame.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CQznImgEdtJoinView* view = frame.view();
    QTRY_COMPARE(view->displayMode(), DisplayMode::Output);
    QCOMPARE(m_engine->GetOutputFile(), plan);
    // The output picture fills the view, fitted at the first paint.
    QCOMPARE(view->grab().toImage().pixelColor(10, 10), QColor(Qt::darkRed));
    QVERIFY(!view->commands().action(CommandId::LoadPicture)->isEnabled());

    // Without a waiting picture the window is an ordinary one.
    CMainFrame second(*m_engine);
    QVERIFY(!second.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void CMainFrameTest::positionPaneAndKeysInTheWindow()
{
    CMainFrame frame(*m_engine);
    frame.show();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    const QString picture = QDir(m_dataDir->path()).filePath(QStringLiteral("a.png"));
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QVERIFY(image.save(picture));
    frame.view()->loadPicture(picture);
    frame.view()->setFocus();
    frame.view()->grab();
    auto* pane = frame.statusBar()->findChild<QLabel*>(QStringLiteral("positionPane"));
    QVERIFY(pane != nullptr);
    QCOMPARE(pane->text(), QStringLiteral("a.png  x=0 y=0 宽=40 高=30  角度 0.0°  缩放 100%"));
    // The key of a command that the menu, the tool bar and the view all
    // carry runs it once.
    QTest::keyClick(frame.view(), Qt::Key_Down);
    QCOMPARE(m_engine->picture(0).y, 1);
    QCOMPARE(pane->text(), QStringLiteral("a.png  x=0 y=1 宽=40 高=30  角度 0.0°  缩放 100%"));
}

void CMainFrameTest::captureCommandGrabsWithTheWindowHidden()
{
    CMainFrame frame(*m_engine);
    auto* grabber = new FakeGrabber(frame);
    frame.setScreenGrabber(grabber);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QAction* command = frame.view()->commands().action(CommandId::ScreenCapture);
    QVERIFY(command->isEnabled());

    command->trigger();
    QVERIFY(!frame.isVisible());
    QVERIFY(frame.capturing());
    command->trigger(); // a second one while the first runs
    QTRY_COMPARE(m_engine->GetPictureCount(), 1);
    QCOMPARE(grabber->calls, 1);
    QVERIFY(!grabber->windowShown);
    QVERIFY(frame.isVisible());
    QVERIFY(!frame.capturing());
    QCOMPARE(QImage(m_engine->picture(0).file).pixelColor(1, 1), QColor(Qt::magenta));
}

void CMainFrameTest::hotKeyCapturesOnlyWhileMinimised()
{
    CMainFrame frame(*m_engine);
    auto* grabber = new FakeGrabber(frame);
    frame.setScreenGrabber(grabber);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    // This desktop has no global keys; the key's signal stands in for it.
    emit frame.hotKey()->activated();
    QTest::qWait(50);
    QCOMPARE(grabber->calls, 0);
    QCOMPARE(m_engine->GetPictureCount(), 0);

    frame.showMinimized();
    QTRY_VERIFY(frame.isMinimized());
    emit frame.hotKey()->activated();
    QCOMPARE(grabber->calls, 1);
    QCOMPARE(m_engine->GetPictureCount(), 1);
    QTRY_VERIFY(!frame.isMinimized());
    QVERIFY(frame.isVisible());
}

QTEST_MAIN(CMainFrameTest)
#include "CMainFrameTest.moc"
