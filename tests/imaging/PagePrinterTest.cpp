#include "PagePrinter.h"
#include "ImagingCommands.h"
#include "ImagingTestSupport.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>

namespace {

const QRgb PageGrey = qRgb(0xDE, 0xDE, 0xDE);

// The page as an image, drawn the way the printer's page is.
QImage printedPage(CImgJoinEngine& engine, int width, int height, DisplayMode mode)
{
    QImage page(width, height, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    PagePrinter::drawPage(painter, engine, mode);
    return page;
}

bool near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) <= 2 && qAbs(qGreen(a) - qGreen(b)) <= 2 &&
           qAbs(qBlue(a) - qBlue(b)) <= 2;
}

} // namespace

class PagePrinterTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void pictureFillsTheMarginsAtOneScaleFromTheTopLeft();
    void marginsAreASixteenthButAtLeast80();
    void joiningModePrintsTheCanvasAsOnScreen();
    void pdfGetsExactlyOnePage();
    void printerThatCannotStartIsReported();

private:
    void enterOutput(const QImage& picture)
    {
        m_bench->engine.AddPicture(m_bench->savePicture(picture, "out.png"));
        QCOMPARE(m_bench->engine.EnterOutputMode(DisplayMode::Joining), 1);
    }
    // Checks that the picture covers exactly the rectangle and grey surrounds it.
    void expectPlaced(const QImage& page, const QRect& at, QRgb colour)
    {
        QVERIFY(near(page.pixel(at.topLeft()), colour));
        QVERIFY(near(page.pixel(at.bottomRight()), colour));
        QCOMPARE(page.pixel(at.left() - 1, at.top()), PageGrey);
        QCOMPARE(page.pixel(at.left(), at.top() - 1), PageGrey);
        QCOMPARE(page.pixel(at.right() + 1, at.bottom()), PageGrey);
        QCOMPARE(page.pixel(at.right(), at.bottom() + 1), PageGrey);
        QCOMPARE(page.pixel(0, 0), PageGrey);
        QCOMPARE(page.pixel(page.width() - 1, page.height() - 1), PageGrey);
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

void PagePrinterTest::joiningModePrintsTheCanvasAsOnScreen()
{
    m_bench->engine.addPlacedPicture(
        m_bench->savePicture(ImagingTestBench::solid(50, 40, Qt::green), "g.png"), 30, 20);
    m_bench->engine.setCanvasMapping(2.0f, 10, 5);
    const QImage page = printedPage(m_bench->engine, 400, 300, DisplayMode::Joining);
    QCOMPARE(page.pixel(75, 50), qRgb(0, 255, 0));       // (30, 20) at zoom 2 from (10, 5)
    QCOMPARE(page.pixel(200, 200), qRgb(255, 255, 255)); // no grey page in joining mode
    QCOMPARE(page.pixel(5, 5), qRgb(255, 255, 255));
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
