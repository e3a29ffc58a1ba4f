#include "CMainFrame.h"

#include "CImgJoinEngine.h"

#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QStatusBar>

namespace {

constexpr int InitialWidth = 1024;
constexpr int InitialHeight = 720;
constexpr int ErrorShownMs = 8000;
constexpr int PlaceholderPointSize = 20;
constexpr QRgb PlaceholderTextColor = 0x8A8A8A;

} // namespace

CMainFrame::CMainFrame(CImgJoinEngine& engine, QWidget* parent)
    : QMainWindow(parent)
    , m_engine(engine)
{
    setWindowTitle(frameTitle());
    createCentralPlaceholder();
    createStatusBar();
    resize(InitialWidth, InitialHeight);
}

CMainFrame::~CMainFrame() = default;

QString CMainFrame::frameTitle()
{
    return QStringLiteral("Lumo图片拼接及打印软件 v1.2");
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    m_engine.DeleteTempFiles();
    QMainWindow::closeEvent(event);
}

void CMainFrame::createCentralPlaceholder()
{
    // Stands where the canvas view goes: the empty canvas with the program's
    // name on it.
    auto* canvas = new QLabel(frameTitle(), this);
    canvas->setObjectName(QStringLiteral("canvasPlaceholder"));
    canvas->setAlignment(Qt::AlignCenter);
    QFont font = canvas->font();
    font.setPointSize(PlaceholderPointSize);
    canvas->setFont(font);
    canvas->setAutoFillBackground(true);
    QPalette palette = canvas->palette();
    palette.setColor(QPalette::Window, colorRefToColor(CImgJoinEngine::WindowBackColor));
    palette.setColor(QPalette::WindowText, QColor(PlaceholderTextColor));
    canvas->setPalette(palette);
    setCentralWidget(canvas);
}

void CMainFrame::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    // Failures the engine reports (a picture it cannot read, a file it cannot
    // write) are shown for a while rather than lost.
    connect(&m_engine, &CImgJoinEngine::errorOccurred, bar,
            [bar](const QString& message) { bar->showMessage(message, ErrorShownMs); });
}
