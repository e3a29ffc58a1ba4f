#pragma once

#include "UserPrompts.h"

#include <memory>

class CImgJoinEngine;
class QPrinter;
class QWidget;

// The view's commands for saving, copying, printing, the pixel filters and
// the print-output jobs. The view keeps one of these for its lifetime, calls
// the method of a command with itself as parent and repaints when the method
// returns true. Each method lists the command id and its enabling rule:
//
//   U0  always enabled
//   U2  enabled only in print-output mode (display mode 9)
//   U3  enabled only outside print-output mode
//   U6  enabled when the canvas holds a picture and not in print-output mode
//   U8  enabled while the engine holds a filter undo copy
//   U9  as U3, and disabled while the background-colour dialog is open
//
// isEnabled() computes these rules for every id handled here.
class ImagingCommands
{
public:
    // Command ids.
    static constexpr int SaveJoined = 32793;
    static constexpr int SaveOutputAs = 32824;
    static constexpr int CopyOutput = 32801;
    static constexpr int JobWhiteBackColour = 32814;
    static constexpr int JobCadGrey1 = 32834;
    static constexpr int JobGrey = 32813;
    static constexpr int JobCadGrey2 = 32838;
    static constexpr int RestoreOutput = 32823;
    static constexpr int Print = 57607;
    static constexpr int PrintDirect = 57608;
    static constexpr int PrintPreview = 57609;
    static constexpr int PrintSetup = 57606;
    static constexpr int FilterRemoveBlue = 32810;
    static constexpr int FilterInvert = 32799;
    static constexpr int FilterFade = 32800;
    static constexpr int FilterBrighten = 32802;
    static constexpr int FilterGrey = 32812;
    static constexpr int FilterContrast = 32815;
    static constexpr int FilterUndo = 32811;

    // Filters that take longer than this show the progress box.
    static constexpr int FilterBoxDelay = 300; // ms

    ImagingCommands();
    ~ImagingCommands();

    // 32793 "保存当前拼接图片", U6: the save dialog, joined-picture variant.
    bool onSaveJoined(QWidget* parent, CImgJoinEngine& engine);
    // 32824 "打印/输出图片另存", U2: the save dialog, output-picture variant.
    bool onSaveOutputAs(QWidget* parent, CImgJoinEngine& engine);
    // 32801 "图片复制", U2: the output picture to the clipboard.
    bool onCopyOutput(QWidget* parent, CImgJoinEngine& engine);

    // The print-output jobs behind the progress box, all U2:
    // 32814 "按白底彩色打印模式处理图片" runs job 99,
    bool onJobWhiteBackColour(QWidget* parent, CImgJoinEngine& engine);
    // 32834 "CAD图黑白灰度打印模式处理图片(1)" runs job 100,
    bool onJobCadGrey1(QWidget* parent, CImgJoinEngine& engine);
    // 32813 "按普通黑白灰度打印模式处理图片" runs job 101,
    bool onJobGrey(QWidget* parent, CImgJoinEngine& engine);
    // 32838 "CAD图黑白灰度打印模式处理图片(2)" runs job 109.
    bool onJobCadGrey2(QWidget* parent, CImgJoinEngine& engine);
    // 32823 "恢复原图片", U2: back to the unprocessed output picture.
    bool onRestoreOutput(QWidget* parent, CImgJoinEngine& engine);

    // 57607 "打印(&P)...", U0: the print dialog, then one page.
    bool onPrint(QWidget* parent, CImgJoinEngine& engine, int displayMode);
    // 57608, U0: one page on the current printer without a dialog.
    bool onPrintDirect(QWidget* parent, CImgJoinEngine& engine, int displayMode);
    // 57609 "打印预览(&V)", U0: the same page in a preview window.
    bool onPrintPreview(QWidget* parent, CImgJoinEngine& engine, int displayMode);
    // 57606 "打印设置(&R)...", U0: paper size, orientation and margins.
    bool onPrintSetup(QWidget* parent);

    // The filters of the current picture:
    // 32810 "图片消蓝", U3, filter 100,
    bool onRemoveBlue(QWidget* parent, CImgJoinEngine& engine);
    // 32799 "图片反色", U3, filter 101,
    bool onInvert(QWidget* parent, CImgJoinEngine& engine);
    // 32800 "图片减淡", U3, filter 102,
    bool onFade(QWidget* parent, CImgJoinEngine& engine);
    // 32802 "图片增亮", U3, filter 103,
    bool onBrighten(QWidget* parent, CImgJoinEngine& engine);
    // 32812 "彩色变灰度图", U9, filter 201,
    bool onGrey(QWidget* parent, CImgJoinEngine& engine);
    // 32815 "调整图片反差", U3, filter 202.
    bool onContrast(QWidget* parent, CImgJoinEngine& engine);
    // 32811 "撤消图片滤镜/修改", U8.
    bool onUndoFilter(QWidget* parent, CImgJoinEngine& engine);

    // Any of the ids above; false for an id not handled here.
    bool execute(int id, QWidget* parent, CImgJoinEngine& engine, int displayMode);
    static bool handles(int id);
    static bool isEnabled(int id, CImgJoinEngine& engine, int displayMode);

    // The job and filter codes behind the command ids (0 for other ids).
    static int jobFor(int id);
    static int filterFor(int id);

    // The printer shared by print, preview and print setup; made on first use.
    QPrinter& printer();
    void setPrompts(const UserPrompts& prompts) { m_prompts = prompts; }
    const UserPrompts& prompts() const { return m_prompts; }

    // The job or filter behind the progress box.
    bool runOutputJob(QWidget* parent, CImgJoinEngine& engine, int job);
    bool runFilter(QWidget* parent, CImgJoinEngine& engine, int code);

private:
    void reportPrintFailure(QWidget* parent);

    UserPrompts m_prompts;
    std::unique_ptr<QPrinter> m_printer;
};
