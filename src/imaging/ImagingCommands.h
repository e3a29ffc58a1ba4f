#pragma once

#include "JoinCodes.h"
#include "UserPrompts.h"

#include <functional>
#include <memory>

class CImgJoinEngine;
class QPrinter;
class QString;
class QWidget;

// The work behind the view's commands for saving, copying, printing, the
// pixel filters and the print-output jobs. The view's command table says
// which command runs which of these and when it is enabled; the view keeps
// one of these for its lifetime, calls a method with itself as parent and
// repaints when the method returns true.
class ImagingCommands
{
public:
    // Filters that take longer than this show the progress box.
    static constexpr int FilterBoxDelay = 300; // ms

    ImagingCommands();
    ~ImagingCommands();

    // The save dialog, joined-picture variant.
    bool onSaveJoined(QWidget* parent, CImgJoinEngine& engine);
    // The save dialog, output-picture variant.
    bool onSaveOutputAs(QWidget* parent, CImgJoinEngine& engine);
    // The output picture to the clipboard.
    bool onCopyOutput(QWidget* parent, CImgJoinEngine& engine);

    // The print dialog, then one page.
    bool onPrint(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode);
    // One page on the current printer without a dialog.
    bool onPrintDirect(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode);
    // The same page in a preview window.
    bool onPrintPreview(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode);
    // Paper size, orientation and margins.
    bool onPrintSetup(QWidget* parent);

    // A print-output job behind the progress box, shown at once.
    bool runOutputJob(QWidget* parent, CImgJoinEngine& engine, OutputJob job);
    // A filter of the current picture; the progress box shows only when the
    // filter takes longer than FilterBoxDelay.
    bool runFilter(QWidget* parent, CImgJoinEngine& engine, FilterCode code);

    // The printer shared by print, preview and print setup; made on first use.
    QPrinter& printer();
    void setPrompts(const UserPrompts& prompts) { m_prompts = prompts; }
    // Where a short notice of work done goes (the status bar): after a save,
    // the file written and its size.
    using StatusReport = std::function<void(const QString& text)>;
    void setStatusReport(StatusReport report) { m_statusReport = std::move(report); }
    const UserPrompts& prompts() const { return m_prompts; }

private:
    void reportPrintFailure(QWidget* parent);
    // Opens the save dialog in a variant; a file it writes is told on the status report.
    void runSaveDialog(QWidget* parent, CImgJoinEngine& engine, int variant);

    UserPrompts m_prompts;
    StatusReport m_statusReport;
    std::unique_ptr<QPrinter> m_printer;
};
