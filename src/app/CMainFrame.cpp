#include "CMainFrame.h"

#include "CAboutDlg.h"
#include "CHorzRulerBar.h"
#include "CImgJoinEngine.h"
#include "CQznImgEdtJoinDoc.h"
#include "CQznImgEdtJoinView.h"
#include "CVertRulerBar.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "DesktopShortcutMaker.h"
#include "GlobalHotKey.h"
#include "MemoryInfo.h"
#include "RecentFiles.h"
#include "RulerRefresh.h"
#include "ScreenGrabber.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

using namespace CommandId;

namespace {

constexpr int InitialWidth = 1024;
constexpr int InitialHeight = 720;
constexpr int ErrorShownMs = 8000;
constexpr int MemoryPaneWidth = 100;
constexpr int MinimisedWidth = 100;
constexpr int ToolBarIconSize = 20;
// How long the desktop gets to take the hidden window off the screen before
// the capture command grabs it; compositors fade windows out.
constexpr int WindowGoneMs = 400;
constexpr char AskHotKeyLetter = ' ';

// The available memory as the status bar shows it: "<kilobytes>.00KB".
QString availableMemoryText()
{
    return QString::asprintf("%.2fKB", double(MemoryInfo::availableKb()));
}

} // namespace

CMainFrame::CMainFrame(CImgJoinEngine& engine, QWidget* parent)
    : QMainWindow(parent)
    , m_engine(engine)
{
    setWindowTitle(frameTitle());
    // A picture handed over by another program keeps the window in front.
    if (m_engine.HasPendingPrintImage() == 1)
        setWindowFlag(Qt::WindowStaysOnTopHint);
    createCanvasArea();
    m_document = new CQznImgEdtJoinDoc(m_engine, this);
    m_view->setPrompts(m_prompts);
    bindFrameCommands();
    createMenus();
    createToolBar();
    createStatusBar();
    connectRefreshChain();
    m_view->updateActions();
    resize(InitialWidth, InitialHeight);
    setScreenGrabber(ScreenGrabber::create());
    // The key of the settings read before the window: a failure to get it
    // leaves the capture command as the way in.
    m_hotKey = GlobalHotKey::create(this);
    connect(m_hotKey, &GlobalHotKey::activated, this, &CMainFrame::onHotKey);
    m_hotKey->registerKey(m_engine.HotKeyLetter(AskHotKeyLetter));
}

CMainFrame::~CMainFrame() = default;

QString CMainFrame::frameTitle()
{
    return tr("Lumo图片拼接及打印软件 v1.2");
}

QList<CMainFrame::MenuLayout> CMainFrame::menuLayout()
{
    return { { tr("文件(&F)"), { FileNew,    FileOpen,
                                 FileSave,   FileSaveAs,
                                 0,          RecentFileMenu,
                                 0,          LoadPicture,
                                 0,          SaveJoined,
                                 0,          CopyPicture,
                                 0,          PrintJobCad1,
                                 0,          PrintJobCad2,
                                 0,          PrintJobColour,
                                 0,          PrintJobGrey,
                                 0,          RestoreOutput,
                                 0,          SaveOutputAs,
                                 0,          0,
                                 Print,      PrintPreview,
                                 PrintSetup, TiledPrint,
                                 ExportPdf,  0,
                                 Exit } },
             { tr("编辑(&E)"), { EditUndo, EditRedo } },
             { tr("控制设置"),
               { WholeDrawingMenu, 0, Transparent, 0, OutputMode, 0, Camera, ScreenCapture, 0,
                 AutoAlignCurrent, AutoJoinAll, 0, PlayMusic, MusicLoop } },
             { tr("图片滤镜/修改"),
               { FilterNoBlue, FilterInvert, FilterLighten, FilterBrighten, 0, FilterGrey,
                 FilterContrast, 0, FilterUndo, 0, 0, BackgroundColour, 0, BrushEdit } },
             { tr("查看(&V)"), { StatusBar } },
             { tr("帮助(&H)"),
               { About, 0, OnlineManual, 0, ManualDownload, 0, LocalManual, 0, WebSite, 0,
                 DesktopShortcut } } };
}

QList<QList<int>> CMainFrame::toolBarGroups()
{
    return { { About },
             { ScreenCapture },
             { WholeDrawing },
             { TrimWindow },
             { Transparent },
             { ZoomIn },
             { ZoomOut },
             { Redraw },
             { ZoomOriginal },
             { ZoomFit },
             { HorzLines },
             { VertLines },
             { RulerMenu },
             { NudgeUp, NudgeDown, NudgeLeft, NudgeRight },
             { RotateLeftStep, RotateRightStep, RotationMenu },
             { NextPicture, LayerUp, LayerDown },
             { DeletePicture },
             { TrimLineMenu, AutoAlignCurrent } };
}

void CMainFrame::setPrompts(const UserPrompts& prompts)
{
    m_prompts = prompts;
    m_view->setPrompts(prompts);
    m_document->setPrompts(prompts);
}

void CMainFrame::createCanvasArea()
{
    // The view fills the area; the vertical ruler runs along its right edge
    // and the horizontal ruler along its bottom edge, across the window.
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    m_view = new CQznImgEdtJoinView(m_engine, area);
    m_view->setProgramDir(m_engine.dataDir().isEmpty() ? QDir::currentPath() : m_engine.dataDir());
    m_vertRuler = new CVertRulerBar(m_engine, area);
    m_horzRuler = new CHorzRulerBar(m_engine, area);
    grid->addWidget(m_view, 0, 0);
    grid->addWidget(m_vertRuler, 0, 1);
    grid->addWidget(m_horzRuler, 1, 0, 1, 2);
    setCentralWidget(area);
}

void CMainFrame::bindFrameCommands()
{
    CViewCommands& c = m_view->commands();
    c.setHandler(FileNew, [this] { m_document->newDocument(); });
    c.setHandler(FileOpen, [this] { m_document->open(); });
    c.setHandler(FileSave, [this] { saveDocument(false); });
    c.setHandler(FileSaveAs, [this] { saveDocument(true); });
    c.setHandler(About, [this] { showAbout(); });
    c.setHandler(ScreenCapture, [this] { captureFromWindow(); });
    c.setHandler(Exit, [this] { close(); });
    c.setHandler(DesktopShortcut,
                 [this] { DesktopShortcutMaker::make(this, m_prompts, m_view->programDir()); });
    for (int id : { LocalManual, OnlineManual, ManualDownload, WebSite })
        c.setHandler(id, [this, id] { openHelp(id); });
    // The web-site item names the site it opens.
    QAction* site = c.action(WebSite);
    site->setText(site->text().arg(HelpLinks::homePageHost()));
    site->setToolTip(site->text());
    c.setHandler(StatusBar,
                 [this, &c] { statusBar()->setVisible(c.action(StatusBar)->isChecked()); });
    m_view->setDiscardGuard([this] { return m_document->maybeSave(); });
    connect(m_document, &CQznImgEdtJoinDoc::canvasReplaced, this, [this] {
        m_view->showCanvas();
        relayoutRulers();
    });
}

void CMainFrame::openHelp(int commandId)
{
    const QString failure = m_helpLinks.open(commandId, QCoreApplication::applicationDirPath());
    if (!failure.isEmpty())
        statusBar()->showMessage(failure, ErrorShownMs);
}

void CMainFrame::saveDocument(bool askName)
{
    // In print-output mode the output picture is what there is to save.
    if (m_view->displayMode() == DisplayMode::Output)
        m_view->commands().trigger(SaveOutputAs);
    else if (askName)
        m_document->saveAs();
    else
        m_document->save();
}

void CMainFrame::fillRecentMenu(QMenu* menu)
{
    menu->clear();
    const QStringList files = RecentFiles::entries();
    int number = 0;
    for (const QString& file : files) {
        QAction* entry = menu->addAction(
            QStringLiteral("&%1 %2").arg(++number).arg(QDir::toNativeSeparators(file)));
        connect(entry, &QAction::triggered, this, [this, file] { m_document->openRecent(file); });
    }
    if (files.isEmpty())
        menu->addAction(tr("(无)"))->setEnabled(false);
}

QMenu* CMainFrame::addMenu(const MenuLayout& layout)
{
    QMenu* menu = menuBar()->addMenu(layout.title);
    const CViewCommands& c = m_view->commands();
    for (int id : layout.items) {
        if (id == 0) {
            menu->addSeparator();
        } else if (id == RecentFileMenu) {
            QMenu* recent = menu->addMenu(tr("最近的文件(&R)"));
            recent->menuAction()->setData(id);
            connect(recent, &QMenu::aboutToShow, this, [this, recent] { fillRecentMenu(recent); });
        } else {
            menu->addAction(c.action(id));
        }
    }
    connect(menu, &QMenu::aboutToShow, m_view, &CQznImgEdtJoinView::updateActions);
    return menu;
}

void CMainFrame::createMenus()
{
    for (const MenuLayout& layout : menuLayout())
        addMenu(layout);
}

void CMainFrame::createToolBar()
{
    m_toolBar = new QToolBar(tr("工具栏"), this);
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setIconSize(QSize(ToolBarIconSize, ToolBarIconSize));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    const CViewCommands& c = m_view->commands();
    for (const QList<int>& group : toolBarGroups()) {
        if (!m_toolBar->actions().isEmpty())
            m_toolBar->addSeparator();
        for (int id : group)
            m_toolBar->addAction(c.action(id));
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    m_view->setToolBar(m_toolBar);
}

void CMainFrame::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    m_view->commands().action(StatusBar)->setChecked(true);
    // The free-memory text is taken once, at start.
    m_memoryLabel = new QLabel(availableMemoryText(), bar);
    m_memoryLabel->setObjectName(QStringLiteral("memoryPane"));
    m_memoryLabel->setMinimumWidth(MemoryPaneWidth);
    bar->addPermanentWidget(m_memoryLabel);
    // Where the user is: the current picture's file, box, angle and the zoom.
    m_positionLabel = new QLabel(m_view->positionText(), bar);
    m_positionLabel->setObjectName(QStringLiteral("positionPane"));
    bar->insertPermanentWidget(0, m_positionLabel);
    connect(m_view, &CQznImgEdtJoinView::positionChanged, m_positionLabel, &QLabel::setText);
    // Failures the engine reports (a picture it cannot read, a file it cannot
    // write) show in the message pane for a while; nothing waits for a click.
    const auto show = [bar](const QString& message) { bar->showMessage(message, ErrorShownMs); };
    connect(&m_engine, &CImgJoinEngine::errorOccurred, bar, show);
    connect(m_view, &CQznImgEdtJoinView::statusMessage, bar, show);
    connect(m_document, &CQznImgEdtJoinDoc::statusMessage, bar, show);
}

void CMainFrame::connectRefreshChain()
{
    connect(m_horzRuler, &CRulerBar::rulerRefresh, this, &CMainFrame::relayRulerRefresh);
    connect(m_vertRuler, &CRulerBar::rulerRefresh, this, &CMainFrame::relayRulerRefresh);
    connect(m_view, &CQznImgEdtJoinView::rulerRefresh, this, &CMainFrame::relayRulerRefresh);
    connect(this, &CMainFrame::viewsRefresh, m_view, &CQznImgEdtJoinView::onRulerRefresh);
}

void CMainFrame::relayRulerRefresh(int code, int /*param*/)
{
    if (m_relayBusy)
        return;
    m_relayBusy = true;
    switch (code) {
        case RulerRefresh::RRN_REFRESH_VIEWS:
        case RulerRefresh::RRN_BAR_CHANGED:
            emit viewsRefresh(code, RulerRefresh::RelayParam);
            break;
        case RulerRefresh::RRN_SCALE_CHANGED:
        case RulerRefresh::RRN_TABLE_CLOSED: relayoutRulers(); break;
        case RulerRefresh::RRN_TABLE_APPLY: {
            const int table = m_engine.GridTableTarget(-1);
            if (table == codeValue(RulerTableId::Horizontal))
                m_horzRuler->RequestRelayout();
            else if (table == codeValue(RulerTableId::Vertical))
                m_vertRuler->RequestRelayout();
            break;
        }
        default: break;
    }
    m_relayBusy = false;
}

void CMainFrame::relayoutRulers()
{
    m_horzRuler->RequestRelayout();
    m_vertRuler->RequestRelayout();
}

bool CMainFrame::event(QEvent* event)
{
    // Menu prompts do not go to the message pane: it keeps the engine's
    // messages for their time.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    m_lastWidth = width();
    if (m_lastWidth > MinimisedWidth)
        relayoutRulers();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_document->maybeSave()) {
        event->ignore();
        return;
    }
    m_engine.DeleteTempFiles();
    QMainWindow::closeEvent(event);
}

void CMainFrame::showAbout()
{
    CAboutDlg dialog(m_engine, m_hotKey->state(), this);
    dialog.exec();
}

void CMainFrame::setScreenGrabber(ScreenGrabber* grabber)
{
    delete m_grabber;
    m_grabber = grabber;
    m_grabber->setParent(this);
    connect(m_grabber, &ScreenGrabber::grabbed, this, &CMainFrame::finishCapture);
    connect(m_grabber, &ScreenGrabber::failed, this, &CMainFrame::endCapture);
}

bool CMainFrame::minimisedForHotKey() const
{
    return isMinimized() || m_lastWidth <= MinimisedWidth;
}

void CMainFrame::onHotKey()
{
    // Pressed over the program's own window, the key does nothing at all.
    if (m_capturing || !minimisedForHotKey())
        return;
    m_capturing = true;
    m_stateAfterCapture = Qt::WindowNoState;
    m_grabber->grab();
}

void CMainFrame::captureFromWindow()
{
    if (m_capturing)
        return;
    m_capturing = true;
    m_stateAfterCapture = windowState() & ~Qt::WindowMinimized;
    hide();
    QTimer::singleShot(WindowGoneMs, this, [this] {
        QCoreApplication::processEvents();
        m_grabber->grab();
    });
}

void CMainFrame::finishCapture(const QImage& screen)
{
    if (!m_capturing)
        return;
    // A capture that cannot be written is reported by the engine.
    m_engine.CaptureScreen(screen);
    endCapture(QString());
}

void CMainFrame::endCapture(const QString& failure)
{
    if (!m_capturing)
        return;
    m_capturing = false;
    if (!failure.isEmpty())
        statusBar()->showMessage(failure, ErrorShownMs);
    m_view->invalidate();
    m_view->updateActions();
    setWindowState(m_stateAfterCapture);
    show();
    raise();
    activateWindow();
}
