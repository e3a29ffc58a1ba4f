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

ImagingCommands::ImagingCommands() = default;
ImagingCommands::~ImagingCommands() = default;

QPrinter& ImagingCommands::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

// ---- saving and copying

void ImagingCommands::runSaveDialog(QWidget* parent, CImgJoinEngine& engine, int variant)
{
    CSaveJoinDlg dialog(engine, variant, parent);
    dialog.setPrompts(m_prompts);
    QObject::connect(&dialog, &CSaveJoinDlg::fileSaved, [this](const QString& path, qint64 bytes) {
        if (m_statusReport)
            m_statusReport(CSaveJoinDlg::savedMessage(path, bytes));
    });
    dialog.exec();
}

bool ImagingCommands::onSaveJoined(QWidget* parent, CImgJoinEngine& engine)
{
    runSaveDialog(parent, engine, CSaveJoinDlg::VariantJoined);
    return true;
}

bool ImagingCommands::onSaveOutputAs(QWidget* parent, CImgJoinEngine& engine)
{
    runSaveDialog(parent, engine, CSaveJoinDlg::VariantOutput);
    return false;
}

bool ImagingCommands::onCopyOutput(QWidget*, CImgJoinEngine& engine)
{
    const QImage picture = engine.GetOutputImage();
    if (!picture.isNull()) // otherwise the engine has said why
        QGuiApplication::clipboard()->setImage(picture);
    return false;
}

// ---- print-output jobs

bool ImagingCommands::runOutputJob(QWidget* parent, CImgJoinEngine& engine, OutputJob job)
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

// ---- printing

void ImagingCommands::reportPrintFailure(QWidget* parent)
{
    m_prompts.tell(parent, QObject::tr("打印"), QObject::tr("无法启动打印作业。"));
}

bool ImagingCommands::onPrint(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode)
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

bool ImagingCommands::onPrintDirect(QWidget* parent, CImgJoinEngine& engine,
                                    DisplayMode displayMode)
{
    if (!PagePrinter::print(printer(), engine, displayMode))
        reportPrintFailure(parent);
    return false;
}

bool ImagingCommands::onPrintPreview(QWidget* parent, CImgJoinEngine& engine,
                                     DisplayMode displayMode)
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

bool ImagingCommands::runFilter(QWidget* parent, CImgJoinEngine& engine, FilterCode code)
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
