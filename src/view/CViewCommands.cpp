#include "CViewCommands.h"

#include "CommandIds.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QKeySequence>

using Rule = CViewCommands::Rule;
using namespace CommandId;

// A command's keys: a platform's standard binding, or key sequences of our
// own separated by "; " in the portable text form.
struct CommandKeys
{
    CommandKeys() = default;
    CommandKeys(QKeySequence::StandardKey key)
        : standard(key)
    {
    }
    CommandKeys(const char* text)
        : own(text)
    {
    }

    QList<QKeySequence> sequences() const
    {
        if (own != nullptr)
            return QKeySequence::listFromString(QString::fromLatin1(own),
                                                QKeySequence::PortableText);
        if (standard != QKeySequence::UnknownKey)
            return QKeySequence::keyBindings(standard);
        return {};
    }

    QKeySequence::StandardKey standard = QKeySequence::UnknownKey;
    const char* own = nullptr;
};

struct CViewCommands::Entry
{
    int id;
    const char* text; // menu text
    const char* tip;  // tool tip; the menu text when null
    Rule rule;
    const char* theme; // freedesktop icon name, or null
    CommandKeys keys = {};
    // The pixel work the command starts, if any.
    std::optional<FilterCode> filter = std::nullopt;
    std::optional<OutputJob> job = std::nullopt;
};

const QList<CViewCommands::Entry>& CViewCommands::table()
{
    static const QList<Entry> entries = {
        // framework
        { FileNew, QT_TRANSLATE_NOOP("CViewCommands", "新建(&N)"), nullptr, Rule::Always,
          "document-new", QKeySequence::New },
        { FileOpen, QT_TRANSLATE_NOOP("CViewCommands", "打开(&O)..."), nullptr, Rule::Always,
          "document-open", QKeySequence::Open },
        { FileSave, QT_TRANSLATE_NOOP("CViewCommands", "保存(&S)"), nullptr, Rule::Always,
          "document-save", QKeySequence::Save },
        { FileSaveAs, QT_TRANSLATE_NOOP("CViewCommands", "另存为(&A)..."), nullptr, Rule::Always,
          "document-save-as", "Ctrl+Shift+S" },
        { Print, QT_TRANSLATE_NOOP("CViewCommands", "打印(&P)..."), nullptr, Rule::Always,
          "document-print", QKeySequence::Print },
        { PrintPreview, QT_TRANSLATE_NOOP("CViewCommands", "打印预览(&V)"), nullptr, Rule::Always,
          "document-print-preview" },
        { PrintSetup, QT_TRANSLATE_NOOP("CViewCommands", "打印设置(&R)..."), nullptr, Rule::Always,
          "document-page-setup" },
        { TiledPrint, QT_TRANSLATE_NOOP("CViewCommands", "分页打印..."), nullptr, Rule::Always,
          "document-print" },
        { ExportPdf, QT_TRANSLATE_NOOP("CViewCommands", "输出PDF..."), nullptr, Rule::Always,
          "application-pdf" },
        { Exit, QT_TRANSLATE_NOOP("CViewCommands", "退出(&X)"), nullptr, Rule::Always,
          "application-exit" },
        { StatusBar, QT_TRANSLATE_NOOP("CViewCommands", "状态栏(&S)"), nullptr, Rule::Always,
          nullptr },
        { About, QT_TRANSLATE_NOOP("CViewCommands", "关于Lumo图片拼接及打印软件"),
          QT_TRANSLATE_NOOP("CViewCommands", "关于Lumo图片拼接及打印软件"), Rule::Always,
          "help-about" },
        // undo and redo of canvas edits
        { EditUndo, QT_TRANSLATE_NOOP("CViewCommands", "撤销"),
          QT_TRANSLATE_NOOP("CViewCommands", "撤销"), Rule::CanUndo, "edit-undo", "Ctrl+Z" },
        { EditRedo, QT_TRANSLATE_NOOP("CViewCommands", "重做"),
          QT_TRANSLATE_NOOP("CViewCommands", "重做"), Rule::CanRedo, "edit-redo",
          "Ctrl+Y; Ctrl+Shift+Z" },
        // file menu
        { LoadPicture, QT_TRANSLATE_NOOP("CViewCommands", "选择装入新的图片"), nullptr,
          Rule::NotInOutput, "document-open" },
        { SaveJoined, QT_TRANSLATE_NOOP("CViewCommands", "保存当前拼接图片"), nullptr,
          Rule::HasPictures, "document-save" },
        { CopyPicture, QT_TRANSLATE_NOOP("CViewCommands", "图片复制"), nullptr, Rule::OutputOnly,
          "edit-copy" },
        { PrintJobCad1,
          QT_TRANSLATE_NOOP("CViewCommands", "CAD图黑白灰度打印模式处理图片(1)"),
          nullptr,
          Rule::OutputOnly,
          nullptr,
          {},
          {},
          OutputJob::CadGrey1 },
        { PrintJobCad2,
          QT_TRANSLATE_NOOP("CViewCommands", "CAD图黑白灰度打印模式处理图片(2)"),
          nullptr,
          Rule::OutputOnly,
          nullptr,
          {},
          {},
          OutputJob::CadGrey2 },
        { PrintJobColour,
          QT_TRANSLATE_NOOP("CViewCommands", "按白底彩色打印模式处理图片"),
          nullptr,
          Rule::OutputOnly,
          nullptr,
          {},
          {},
          OutputJob::WhiteBackColour },
        { PrintJobGrey,
          QT_TRANSLATE_NOOP("CViewCommands", "按普通黑白灰度打印模式处理图片"),
          nullptr,
          Rule::OutputOnly,
          nullptr,
          {},
          {},
          OutputJob::Grey },
        { RestoreOutput, QT_TRANSLATE_NOOP("CViewCommands", "恢复原图片"), nullptr,
          Rule::OutputOnly, "edit-undo" },
        { SaveOutputAs, QT_TRANSLATE_NOOP("CViewCommands", "打印/输出图片另存"), nullptr,
          Rule::OutputOnly, "document-save-as" },
        // control menu
        { WholeDrawingMenu, QT_TRANSLATE_NOOP("CViewCommands", "整体图形操作"), nullptr,
          Rule::WholeDrawing, nullptr },
        { Transparent, QT_TRANSLATE_NOOP("CViewCommands", "热点(拼接)图片透明"),
          QT_TRANSLATE_NOOP("CViewCommands", "透明显示处理"), Rule::Transparent, nullptr },
        { OutputMode, QT_TRANSLATE_NOOP("CViewCommands", "切换到打印输出图片方式"), nullptr,
          Rule::OutputSwitch, nullptr },
        { Camera, QT_TRANSLATE_NOOP("CViewCommands", "摄像头拍照"), nullptr, Rule::Always,
          "camera-photo" },
        { PlayMusic, QT_TRANSLATE_NOOP("CViewCommands", "选择播放背景音乐"), nullptr, Rule::Always,
          nullptr },
        { MusicLoop, QT_TRANSLATE_NOOP("CViewCommands", "背景音乐循环播放"), nullptr,
          Rule::MusicLoop, nullptr },
        { ScreenCapture, QT_TRANSLATE_NOOP("CViewCommands", "截取屏幕"), nullptr, Rule::Always,
          nullptr },
        { AutoAlignCurrent, QT_TRANSLATE_NOOP("CViewCommands", "自动对齐当前图片"),
          QT_TRANSLATE_NOOP("CViewCommands", "自动对齐当前图片"), Rule::PictureBelow, nullptr,
          "Ctrl+J" },
        { AutoJoinAll, QT_TRANSLATE_NOOP("CViewCommands", "自动拼接全部图片"), nullptr,
          Rule::TwoPictures, nullptr },
        // filter menu
        { FilterNoBlue,
          QT_TRANSLATE_NOOP("CViewCommands", "图片消蓝"),
          nullptr,
          Rule::NotInOutput,
          nullptr,
          {},
          FilterCode::RemoveBlue },
        { FilterInvert,
          QT_TRANSLATE_NOOP("CViewCommands", "图片反色"),
          nullptr,
          Rule::NotInOutput,
          nullptr,
          {},
          FilterCode::Invert },
        { FilterLighten,
          QT_TRANSLATE_NOOP("CViewCommands", "图片减淡"),
          nullptr,
          Rule::NotInOutput,
          nullptr,
          {},
          FilterCode::Fade },
        { FilterBrighten,
          QT_TRANSLATE_NOOP("CViewCommands", "图片增亮"),
          nullptr,
          Rule::NotInOutput,
          nullptr,
          {},
          FilterCode::Brighten },
        { FilterGrey,
          QT_TRANSLATE_NOOP("CViewCommands", "彩色变灰度图"),
          nullptr,
          Rule::BackgroundTool,
          nullptr,
          {},
          FilterCode::Grey },
        { FilterContrast,
          QT_TRANSLATE_NOOP("CViewCommands", "调整图片反差"),
          nullptr,
          Rule::NotInOutput,
          nullptr,
          {},
          FilterCode::Posterise },
        { FilterUndo, QT_TRANSLATE_NOOP("CViewCommands", "撤消图片滤镜/修改"), nullptr,
          Rule::FilterUndo, nullptr },
        { BackgroundColour, QT_TRANSLATE_NOOP("CViewCommands", "调整设置背景色"), nullptr,
          Rule::NotInOutput, nullptr },
        { BrushEdit, QT_TRANSLATE_NOOP("CViewCommands", "图片修改"), nullptr, Rule::NotInOutput,
          nullptr },
        // help menu
        { OnlineManual, QT_TRANSLATE_NOOP("CViewCommands", "软件说明在线阅读及下载"), nullptr,
          Rule::Always, nullptr },
        { ManualDownload, QT_TRANSLATE_NOOP("CViewCommands", "操作说明下载(百度)"), nullptr,
          Rule::Always, nullptr },
        { LocalManual, QT_TRANSLATE_NOOP("CViewCommands", "软件操作说明"), nullptr, Rule::Always,
          "help-contents" },
        { WebSite, QT_TRANSLATE_NOOP("CViewCommands", "查看网站(%1)"), nullptr, Rule::Always,
          nullptr },
        { DesktopShortcut, QT_TRANSLATE_NOOP("CViewCommands", "建立桌面图标"), nullptr,
          Rule::Always, nullptr },
        // tool bar
        { WholeDrawing, QT_TRANSLATE_NOOP("CViewCommands", "图形整体操作"),
          QT_TRANSLATE_NOOP("CViewCommands", "图形整体操作"), Rule::WholeDrawing, nullptr },
        { TrimWindow, QT_TRANSLATE_NOOP("CViewCommands", "选择图片修剪窗口"),
          QT_TRANSLATE_NOOP("CViewCommands", "选择图片修剪窗口"), Rule::Always, nullptr },
        { ZoomIn, QT_TRANSLATE_NOOP("CViewCommands", "放大图形"),
          QT_TRANSLATE_NOOP("CViewCommands", "放大图形"), Rule::Always, "zoom-in",
          "Ctrl+=; Ctrl++" },
        { ZoomOut, QT_TRANSLATE_NOOP("CViewCommands", "缩小图形"),
          QT_TRANSLATE_NOOP("CViewCommands", "缩小图形"), Rule::Always, "zoom-out", "Ctrl+-" },
        { Redraw, QT_TRANSLATE_NOOP("CViewCommands", "重新显示图形"),
          QT_TRANSLATE_NOOP("CViewCommands", "重新显示图形"), Rule::Always, "view-refresh" },
        { ZoomOriginal, QT_TRANSLATE_NOOP("CViewCommands", "按1:1比例"),
          QT_TRANSLATE_NOOP("CViewCommands", "按1:1比例"), Rule::Always, "zoom-original",
          "Ctrl+1" },
        { ZoomFit, QT_TRANSLATE_NOOP("CViewCommands", "全显图片"),
          QT_TRANSLATE_NOOP("CViewCommands", "全显图片"), Rule::Always, "zoom-fit-best", "Ctrl+0" },
        { HorzLines, QT_TRANSLATE_NOOP("CViewCommands", "水平标尺线"),
          QT_TRANSLATE_NOOP("CViewCommands", "水平标尺线"), Rule::HorzLines, nullptr },
        { VertLines, QT_TRANSLATE_NOOP("CViewCommands", "竖向标尺线"),
          QT_TRANSLATE_NOOP("CViewCommands", "竖向标尺线"), Rule::VertLines, nullptr },
        { RulerMenu, QT_TRANSLATE_NOOP("CViewCommands", "标尺线操作菜单"),
          QT_TRANSLATE_NOOP("CViewCommands", "标尺线操作菜单"), Rule::Unchanged, nullptr },
        { NudgeUp, QT_TRANSLATE_NOOP("CViewCommands", "微移当前图片(上)"),
          QT_TRANSLATE_NOOP("CViewCommands", "微移当前图片"), Rule::NotInOutput, "go-up", "Up" },
        { NudgeDown, QT_TRANSLATE_NOOP("CViewCommands", "微移当前图片(下)"),
          QT_TRANSLATE_NOOP("CViewCommands", "微移当前图片"), Rule::NotInOutput, "go-down",
          "Down" },
        { NudgeLeft, QT_TRANSLATE_NOOP("CViewCommands", "微移当前图片(左)"),
          QT_TRANSLATE_NOOP("CViewCommands", "微移当前图片"), Rule::NotInOutput, "go-previous",
          "Left" },
        { NudgeRight, QT_TRANSLATE_NOOP("CViewCommands", "微移当前图片(右)"),
          QT_TRANSLATE_NOOP("CViewCommands", "微移当前图片"), Rule::NotInOutput, "go-next",
          "Right" },
        { RotateLeftStep, QT_TRANSLATE_NOOP("CViewCommands", "旋转图片(逆时针)"),
          QT_TRANSLATE_NOOP("CViewCommands", "旋转图片"), Rule::NotInOutput, "object-rotate-left" },
        { RotateRightStep, QT_TRANSLATE_NOOP("CViewCommands", "旋转图片(顺时针)"),
          QT_TRANSLATE_NOOP("CViewCommands", "旋转图片"), Rule::NotInOutput,
          "object-rotate-right" },
        { RotationMenu, QT_TRANSLATE_NOOP("CViewCommands", "图片旋转菜单"),
          QT_TRANSLATE_NOOP("CViewCommands", "图片旋转菜单"), Rule::NotInOutput, nullptr },
        { NextPicture, QT_TRANSLATE_NOOP("CViewCommands", "热点(拼接)图片选择"),
          QT_TRANSLATE_NOOP("CViewCommands", "热点(拼接)图片选择"), Rule::NotInOutput, nullptr },
        { LayerUp, QT_TRANSLATE_NOOP("CViewCommands", "上移拼接图片层"),
          QT_TRANSLATE_NOOP("CViewCommands", "上移拼接图片层"), Rule::HasCurrent, nullptr },
        { LayerDown, QT_TRANSLATE_NOOP("CViewCommands", "下移图片层"),
          QT_TRANSLATE_NOOP("CViewCommands", "下移拼接图片层"), Rule::HasCurrent, nullptr },
        { DeletePicture, QT_TRANSLATE_NOOP("CViewCommands", "删除当前拼接图片"),
          QT_TRANSLATE_NOOP("CViewCommands", "删除当前拼接图片"), Rule::HasCurrent, "edit-delete",
          QKeySequence::Delete },
        { TrimLineMenu, QT_TRANSLATE_NOOP("CViewCommands", "设置拼接图剪切线"),
          QT_TRANSLATE_NOOP("CViewCommands", "设置拼接图剪切线"), Rule::NotInOutput, nullptr },
        // rotation popup
        { RotateNone, QT_TRANSLATE_NOOP("CViewCommands", "取消旋转"), nullptr, Rule::Always,
          nullptr },
        { RotateRight90, QT_TRANSLATE_NOOP("CViewCommands", "顺时针转90"), nullptr, Rule::Always,
          nullptr },
        { RotateRight180, QT_TRANSLATE_NOOP("CViewCommands", "顺时针转180"), nullptr, Rule::Always,
          nullptr },
        { RotateLeft90, QT_TRANSLATE_NOOP("CViewCommands", "逆时针转90"), nullptr, Rule::Always,
          nullptr },
        { RotateLeft180, QT_TRANSLATE_NOOP("CViewCommands", "逆时针转180"), nullptr, Rule::Always,
          nullptr },
        // trim-line popup
        { TrimLineUp, QT_TRANSLATE_NOOP("CViewCommands", "修剪线:从下向上拼接↑"), nullptr,
          Rule::Always, nullptr },
        { TrimLineDown, QT_TRANSLATE_NOOP("CViewCommands", "修剪线:从上向下拼接↓"), nullptr,
          Rule::Always, nullptr },
        { TrimLineLeft, QT_TRANSLATE_NOOP("CViewCommands", "修剪线:从右向左拼接←"), nullptr,
          Rule::Always, nullptr },
        { TrimLineRight, QT_TRANSLATE_NOOP("CViewCommands", "修剪线:从左向右拼接→"), nullptr,
          Rule::Always, nullptr },
        { ClearTrimLine, QT_TRANSLATE_NOOP("CViewCommands", "删除修剪线"), nullptr, Rule::Always,
          nullptr },
        { TrimByLine, QT_TRANSLATE_NOOP("CViewCommands", "按修剪线修剪图片"), nullptr, Rule::Always,
          nullptr },
        // ruler popup
        { HorzRulerTable, QT_TRANSLATE_NOOP("CViewCommands", "水平标尺线表"), nullptr, Rule::Always,
          nullptr },
        { VertRulerTable, QT_TRANSLATE_NOOP("CViewCommands", "竖向标尺线表"), nullptr, Rule::Always,
          nullptr },
        { RulerZoomIn, QT_TRANSLATE_NOOP("CViewCommands", "放大标尺"), nullptr, Rule::Always,
          nullptr },
        { RulerZoomOut, QT_TRANSLATE_NOOP("CViewCommands", "缩小标尺"), nullptr, Rule::Always,
          nullptr },
        { RulerZoomReset, QT_TRANSLATE_NOOP("CViewCommands", "恢复原标尺比例"), nullptr,
          Rule::Always, nullptr },
    };
    return entries;
}

CViewCommands::CViewCommands(QObject* parent)
    : QObject(parent)
{
}

CViewCommands::~CViewCommands() = default;

QList<int> CViewCommands::ids() const
{
    QList<int> result;
    for (const Entry& entry : table())
        result.append(entry.id);
    return result;
}

const CViewCommands::Entry* CViewCommands::entryOf(int id)
{
    for (const Entry& entry : table()) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

CViewCommands::Rule CViewCommands::ruleOf(int id)
{
    const Entry* entry = entryOf(id);
    return entry != nullptr ? entry->rule : Rule::Always;
}

std::optional<FilterCode> CViewCommands::filterOf(int id)
{
    const Entry* entry = entryOf(id);
    return entry != nullptr ? entry->filter : std::nullopt;
}

std::optional<OutputJob> CViewCommands::jobOf(int id)
{
    const Entry* entry = entryOf(id);
    return entry != nullptr ? entry->job : std::nullopt;
}

bool CViewCommands::isPopupItem(int id)
{
    return (id >= TrimLineUp && id <= TrimByLine) || (id >= RotateNone && id <= RotateLeft180) ||
           (id >= HorzRulerTable && id <= RulerZoomReset);
}

QString CViewCommands::translated(const char* text)
{
    return QCoreApplication::translate("CViewCommands", text);
}

QString CViewCommands::outputSwitchText(bool outputMode)
{
    return outputMode ? tr("切换到图片拼接方式") : tr("切换到打印输出图片方式");
}

QIcon CViewCommands::iconFor(const Entry& entry)
{
    // The program's own pictures come first, so the tool bar looks alike
    // whatever the desktop: some icon themes draw these commands in a pale
    // grey that reads as disabled. The theme stands in where we have none.
    const QString prefix = isPopupItem(entry.id) ? QStringLiteral(":/icons/popup-%1.svg")
                                                 : QStringLiteral(":/icons/cmd-%1.svg");
    const QString file = prefix.arg(entry.id);
    if (QFile::exists(file))
        return QIcon(file);
    if (entry.theme == nullptr || isPopupItem(entry.id))
        return QIcon();
    return QIcon::fromTheme(QString::fromLatin1(entry.theme));
}

QAction* CViewCommands::makeAction(const Entry& entry)
{
    auto* action = new QAction(translated(entry.text), this);
    action->setData(entry.id);
    action->setIcon(iconFor(entry));
    action->setIconVisibleInMenu(true);
    // Menu-only commands have no tip text of their own: their menu text serves.
    QString tip = translated(entry.tip != nullptr ? entry.tip : entry.text);
    tip.remove(QLatin1Char('&'));
    // Menus show the keys by themselves; the tool tip names the first one.
    const QList<QKeySequence> keys = entry.keys.sequences();
    if (!keys.isEmpty()) {
        action->setShortcuts(keys);
        tip += QStringLiteral(" (%1)").arg(keys.constFirst().toString(QKeySequence::NativeText));
    }
    action->setToolTip(tip);
    action->setCheckable(isCheckRule(entry.rule) || entry.id == StatusBar);
    action->setEnabled(false);
    connect(action, &QAction::triggered, this, [this, id = entry.id] { dispatch(id); });
    return action;
}

void CViewCommands::createActions()
{
    if (!m_actions.isEmpty())
        return;
    for (const Entry& entry : table())
        m_actions.insert(entry.id, makeAction(entry));
    updateActions();
}

void CViewCommands::setHandler(int id, std::function<void()> handler)
{
    m_handlers.emplace(id, std::move(handler));
}

void CViewCommands::trigger(int id)
{
    if (QAction* found = action(id); found != nullptr && found->isEnabled())
        found->trigger();
}

void CViewCommands::dispatch(int id)
{
    const auto handler = m_handlers.value(id);
    if (handler)
        handler();
    updateActions();
    emit commandDone(id);
}

bool CViewCommands::isCheckRule(Rule rule)
{
    return rule == Rule::WholeDrawing || rule == Rule::Transparent || rule == Rule::HorzLines ||
           rule == Rule::VertLines || rule == Rule::MusicLoop;
}

bool CViewCommands::ruleEnables(Rule rule, const State& state)
{
    switch (rule) {
        case Rule::NotInOutput:
        case Rule::WholeDrawing:
        case Rule::Transparent: return !state.outputMode;
        case Rule::OutputOnly: return state.outputMode;
        case Rule::HasPictures: return !state.outputMode && state.hasPictures;
        case Rule::HasCurrent: return !state.outputMode && state.hasCurrent;
        case Rule::PictureBelow:
            return !state.outputMode && !state.busy && state.hasCurrent && state.hasPictureBelow;
        case Rule::TwoPictures: return !state.outputMode && !state.busy && state.pictureCount >= 2;
        case Rule::FilterUndo: return state.filterUndo;
        case Rule::CanUndo: return !state.outputMode && state.canUndo;
        case Rule::CanRedo: return !state.outputMode && state.canRedo;
        case Rule::BackgroundTool: return !state.outputMode && !state.backgroundToolOpen;
        default: return true;
    }
}

bool CViewCommands::ruleChecks(Rule rule, const State& state)
{
    switch (rule) {
        case Rule::WholeDrawing: return state.wholeDrawing;
        case Rule::Transparent: return state.transparent;
        case Rule::HorzLines: return state.horzLines;
        case Rule::VertLines: return state.vertLines;
        case Rule::MusicLoop: return state.musicLoop;
        default: return false;
    }
}

void CViewCommands::updateActions()
{
    const State state = m_stateSource ? m_stateSource() : State();
    for (const Entry& entry : table()) {
        QAction* item = m_actions.value(entry.id);
        if (item == nullptr)
            continue;
        item->setEnabled(hasHandler(entry.id) && ruleEnables(entry.rule, state));
        if (isCheckRule(entry.rule))
            item->setChecked(ruleChecks(entry.rule, state));
        if (entry.rule == Rule::OutputSwitch)
            item->setText(outputSwitchText(state.outputMode));
    }
}
