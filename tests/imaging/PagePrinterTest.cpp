#include "PagePrinter.h"
#include "ImagingCommands.h"
#include "ImagingTestSupport.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>

namespace {

const QRgb PageWhite = qRgb(255, 255, 255);

// The page as an image, drawn the way the printer's page is.
QImage printedPage(CImgJoinEngine& engine, int width, int height, DisplayMode mode)
{
    // Not white to begin with: the page must be painted white.
    QImage page(width, height, QImage::Format_RGB32);
    page.fill(Qt::black);
    QPainter painter(&page);
    PagePrinter::drawPage(painter, engine, mode);
    return page;
}

bool near(QRgb a, QRgb b, int tolerance = 2)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance &&
           qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}

int pageCount(const QString& file)
{
    QFile pdf(file);
    if (!pdf.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(pdf.readAll()).count(QRegularExpression("/Type\\s*/Page[^s]")));
}

// Column x has red x: a sheet's part of the picture can be read off its pixels.
QImage redRamp(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x, 40, 200));
    return image;
}

} // namespace

class PagePrinterTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void pictureFillsTheMarginsAtOneScaleFromTheTopLeft();
    void marginsAreASixteenthButAtLeast80();
    void joiningModeCentresTheJoinedCanvasBetweenTheMargins();
    void joinedCanvasGoesToAOnePagePdf();
    void tiledPdfHasOnePageASheet();
    void sheetsOverlapAndCarryCutMarks();
    void nothingToPrintOrNoFileIsTold();
    void pdfGetsExactlyOnePage();
    void printerThatCannotStartIsReported();

private:
    void enterOutput(const QImage& picture)
    {
        m_bench->engine.AddPicture(m_bench->savePicture(picture, "out.png"));
        QCOMPARE(m_bench->engine.EnterOutputMode(DisplayMode::Joining), 1);
    }
    // Checks that the picture covers exactly the rectangle and white paper surrounds it.
    void expectPlaced(const QImage& page, const QRect& at, QRgb colour)
    {
        QVERIFY(near(page.pixel(at.topLeft()), colour));
        QVERIFY(near(page.pixel(at.bottomRight()), colour));
        QCOMPARE(page.pixel(at.left() - 1, at.top()), PageWhite);
        QCOMPARE(page.pixel(at.left(), at.top() - 1), PageWhite);
        QCOMPARE(page.pixel(at.right() + 1, at.bottom()), PageWhite);
        QCOMPARE(page.pixel(at.right(), at.bottom() + 1), PageWhite);
        QCOMPARE(page.pixel(0, 0), PageWhite);
        QCOMPARE(page.pixel(page.width() - 1, page.height() - 1), PageWhite);
    }

    std::unique_ptr<ImagingTestBench> m_bench;
};

void PagePrinterTest::init()
{
    m_bench = std::make_unique<ImagingTestBench>();
}

void PagePrinterTest::pictureFillsTheMarginsAtOneScaleFromTheTopLeft()
{
    // 1050 x 500 on 4800 x 6400: margins 300 and 400, scale min(4.0, 11.2).
    enterOutput(ImagingTestBench::solid(1050, 500, QColor(20, 120, 220)));
    const QImage page = printedPage(m_bench->engine, 4800, 6400, DisplayMode::Output);
    expectPlaced(page, QRect(300, 400, 4200, 2000), qRgb(20, 120, 220));
}

void PagePrinterTest::marginsAreASixteenthButAtLeast80()
{
    // A wide picture on a narrow portrait page is limited by the width.
    enterOutput(ImagingTestBench::solid(200, 100, Qt::red));
    QImage page = printedPage(m_bench->engine, 1280, 2000, DisplayMode::Output);
    expectPlaced(page, QRect(80, 125, 1120, 560), qRgb(255, 0, 0));
    // Below 1280 units a sixteenth would be less than 80.
    page = printedPage(m_bench->engine, 1000, 1000, DisplayMode::Output);
    expectPlaced(page, QRect(80, 80, 840, 420), qRgb(255, 0, 0));
}

void PagePrinterTest::joiningModeCentresTheJoinedCanvasBetweenTheMargins()
{
    // Two pictures side by side, the canvas zoomed and scrolled, a picture
    // current (grab handles on screen): none of that reaches the paper.
    m_bench->engine.addPlacedPicture(
        m_bench->savePicture(ImagingTestBench::solid(50, 40, Qt::green), "g.png"), 30, 20);
    m_bench->engine.addPlacedPicture(
        m_bench->savePicture(ImagingTestBench::solid(50, 40, Qt::blue), "b.png"), 80, 20);
    m_bench->engine.setCanvasMapping(2.0f, 10, 5);
    // The joined canvas is 100 x 40; space 1120 x 1750, so 11.2 times: 1120 x 448, centred.
    const QImage page = printedPage(m_bench->engine, 1280, 2000, DisplayMode::Joining);
    const QRect joined(80, 125 + (1750 - 448) / 2, 1120, 448);
    QVERIFY(near(page.pixel(joined.topLeft()), qRgb(0, 255, 0)));
    QVERIFY(near(page.pixel(joined.center() - QPoint(20, 0)), qRgb(0, 255, 0)));
    QVERIFY(near(page.pixel(joined.center() + QPoint(20, 0)), qRgb(0, 0, 255)));
    QVERIFY(near(page.pixel(joined.bottomRight()), qRgb(0, 0, 255)));
    QCOMPARE(page.pixel(joined.left() - 1, joined.top()), PageWhite);
    QCOMPARE(page.pixel(joined.left(), joined.top() - 1), PageWhite);
    QCOMPARE(page.pixel(joined.right() + 1, joined.bottom()), PageWhite);
    QCOMPARE(page.pixel(joined.right(), joined.bottom() + 1), PageWhite);
    QCOMPARE(page.pixel(5, 5), PageWhite);
    QCOMPARE(page.pixel(640, 1990), PageWhite);
    QVERIFY(m_bench->errors.isEmpty());
}

void PagePrinterTest::joinedCanvasGoesToAOnePagePdf()
{
    m_bench->engine.addPlacedPicture(
        m_bench->savePicture(ImagingTestBench::solid(60, 30, Qt::red), "r.png"), 0, 0);
    ImagingCommands commands;
    UserPrompts prompts = m_bench->prompts;
    QString suggested;
    prompts.setChooseSaveFile(
        [&](QWidget*, const QString&, const QString& offered, const QString&) {
            suggested = offered;
            return m_bench->path("joined");
        });
    commands.setPrompts(prompts);
    QVERIFY(!commands.onExportPdf(nullptr, m_bench->engine, DisplayMode::Joining));
    QVERIFY(suggested.endsWith(QStringLiteral(".pdf")));
    QCOMPARE(pageCount(m_bench->path("joined.pdf")), 1);
    QVERIFY(m_bench->messages.isEmpty());
    QVERIFY(m_bench->errors.isEmpty());
}

void PagePrinterTest::tiledPdfHasOnePageASheet()
{
    m_bench->engine.addPlacedPicture(
        m_bench->savePicture(ImagingTestBench::solid(900, 700, Qt::red), "big.png"), 0, 0);
    ImagingCommands commands;
    commands.setPrompts(m_bench->prompts);
    TileLayout::Choice tiling;
    tiling.mode = TileLayout::Choice::Mode::SheetsWide;
    tiling.sheetsWide = 3;
    commands.setTiling(tiling);
    // The same sheets the PDF's paper gives.
    QPrinter paper(QPrinter::HighResolution);
    paper.setOutputFormat(QPrinter::PdfFormat);
    paper.setPageLayout(commands.printer().pageLayout());
    const TileLayout layout = PagePrinter::sheetLayout(paper, QSize(900, 700), tiling);
    QCOMPARE(layout.columns(), 3);
    QVERIFY(layout.rows() >= 2);
    QVERIFY(commands.exportPdf(nullptr, m_bench->engine, DisplayMode::Joining,
                               m_bench->path("tiles.pdf")));
    QCOMPARE(pageCount(m_bench->path("tiles.pdf")), layout.count());

    // Back to one page.
    commands.setTiling(TileLayout::Choice());
    QVERIFY(commands.exportPdf(nullptr, m_bench->engine, DisplayMode::Joining,
                               m_bench->path("one.pdf")));
    QCOMPARE(pageCount(m_bench->path("one.pdf")), 1);
    QVERIFY(m_bench->messages.isEmpty());
}

void PagePrinterTest::sheetsOverlapAndCarryCutMarks()
{
    // 4 units a pixel at 100 %; a 400 x 600 printable area holds 100 x 150
    // pixels; the overlap is 10 mm at 384 units to the inch.
    const QImage picture = redRamp(220, 100);
    const TileLayout layout =
        TileLayout::byScale(picture.size(), QSizeF(400, 600), 4 * TileLayout::ScreenDpi, 100.0);
    QCOMPARE(layout.columns(), 3);
    QCOMPARE(layout.rows(), 1);
    const auto sheet = [&](int index) {
        QImage page(400, 600, QImage::Format_RGB32);
        page.fill(Qt::black);
        QPainter painter(&page);
        PagePrinter::drawSheet(painter, picture, layout, index);
        return page;
    };
    const QImage first = sheet(0), second = sheet(1), last = sheet(2);
    const int overlap = qRound(layout.overlapUnits()); // 151 units
    // The second sheet begins where the first one's overlap begins.
    QVERIFY(near(second.pixel(20, 300), first.pixel(400 - overlap + 20, 300), 3));
    QVERIFY(near(second.pixel(20, 300), qRgb(int(layout.source(1).left() + 5), 40, 200), 3));
    // The last part is narrower than the sheet: white paper beyond it, and
    // below the picture too.
    const int end = int(layout.target(2).width());
    QVERIFY(near(last.pixel(end - 10, 50),
                 qRgb(int(layout.source(2).left() + (end - 10) / 4.0), 40, 200), 3));
    QCOMPARE(last.pixel(end + 10, 50), PageWhite);
    QCOMPARE(first.pixel(200, 450), PageWhite);
    // Corner marks in grey at each corner of the part.
    const QRgb mark = qRgb(96, 96, 96);
    QVERIFY(near(second.pixel(1, 12), mark, 10));
    QVERIFY(near(second.pixel(12, 1), mark, 10));
    QVERIFY(near(second.pixel(398, 398), mark, 10));
    QVERIFY(near(last.pixel(end - 2, 12), mark, 10));
    // A sheet by itself gets no marks.
    const TileLayout single =
        TileLayout::byScale(picture.size(), QSizeF(1200, 600), 4 * TileLayout::ScreenDpi, 100.0);
    QCOMPARE(single.count(), 1);
    QImage alone(1200, 600, QImage::Format_RGB32);
    {
        QPainter painter(&alone);
        PagePrinter::drawSheet(painter, picture, single, 0);
    }
    QVERIFY(near(alone.pixel(1, 12), qRgb(0, 40, 200), 3));
}

void PagePrinterTest::nothingToPrintOrNoFileIsTold()
{
    // An empty canvas: told, and no file.
    ImagingCommands commands;
    commands.setPrompts(m_bench->prompts);
    QVERIFY(!commands.exportPdf(nullptr, m_bench->engine, DisplayMode::Joining,
                                m_bench->path("empty.pdf")));
    QCOMPARE(m_bench->messages,
             QStringList{ QStringLiteral("输出PDF|画布上没有图片, 没有可以输出的内容。") });
    QVERIFY(!QFile::exists(m_bench->path("empty.pdf")));

    // A folder that does not exist.
    m_bench->messages.clear();
    m_bench->engine.addPlacedPicture(
        m_bench->savePicture(ImagingTestBench::solid(20, 20, Qt::red), "r.png"), 0, 0);
    const QString missing = m_bench->path("missing/folder/out.pdf");
    QVERIFY(!commands.exportPdf(nullptr, m_bench->engine, DisplayMode::Joining, missing));
    QCOMPARE(m_bench->messages.size(), 1);
    QVERIFY(m_bench->messages.first().startsWith(QStringLiteral("输出PDF|无法写入PDF文件")));

    // More sheets than a print job sensibly takes.
    m_bench->messages.clear();
    m_bench->engine.addPlacedPicture(
        m_bench->savePicture(ImagingTestBench::solid(400, 400, Qt::red), "big.png"), 20, 20);
    TileLayout::Choice tiling;
    tiling.mode = TileLayout::Choice::Mode::Scale;
    tiling.scalePercent = TileLayout::MaxScalePercent;
    commands.setTiling(tiling);
    QVERIFY(!commands.exportPdf(nullptr, m_bench->engine, DisplayMode::Joining,
                                m_bench->path("many.pdf")));
    QCOMPARE(m_bench->messages.size(), 1);
    QVERIFY(!QFile::exists(m_bench->path("many.pdf")));
}

void PagePrinterTest::pdfGetsExactlyOnePage()
{
    enterOutput(ImagingTestBench::solid(300, 200, Qt::blue));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_bench->path("page.pdf"));
    QVERIFY(PagePrinter::print(printer, m_bench->engine, DisplayMode::Output));
    QFile pdf(m_bench->path("page.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(pdf.readAll());
    QCOMPARE(text.count(QRegularExpression("/Type\\s*/Page[^s]")), 1);
    QVERIFY(text.contains(QRegularExpression("/Subtype\\s*/Image")));
    QVERIFY(m_bench->errors.isEmpty());
}

void PagePrinterTest::printerThatCannotStartIsReported()
{
    enterOutput(ImagingTestBench::solid(30, 20, Qt::blue));
    ImagingCommands commands;
    commands.setPrompts(m_bench->prompts);
    commands.printer().setOutputFormat(QPrinter::PdfFormat);
    commands.printer().setOutputFileName(m_bench->path("missing/folder/page.pdf"));
    QVERIFY(!commands.onPrintDirect(nullptr, m_bench->engine, DisplayMode::Output));
    QCOMPARE(m_bench->messages, QStringList{ QStringLiteral("打印|无法启动打印作业。") });
}

QTEST_MAIN(PagePrinterTest)
#include "PagePrinterTest.moc"
