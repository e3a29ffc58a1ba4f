#include "ImagingCommands.h"

#include "CImgJoinEngine.h"
#include "CProgressDlg.h"
#include "CSaveJoinDlg.h"
#include "CTiledPrintDlg.h"
#include "PagePrinter.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
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

QImage ImagingCommands::pictureToPrint(QWidget* parent, CImgJoinEngine& engine,
                                       DisplayMode displayMode, const QString& title)
{
    const QImage picture = PagePrinter::pagePicture(engine, displayMode);
    // The engine reports a picture it cannot read; an empty canvas is no
    // failure of its own, so it says nothing.
    if (picture.isNull() && displayMode != DisplayMode::Output && engine.GetPictureCount() == 0)
        m_prompts.tell(parent, title, QObject::tr("画布上没有图片, 没有可以输出的内容。"));
    return picture;
}

bool ImagingCommands::tilingFits(QWidget* parent, const QPrinter& target, const QImage& picture,
                                 const QString& title)
{
    if (!m_tiling.tiled())
        return true;
    const TileLayout layout = PagePrinter::sheetLayout(target, picture.size(), m_tiling);
    if (layout.valid())
        return true;
    if (layout.tooManySheets())
        m_prompts.tell(parent, title,
                       QObject::tr("按所选的分页方式需要超过%1张纸, 请在“分页打印”中减小打印比例。")
                           .arg(TileLayout::MaxSheets));
    else
        m_prompts.tell(parent, title,
                       QObject::tr("纸张太小, 无法按所选的方式分页打印, 请在“分页打印”中另选。"));
    return false;
}

bool ImagingCommands::printPicture(QWidget* parent, const QImage& picture, DisplayMode displayMode)
{
    if (!tilingFits(parent, printer(), picture, QObject::tr("打印")))
        return false;
    if (!PagePrinter::print(printer(), picture, PagePrinter::placementFor(displayMode), m_tiling))
        reportPrintFailure(parent);
    return false;
}

bool ImagingCommands::onPrint(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode)
{
    const QImage picture = pictureToPrint(parent, engine, displayMode, QObject::tr("打印"));
    if (picture.isNull())
        return false;
    QPrintDialog dialog(&printer(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return printPicture(parent, picture, displayMode);
}

bool ImagingCommands::onPrintDirect(QWidget* parent, CImgJoinEngine& engine,
                                    DisplayMode displayMode)
{
    const QImage picture = pictureToPrint(parent, engine, displayMode, QObject::tr("打印"));
    if (picture.isNull())
        return false;
    return printPicture(parent, picture, displayMode);
}

void ImagingCommands::showPreview(QWidget* parent, const QImage& picture, DisplayMode displayMode)
{
    if (!tilingFits(parent, printer(), picture, QObject::tr("打印预览")))
        return;
    QPrintPreviewDialog preview(&printer(), parent);
    const PageLayout::Placement placement = PagePrinter::placementFor(displayMode);
    // The preview asks again after each change of paper or orientation.
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&picture, placement, tiling = m_tiling](QPrinter* target) {
                         PagePrinter::print(*target, picture, placement, tiling);
                     });
    preview.exec();
}

bool ImagingCommands::onPrintPreview(QWidget* parent, CImgJoinEngine& engine,
                                     DisplayMode displayMode)
{
    const QImage picture = pictureToPrint(parent, engine, displayMode, QObject::tr("打印预览"));
    if (!picture.isNull())
        showPreview(parent, picture, displayMode);
    return false;
}

bool ImagingCommands::onPrintSetup(QWidget* parent)
{
    QPageSetupDialog dialog(&printer(), parent);
    dialog.exec();
    return false;
}

bool ImagingCommands::onTiledPrint(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode)
{
    const QImage picture = pictureToPrint(parent, engine, displayMode, QObject::tr("分页打印"));
    if (picture.isNull())
        return false;
    QPrinter& target = printer();
    CTiledPrintDlg dialog(picture.size(), QSizeF(target.width(), target.height()),
                          target.resolution(), m_tiling, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    m_tiling = dialog.choice();
    if (dialog.action() == CTiledPrintDlg::Action::Preview) {
        showPreview(parent, picture, displayMode);
        return false;
    }
    QPrintDialog printDialog(&target, parent);
    printDialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    printDialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (printDialog.exec() != QDialog::Accepted)
        return false;
    return printPicture(parent, picture, displayMode);
}

// ---- PDF files

bool ImagingCommands::onExportPdf(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode)
{
    QString suggested = m_lastPdfPath;
    if (suggested.isEmpty()) {
        QString folder = engine.GetSettingString(CImgJoinEngine::SettingJoinDir);
        if (folder.isEmpty())
            folder = QDir::homePath();
        const QString name = displayMode == DisplayMode::Output ? QObject::tr("打印输出图片.pdf")
                                                                : QObject::tr("拼接图片.pdf");
        suggested = QDir(folder).filePath(name);
    }
    QString path = m_prompts.chooseSaveFile(parent, QObject::tr("输出PDF"), suggested,
                                            QObject::tr("PDF文件 (*.pdf)"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".pdf");
    m_lastPdfPath = path;
    exportPdf(parent, engine, displayMode, path);
    return false;
}

bool ImagingCommands::exportPdf(QWidget* parent, CImgJoinEngine& engine, DisplayMode displayMode,
                                const QString& path)
{
    const QString title = QObject::tr("输出PDF");
    const QImage picture = pictureToPrint(parent, engine, displayMode, title);
    if (picture.isNull())
        return false;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    // The paper, orientation and margins the user set up for printing.
    pdf.setPageLayout(printer().pageLayout());
    pdf.setDocName(QFileInfo(path).completeBaseName());
    pdf.setOutputFileName(path);
    if (!tilingFits(parent, pdf, picture, title))
        return false;
    // The writer does not say when the disk fails it; an empty file tells.
    if (!PagePrinter::print(pdf, picture, PagePrinter::placementFor(displayMode), m_tiling) ||
        QFileInfo(path).size() == 0) {
        m_prompts.tell(parent, title,
                       QObject::tr("无法写入PDF文件 %1, 请检查文件夹是否存在、是否可写, "
                                   "以及磁盘空间是否足够。")
                           .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
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
