#pragma once

#include "JoinCodes.h"
#include "TileLayout.h"
#include "UserPrompts.h"

#include <QImage>
#include <QString>

#include <functional>
#include <memory>

class CImgJoinEngine;
class QPrinter;
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

    // Printing, its preview and the PDF file show the output picture in
    // print-output mode and the joined canvas in joining mode, on one page
    // or on the sheets of the tiling the user chose (see PagePrinter).

    // The print dialog, then the pages.
    bool onPrint(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode);
    // The pages on the current printer without a dialog.
    bool onPrintDirect(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode);
    // The same pages in a preview window.
    bool onPrintPreview(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode);
    // Paper size, orientation and margins.
    bool onPrintSetup(QWidget* parent);
    // The tiling dialog; the choice is kept for the later prints, previews
    // and PDF files, and the dialog's print or preview button goes on to
    // the print dialog or the preview.
    bool onTiledPrint(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode);
    // Asks for a PDF file, then writes the pages into it.
    bool onExportPdf(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode);
    // Writes the pages into a PDF file on the current paper; false, and
    // told, when there is nothing to write or the file cannot be written.
    bool exportPdf(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode,
                   const QString& path);

    const TileLayout::Choice& tiling() const { return m_tiling; }
    void setTiling(const TileLayout::Choice& tiling) { m_tiling = tiling; }

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
    // The picture of the pages; null, and told when the engine has not said
    // why, when there is none.
    QImage pictureToPrint(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode,
                          const QString& title);
    // Whether the chosen tiling fits this printer's paper; told when not.
    bool tilingFits(QWidget* parent, const QPrinter& target, const QImage& picture,
                    const QString& title);
    bool printPicture(QWidget* parent, const QImage& picture, DisplayMode displayMode);
    void showPreview(QWidget* parent, const QImage& picture, DisplayMode displayMode);
    // Opens the save dialog in a variant; a file it writes is told on the status report.
    void runSaveDialog(QWidget* parent, CImgJoinEngine& engine, int variant);

    UserPrompts m_prompts;
    StatusReport m_statusReport;
    std::unique_ptr<QPrinter> m_printer;
    TileLayout::Choice m_tiling;
    QString m_lastPdfPath;
};
