#include "CGridTableDlg.h"
#include "CImgJoinEngine.h"
#include "CQznImgEdtJoinView.h"
#include "CSaveJoinDlg.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "PixelRules.h"
#include "RulerRefresh.h"
#include "UserPrompts.h"
#include "ViewTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace CommandId;
using View = CQznImgEdtJoinView;

namespace {

// Commands whose features come later: present, never enabled yet.
const QList<int> laterCommands = { DesktopShortcut, LocalManual, OnlineManual, ManualDownload,
                                   WebSite };

// Saving, printing, filters and print jobs: on the canvas, and in output mode.
const QList<int> canvasOutputCommands = { SaveJoined,     FilterNoBlue,   FilterInvert,
                                          FilterLighten,  FilterBrighten, FilterGrey,
                                          FilterContrast, Print,          PrintPreview,
                                          PrintSetup };
const QList<int> outputOnlyCommands = { CopyPicture,  PrintJobCad1,  PrintJobCad2, PrintJobColour,
                                        PrintJobGrey, RestoreOutput, SaveOutputAs, Print,
                                        PrintPreview, PrintSetup };

// Canvas commands that print-output mode disables.
const QList<int> canvasCommands = {
    LoadPicture,  WholeDrawing,  WholeDrawingMenu, Transparent,    NextPicture,      NudgeUp,
    NudgeDown,    NudgeLeft,     NudgeRight,       RotateLeftStep, RotateRightStep,  RotationMenu,
    TrimLineMenu, DeletePicture, LayerUp,          LayerDown,      BackgroundColour, BrushEdit
};

// Commands that stay enabled in both modes.
const QList<int> anyModeCommands = { TrimWindow,     ZoomIn,     ZoomOut,     ZoomOriginal,
                                     ZoomFit,        Redraw,     HorzLines,   VertLines,
                                     RulerMenu,      OutputMode, RulerZoomIn, HorzRulerTable,
                                     VertRulerTable, Camera };

bool enabled(View& view, int id)
{
    return view.commands().action(id)->isEnabled();
}

QList<int> itemIds(QMenu& menu)
{
    QList<int> ids;
    for (QAction* action : menu.actions())
        ids.append(action->data().toInt());
    return ids;
}

// Runs work on the first modal window that opens while the command runs; for
// the file dialog, which the prompts do not cover.
void whenModalOpens(const std::function<void(QWidget*)>& work)
{
    QTimer::singleShot(0, [work] {
        QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
        work(QApplication::activeModalWidget());
    });
}

} // namespace

class ViewCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyActionCarriesItsId();
    void laterCommandsStayDisabled();
    void outputCommandsFollowTheMode();
    void filterAndUndoFromTheMenu();
    void jobCommandsRunTheirOwnJobs();
    void filterCommandsRunTheirOwnFilters();
    void rulesInJoiningMode();
    void rulesInOutputMode();
    void checkMarksFollowSwitches();
    void popupMenusListTheirItems();
    void rulerLinesAreDottedAtLaidOutPlaces();
    void rulerTableCommandsOpenOneDialogAtATime();
    void nudgeRotateAndLayerCommands();
    void deleteAsksFirst();
    void copyFailureIsReportedOnceWithoutABox();
    void saveTellsTheStatusBarWhichFileItWrote();
    void loadDialogFiltersPicturesAndRestoresDirectory();
    void exportPdfAsksForTheFileAndWritesIt();
};

void ViewCommandsTest::everyActionCarriesItsId()
{
    ViewUnderTest t;
    const QList<int> ids = t.view->commands().ids();
    QCOMPARE(QSet<int>(ids.begin(), ids.end()).size(), ids.size());
    for (int id : ids) {
        QAction* action = t.view->commands().action(id);
        QVERIFY2(action != nullptr, qPrintable(QString::number(id)));
        QCOMPARE(action->data().toInt(), id);
        QVERIFY(!action->text().isEmpty());
        QVERIFY(!action->toolTip().isEmpty());
    }
}

void ViewCommandsTest::laterCommandsStayDisabled()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 100, 100));
    for (bool output : { false, true }) {
        if (output)
            t.view->commands().trigger(OutputMode);
        t.view->updateActions();
        for (int id : laterCommands)
            QVERIFY2(!enabled(*t.view, id), qPrintable(QString::number(id)));
    }
}

void ViewCommandsTest::outputCommandsFollowTheMode()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 100, 100));
    t.view->updateActions();
    for (int id : canvasOutputCommands)
        QVERIFY2(enabled(*t.view, id), qPrintable(QString::number(id)));
    for (int id : outputOnlyCommands)
        QVERIFY2(enabled(*t.view, id) == (id == Print || id == PrintPreview || id == PrintSetup),
                 qPrintable(QString::number(id)));
    QVERIFY(!enabled(*t.view, FilterUndo)); // nothing to undo yet

    QVERIFY(enabled(*t.view, TiledPrint) && enabled(*t.view, ExportPdf));
    t.view->commands().trigger(OutputMode);
    t.view->updateActions();
    for (int id : outputOnlyCommands)
        QVERIFY2(enabled(*t.view, id), qPrintable(QString::number(id)));
    QVERIFY(enabled(*t.view, TiledPrint) && enabled(*t.view, ExportPdf));
    for (int id : canvasOutputCommands)
        QVERIFY2(enabled(*t.view, id) == (id == Print || id == PrintPreview || id == PrintSetup),
                 qPrintable(QString::number(id)));
}

void ViewCommandsTest::filterAndUndoFromTheMenu()
{
    ViewUnderTest t;
    const QString original = t.writePicture(QStringLiteral("a.png"), 60, 40);
    t.loadAndPaint(original);
    t.view->commands().trigger(FilterInvert);
    const QString inverted = t.engine->picture(0).file;
    QVERIFY(inverted != original);
    QCOMPARE(QColor(t.paint().pixel(10, 5)), QColor(255 - 10, 255 - 5, 255 - 77));
    t.view->updateActions();
    QVERIFY(enabled(*t.view, FilterUndo));
    t.view->commands().trigger(FilterUndo);
    QCOMPARE(t.engine->picture(0).file, original);
    QCOMPARE(QColor(t.paint().pixel(10, 5)), QColor(10, 5, 77));
}

void ViewCommandsTest::jobCommandsRunTheirOwnJobs()
{
    // White with one red pixel: each job gives its own pair of colours.
    ViewUnderTest t;
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(1, 0, qRgb(255, 0, 0));
    const QString file = QDir(t.dir->path()).filePath(QStringLiteral("w.png"));
    QVERIFY(picture.save(file));
    t.loadAndPaint(file);
    t.view->commands().trigger(OutputMode);
    t.paint();
    const std::tuple<int, QRgb, QRgb> cases[] = {
        { PrintJobColour, qRgb(0, 0, 0), qRgb(255, 0, 0) },
        { PrintJobCad1, qRgb(0, 0, 0), qRgb(178, 178, 178) },
        { PrintJobGrey, qRgb(255, 255, 255), qRgb(76, 76, 76) },
        { PrintJobCad2, qRgb(0, 0, 0), qRgb(76, 76, 76) },
    };
    for (const auto& [id, white, red] : cases) {
        t.view->commands().trigger(RestoreOutput);
        QCOMPARE(t.engine->GetOutputFile(), file);
        t.view->commands().trigger(id);
        const QImage result =
            QImage(t.engine->GetOutputFile()).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(result.pixel(0, 0), white);
        QCOMPARE(result.pixel(1, 0), red);
    }
}

void ViewCommandsTest::filterCommandsRunTheirOwnFilters()
{
    const auto greyOf = [](int r, int g, int b) {
        return QColor(PixelRules::filterPixel(FilterCode::Grey, qRgb(r, g, b), {}));
    };
    // Pixel (10, 5) of the test picture is (10, 5, 77).
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 60, 40));
    const std::pair<int, QColor> cases[] = {
        { FilterInvert, QColor(245, 250, 178) }, { FilterLighten, QColor(9, 4, 69) },
        { FilterBrighten, QColor(11, 5, 84) },   { FilterGrey, greyOf(10, 5, 77) },
        { FilterContrast, QColor(10, 6, 78) },   { FilterNoBlue, QColor(255, 255, 255) },
    };
    for (const auto& [id, colour] : cases) {
        t.view->commands().trigger(id);
        QCOMPARE(QColor(t.paint().pixel(10, 5)), colour);
        t.view->commands().trigger(FilterUndo);
        QCOMPARE(QColor(t.paint().pixel(10, 5)), QColor(10, 5, 77));
    }

    // Grey waits while the background-colour tool is open; saving needs a picture.
    t.engine->BkColorDlgOpen(1);
    t.view->updateActions();
    QVERIFY(!enabled(*t.view, FilterGrey));
    QVERIFY(enabled(*t.view, FilterInvert));
    t.engine->BkColorDlgOpen(0);
    t.view->updateActions();
    QVERIFY(enabled(*t.view, FilterGrey));
    t.engine->ReorderPicture(LayerCode::Delete);
    t.view->updateActions();
    QVERIFY(!enabled(*t.view, SaveJoined));
}

void ViewCommandsTest::rulesInJoiningMode()
{
    ViewUnderTest t;
    t.paint();
    QCOMPARE(t.view->displayMode(), DisplayMode::Joining);
    for (int id : anyModeCommands + QList<int>{ LoadPicture, NudgeUp, RotationMenu })
        QVERIFY2(enabled(*t.view, id), qPrintable(QString::number(id)));
    // Without a picture there is nothing to delete or to move between layers.
    for (int id : { DeletePicture, LayerUp, LayerDown })
        QVERIFY(!enabled(*t.view, id));

    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 100, 100));
    for (int id : canvasCommands)
        QVERIFY2(enabled(*t.view, id), qPrintable(QString::number(id)));
    QCOMPARE(t.view->commands().action(OutputMode)->text(),
             QStringLiteral("切换到打印输出图片方式"));
}

void ViewCommandsTest::rulesInOutputMode()
{
    ViewUnderTest t;
    // Without a picture the switch does nothing but say why.
    QSignalSpy said(t.view.get(), &View::statusMessage);
    t.view->commands().trigger(OutputMode);
    QVERIFY(t.view->displayMode() != DisplayMode::Output);
    QCOMPARE(said.size(), 1);

    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 100, 100));
    t.view->commands().trigger(OutputMode);
    QCOMPARE(t.view->displayMode(), DisplayMode::Output);
    QCOMPARE(t.engine->GetPictureCount(), 0);
    for (int id : canvasCommands)
        QVERIFY2(!enabled(*t.view, id), qPrintable(QString::number(id)));
    for (int id : anyModeCommands)
        QVERIFY2(enabled(*t.view, id), qPrintable(QString::number(id)));
    QCOMPARE(t.view->commands().action(OutputMode)->text(), QStringLiteral("切换到图片拼接方式"));

    // Back: the next paint decides the mode, and the empty canvas shows the splash.
    t.view->commands().trigger(OutputMode);
    QCOMPARE(t.view->displayMode(), DisplayMode::Undecided);
    t.paint();
    QCOMPARE(t.view->displayMode(), DisplayMode::Joining);
    QVERIFY(enabled(*t.view, LoadPicture));
    QCOMPARE(t.engine->NeedsSplash(DisplayMode::Joining), 1);
}

void ViewCommandsTest::checkMarksFollowSwitches()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 100, 100));
    for (int id : { WholeDrawing, Transparent, HorzLines, VertLines }) {
        QAction* action = t.view->commands().action(id);
        QVERIFY(!action->isChecked());
        t.view->commands().trigger(id);
        QVERIFY2(action->isChecked(), qPrintable(QString::number(id)));
    }
    // The menu item and the tool bar button share the one switch.
    QVERIFY(t.view->commands().action(WholeDrawingMenu)->isChecked());
    t.view->commands().trigger(WholeDrawingMenu);
    QVERIFY(!t.view->wholeDrawing());
    QVERIFY(!t.view->commands().action(WholeDrawing)->isChecked());
    QVERIFY(t.engine->hotTransparent());

    // Loading a picture switches whole-drawing mode off, also when the canvas
    // is full and the picture is refused.
    const QString small = t.writePicture(QStringLiteral("b.png"), 50, 50);
    t.view->commands().trigger(WholeDrawing);
    t.view->loadPicture(small);
    QVERIFY(!t.view->commands().action(WholeDrawing)->isChecked());
    while (t.engine->GetPictureCount() < CImgJoinEngine::MaxPictures)
        t.view->loadPicture(small);
    QSignalSpy said(t.view.get(), &View::statusMessage);
    t.view->commands().trigger(WholeDrawing);
    t.view->loadPicture(small);
    QCOMPARE(t.engine->GetPictureCount(), CImgJoinEngine::MaxPictures);
    QVERIFY(!t.view->wholeDrawing());
    QCOMPARE(said.size(), 1);
}

void ViewCommandsTest::popupMenusListTheirItems()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 100, 100));
    std::unique_ptr<QMenu> rotation = t.view->buildPopupMenu(RotationMenu);
    QCOMPARE(itemIds(*rotation), (QList<int>{ RotateNone, RotateRight90, RotateRight180,
                                              RotateLeft90, RotateLeft180 }));
    QCOMPARE(rotation->actions().at(1)->text(), QStringLiteral("顺时针转90"));

    std::unique_ptr<QMenu> trim = t.view->buildPopupMenu(TrimLineMenu);
    QCOMPARE(itemIds(*trim),
             (QList<int>{ TrimLineUp, TrimLineDown, TrimLineLeft, TrimLineRight, ClearTrimLine }));
    QCOMPARE(trim->actions().at(2)->text(), QStringLiteral("修剪线:从右向左拼接←"));

    std::unique_ptr<QMenu> ruler = t.view->buildPopupMenu(RulerMenu);
    QCOMPARE(itemIds(*ruler), (QList<int>{ HorzRulerTable, VertRulerTable, RulerZoomIn,
                                           RulerZoomOut, RulerZoomReset }));
    // The grid-line tables open their dialog; the scale commands work.
    QVERIFY(ruler->actions().at(0)->isEnabled());
    QVERIFY(ruler->actions().at(2)->isEnabled());
}

void ViewCommandsTest::rulerLinesAreDottedAtLaidOutPlaces()
{
    ViewUnderTest t(400, 300);
    t.engine->LayoutRuler(RulerTableId::Horizontal, 0, 400, 0);
    t.engine->LayoutRuler(RulerTableId::Vertical, 0, 300, 0);
    const auto line = [&t](RulerTableId table, int index, QColor& colour) {
        int tick = 0, position = 0;
        ColorRef ref = 0;
        QString name;
        t.engine->GetRulerLine(table, index, tick, position, ref, name);
        colour = colorRefToColor(ref);
        return position;
    };
    QColor vertColour, horzColour;
    const int x = line(RulerTableId::Horizontal, 0, vertColour) - 2;
    const int y = 300 - line(RulerTableId::Vertical, 0, horzColour) + 2;
    QVERIFY(t.paint().pixelColor(x, 0) != vertColour);

    t.view->commands().trigger(VertLines);
    t.view->commands().trigger(HorzLines);
    const QImage shown = t.paint();
    // Every second pixel, from the top and from the left edge.
    QCOMPARE(shown.pixelColor(x, 0), vertColour);
    QCOMPARE(shown.pixelColor(x, 2), vertColour);
    QVERIFY(shown.pixelColor(x, 1) != vertColour);
    QCOMPARE(shown.pixelColor(0, y), horzColour);
    QCOMPARE(shown.pixelColor(2, y), horzColour);
    QVERIFY(shown.pixelColor(1, y) != horzColour);
}

void ViewCommandsTest::nudgeRotateAndLayerCommands()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 100, 100));
    t.loadAndPaint(t.writePicture(QStringLiteral("b.png"), 60, 60));
    CViewCommands& c = t.view->commands();
    c.trigger(NextPicture); // after the last picture comes the first
    QCOMPARE(t.engine->currentPicture(), 0);
    // Each nudge button moves one canvas unit its own way.
    const auto at = [&t] { return QPoint(t.engine->picture(0).x, t.engine->picture(0).y); };
    const std::pair<int, QPoint> nudges[] = {
        { NudgeRight, QPoint(1, 0) }, { NudgeDown, QPoint(1, 1) },  { NudgeDown, QPoint(1, 2) },
        { NudgeLeft, QPoint(0, 2) },  { NudgeLeft, QPoint(-1, 2) }, { NudgeUp, QPoint(-1, 1) }
    };
    for (const auto& [id, expected] : nudges) {
        c.trigger(id);
        QCOMPARE(at(), expected);
    }
    c.trigger(RotateRightStep);
    c.trigger(RotateRightStep);
    QCOMPARE(qRound(t.engine->picture(0).angle * 10), 2);
    c.trigger(RotateLeftStep);
    QCOMPARE(qRound(t.engine->picture(0).angle * 10), 1);
    // The rotation popup's items: clockwise is positive.
    const std::pair<int, float> turns[] = { { RotateRight90, 90.0f },
                                            { RotateLeft90, -90.0f },
                                            { RotateRight180, 180.0f },
                                            { RotateLeft180, -180.0f },
                                            { RotateNone, 0.0f } };
    for (const auto& [id, angle] : turns) {
        c.trigger(id);
        QCOMPARE(t.engine->picture(0).angle, angle);
    }

    // Layers: the current picture moves up, then back down.
    const QString first = t.engine->picture(0).file;
    c.trigger(LayerUp);
    QCOMPARE(t.engine->picture(1).file, first);
    QCOMPARE(t.engine->currentPicture(), 1);
    c.trigger(LayerDown);
    QCOMPARE(t.engine->picture(0).file, first);
    QCOMPARE(t.engine->currentPicture(), 0);
}

void ViewCommandsTest::deleteAsksFirst()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 100, 100));
    QStringList asked;
    bool answer = false;
    UserPrompts prompts;
    prompts.setAsk([&](QWidget* parent, const QString& title, const QString& text) {
        asked << title + '|' + text;
        return parent == t.view.get() && answer;
    });
    t.view->setPrompts(prompts);
    t.view->commands().trigger(DeletePicture);
    QCOMPARE(asked, QStringList{ QStringLiteral("特别提示|真要删除当前拼接图片吗?请确认!") });
    QCOMPARE(t.engine->GetPictureCount(), 1);

    answer = true;
    t.view->commands().trigger(DeletePicture);
    QCOMPARE(asked.size(), 2);
    QCOMPARE(t.engine->GetPictureCount(), 0);
    QVERIFY(!enabled(*t.view, DeletePicture));
    QCOMPARE(t.boxes.caught(), 0);
}

void ViewCommandsTest::saveTellsTheStatusBarWhichFileItWrote()
{
    ViewUnderTest t;
    CSaveJoinDlg::resetRemembered();
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 100, 100));
    QSignalSpy said(t.view.get(), &View::statusMessage);
    whenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<CSaveJoinDlg*>(modal);
        QVERIFY(dialog);
        dialog->nameEdit()->setText(QStringLiteral("plan"));
        dialog->formatCombo()->setCurrentText(QStringLiteral("PNG"));
        dialog->accept();
    });
    t.view->commands().trigger(SaveJoined);
    QCOMPARE(said.size(), 1);
    const QString file = QDir(t.dir->path()).filePath(QStringLiteral("plan.PNG"));
    QCOMPARE(said.first().first().toString(),
             CSaveJoinDlg::savedMessage(file, QFileInfo(file).size()));
}

void ViewCommandsTest::copyFailureIsReportedOnceWithoutABox()
{
    // An output picture that cannot be read is said once, through the
    // engine's error path that the status bar shows; no box stops the user.
    ViewUnderTest t;
    QStringList errors;
    QObject::connect(t.engine.get(), &CImgJoinEngine::errorOccurred,
                     [&errors](const QString& message) { errors << message; });
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 100, 100));
    t.view->commands().trigger(OutputMode);
    t.paint();
    QVERIFY(QFile::remove(t.engine->GetOutputFile()));
    t.engine->ForgetDecodedPictures();
    errors.clear();
    t.view->commands().trigger(CopyPicture);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(t.boxes.caught(), 0);
}

void ViewCommandsTest::loadDialogFiltersPicturesAndRestoresDirectory()
{
    ViewUnderTest t;
    const QString picture = t.writePicture(QStringLiteral("图纸一.png"), 120, 80);
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path());
    t.view->commands().trigger(WholeDrawing);

    QStringList filters;
    whenModalOpens([&filters, picture](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        QVERIFY(dialog != nullptr);
        filters = dialog->nameFilters();
        dialog->selectFile(picture);
        static_cast<QDialog*>(dialog)->accept();
    });
    t.view->commands().trigger(LoadPicture);

    QCOMPARE(filters.size(), 1);
    QVERIFY(filters.constFirst().startsWith(QStringLiteral("图形文件(*.bmp,*.jpg,*.png,*.gif)")));
    QCOMPARE(t.engine->GetPictureCount(), 1);
    QCOMPARE(t.engine->picture(0).file, picture);
    QVERIFY(!t.view->wholeDrawing());
    QCOMPARE(QDir::currentPath(), QDir(t.dir->path()).canonicalPath());

    // Cancel loads nothing and still goes back to the program directory.
    QDir::setCurrent(elsewhere.path());
    whenModalOpens([](QWidget* window) { qobject_cast<QDialog*>(window)->reject(); });
    t.view->commands().trigger(LoadPicture);
    QCOMPARE(t.engine->GetPictureCount(), 1);
    QCOMPARE(QDir::currentPath(), QDir(t.dir->path()).canonicalPath());
}

void ViewCommandsTest::exportPdfAsksForTheFileAndWritesIt()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 120, 80));
    const QString target = QDir(t.dir->path()).filePath(QStringLiteral("图纸"));
    whenModalOpens([target](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        QVERIFY(dialog != nullptr);
        dialog->selectFile(target);
        static_cast<QDialog*>(dialog)->accept();
    });
    t.view->commands().trigger(ExportPdf);
    // The ending is added to a name typed without one.
    QFile pdf(target + QStringLiteral(".pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.readAll().startsWith("%PDF"));
}

void ViewCommandsTest::rulerTableCommandsOpenOneDialogAtATime()
{
    ViewUnderTest t;
    QSignalSpy refresh(t.view.get(), &View::rulerRefresh);
    t.view->commands().trigger(VertRulerTable);
    QPointer<CGridTableDlg> dialog = t.view->gridTableDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(t.engine->GridTableTarget(-1), codeValue(RulerTableId::Vertical));
    // While one table is edited the other command opens nothing.
    t.view->commands().trigger(HorzRulerTable);
    QCOMPARE(t.view->gridTableDialog(), dialog.data());
    QCOMPARE(t.engine->GridTableTarget(-1), codeValue(RulerTableId::Vertical));

    // Its refresh codes reach the frame through the view.
    dialog->reject();
    QCOMPARE(refresh.count(), 1);
    QCOMPARE(refresh.at(0).at(0).toInt(), RulerRefresh::RRN_TABLE_CLOSED);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull());
    t.view->commands().trigger(HorzRulerTable);
    QVERIFY(t.view->gridTableDialog() != nullptr);
    QCOMPARE(t.engine->GridTableTarget(-1), codeValue(RulerTableId::Horizontal));
    delete t.view->gridTableDialog();
}

QTEST_MAIN(ViewCommandsTest)
#include "ViewCommandsTest.moc"
