#include "ImagingCommands.h"

#include "CImgJoinEngine.h"
#include "CProgressDlg.h"
#include "CSaveJoinDlg.h"
#include "PagePrinter.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

constexpr int ModeOutput = CImgJoinEngine::ModeOutput;

} // namespace

ImagingCommands::ImagingCommands() = default;
ImagingCommands::~ImagingCommands() = default;

QPrinter& ImagingCommands::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

// ---- saving and copying

bool ImagingCommands::onSaveJoined(QWidget* parent, CImgJoinEngine& engine)
{
    CSaveJoinDlg dialog(engine, CSaveJoinDlg::VariantJoined, parent);
    dialog.setPrompts(m_prompts);
    dialog.exec();
    return true;
}

bool ImagingCommands::onSaveOutputAs(QWidget* parent, CImgJoinEngine& engine)
{
    CSaveJoinDlg dialog(engine, CSaveJoinDlg::VariantOutput, parent);
    dialog.setPrompts(m_prompts);
    dialog.exec();
    return false;
}

bool ImagingCommands::onCopyOutput(QWidget* parent, CImgJoinEngine& engine)
{
    const ImageCache::Entry entry = engine.imageCache().get(engine.GetOutputFile());
    if (!entry.ok()) {
        m_prompts.tell(parent, QObject::tr("图片复制"), entry.error);
        return false;
    }
    QGuiApplication::clipboard()->setImage(entry.image);
    return false;
}

// ---- print-output jobs

bool ImagingCommands::runOutputJob(QWidget* parent, CImgJoinEngine& engine, int job)
{
    PixelJob task = engine.beginOutputJob(job);
    if (!task.valid())
        return true; // the engine has said why
    CProgressDlg box([&task] { task.run(); }, [&engine] { return engine.GetProgressText(); },
                     parent);
    box.exec();
    engine.endOutputJob(task);
    return true;
}

bool ImagingCommands::onJobWhiteBackColour(QWidget* parent, CImgJoinEngine& engine)
{
    return runOutputJob(parent, engine, PixelRules::JobWhiteBackColour);
}

bool ImagingCommands::onJobCadGrey1(QWidget* parent, CImgJoinEngine& engine)
{
    return runOutputJob(parent, engine, PixelRules::JobCadGrey1);
}

bool ImagingCommands::onJobGrey(QWidget* parent, CImgJoinEngine& engine)
{
    return runOutputJob(parent, engine, PixelRules::JobGrey);
}

bool ImagingCommands::onJobCadGrey2(QWidget* parent, CImgJoinEngine& engine)
{
    return runOutputJob(parent, engine, PixelRules::JobCadGrey2);
}

bool ImagingCommands::onRestoreOutput(QWidget*, CImgJoinEngine& engine)
{
    engine.RestoreOutputPicture();
    return true;
}

// ---- printing

void ImagingCommands::reportPrintFailure(QWidget* parent)
{
    m_prompts.tell(parent, QObject::tr("打印"), QObject::tr("无法启动打印作业。"));
}

bool ImagingCommands::onPrint(QWidget* parent, CImgJoinEngine& engine, int displayMode)
{
    QPrintDialog dialog(&printer(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (!PagePrinter::print(printer(), engine, displayMode))
        reportPrintFailure(parent);
    return false;
}

bool ImagingCommands::onPrintDirect(QWidget* parent, CImgJoinEngine& engine, int displayMode)
{
    if (!PagePrinter::print(printer(), engine, displayMode))
        reportPrintFailure(parent);
    return false;
}

bool ImagingCommands::onPrintPreview(QWidget* parent, CImgJoinEngine& engine, int displayMode)
{
    QPrintPreviewDialog preview(&printer(), parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&engine, displayMode](QPrinter* target) {
                         PagePrinter::print(*target, engine, displayMode);
                     });
    preview.exec();
    return false;
}

bool ImagingCommands::onPrintSetup(QWidget* parent)
{
    QPageSetupDialog dialog(&printer(), parent);
    dialog.exec();
    return false;
}

// ---- filters

bool ImagingCommands::runFilter(QWidget* parent, CImgJoinEngine& engine, int code)
{
    PixelJob task = engine.beginFilter(code);
    if (!task.valid())
        return true;
    CProgressDlg box([&task] { task.run(); }, [&engine] { return engine.GetProgressText(); },
                     parent);
    box.runDelayed(FilterBoxDelay);
    engine.endFilter(task);
    return true;
}

bool ImagingCommands::onRemoveBlue(QWidget* parent, CImgJoinEngine& engine)
{
    return runFilter(parent, engine, PixelRules::FilterRemoveBlue);
}

bool ImagingCommands::onInvert(QWidget* parent, CImgJoinEngine& engine)
{
    return runFilter(parent, engine, PixelRules::FilterInvert);
}

bool ImagingCommands::onFade(QWidget* parent, CImgJoinEngine& engine)
{
    return runFilter(parent, engine, PixelRules::FilterFade);
}

bool ImagingCommands::onBrighten(QWidget* parent, CImgJoinEngine& engine)
{
    return runFilter(parent, engine, PixelRules::FilterBrighten);
}

bool ImagingCommands::onGrey(QWidget* parent, CImgJoinEngine& engine)
{
    return runFilter(parent, engine, PixelRules::FilterGrey);
}

bool ImagingCommands::onContrast(QWidget* parent, CImgJoinEngine& engine)
{
    return runFilter(parent, engine, PixelRules::FilterPosterise);
}

bool ImagingCommands::onUndoFilter(QWidget*, CImgJoinEngine& engine)
{
    engine.UndoFilter();
    return true;
}

// ---- by id

int ImagingCommands::jobFor(int id)
{
    switch (id) {
        case JobWhiteBackColour: return PixelRules::JobWhiteBackColour;
        case JobCadGrey1: return PixelRules::JobCadGrey1;
        case JobGrey: return PixelRules::JobGrey;
        case JobCadGrey2: return PixelRules::JobCadGrey2;
        default: return 0;
    }
}

int ImagingCommands::filterFor(int id)
{
    switch (id) {
        case FilterRemoveBlue: return PixelRules::FilterRemoveBlue;
        case FilterInvert: return PixelRules::FilterInvert;
        case FilterFade: return PixelRules::FilterFade;
        case FilterBrighten: return PixelRules::FilterBrighten;
        case FilterGrey: return PixelRules::FilterGrey;
        case FilterContrast: return PixelRules::FilterPosterise;
        default: return 0;
    }
}

bool ImagingCommands::handles(int id)
{
    switch (id) {
        case SaveJoined:
        case SaveOutputAs:
        case CopyOutput:
        case RestoreOutput:
        case Print:
        case PrintDirect:
        case PrintPreview:
        case PrintSetup:
        case FilterUndo: return true;
        default: return jobFor(id) != 0 || filterFor(id) != 0;
    }
}

bool ImagingCommands::isEnabled(int id, CImgJoinEngine& engine, int displayMode)
{
    const bool output = displayMode == ModeOutput;
    switch (id) {
        case SaveJoined: return !output && engine.GetPictureCount() > 0; // U6
        case SaveOutputAs:
        case CopyOutput:
        case RestoreOutput: return output; // U2
        case Print:
        case PrintDirect:
        case PrintPreview:
        case PrintSetup: return true;                                      // U0
        case FilterGrey: return !output && engine.BkColorDlgOpen(-1) != 1; // U9
        case FilterUndo: return engine.HasFilterUndo() != ' ';             // U8
        default: break;
    }
    if (jobFor(id) != 0)
        return output; // U2
    if (filterFor(id) != 0)
        return !output; // U3
    return false;
}

bool ImagingCommands::execute(int id, QWidget* parent, CImgJoinEngine& engine, int displayMode)
{
    switch (id) {
        case SaveJoined: return onSaveJoined(parent, engine);
        case SaveOutputAs: return onSaveOutputAs(parent, engine);
        case CopyOutput: return onCopyOutput(parent, engine);
        case RestoreOutput: return onRestoreOutput(parent, engine);
        case Print: return onPrint(parent, engine, displayMode);
        case PrintDirect: return onPrintDirect(parent, engine, displayMode);
        case PrintPreview: return onPrintPreview(parent, engine, displayMode);
        case PrintSetup: return onPrintSetup(parent);
        case FilterUndo: return onUndoFilter(parent, engine);
        default: break;
    }
    if (const int job = jobFor(id))
        return runOutputJob(parent, engine, job);
    if (const int code = filterFor(id))
        return runFilter(parent, engine, code);
    return false;
}
