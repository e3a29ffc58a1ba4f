#include "ImagingCommands.h"
#include "CProgressDlg.h"
#include "ImagingTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>

using Commands = ImagingCommands;

namespace {

QImage load(const QString& file)
{
    return QImageReader(file).read().convertToFormat(QImage::Format_RGB32);
}

// White, with one red pixel at (1, 0).
QImage whiteWithRed()
{
    QImage image = ImagingTestBench::solid(3, 2, Qt::white);
    image.setPixel(1, 0, qRgb(255, 0, 0));
    return image;
}

// Counts the times a widget is shown.
class ShowCounter : public QObject
{
public:
    int shows = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

} // namespace

class ImagingCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void jobCommandsRunTheirJobsBehindTheProgressBox();
    void filterCommandsAndUndo();
    void copyPutsTheOutputPictureOnTheClipboard();
    void progressBoxRefusesEscapeAndEnterUntilTheWorkIsDone();
    void quickWorkClosesTheBoxWithoutProgressOrWithoutShowingIt();
    void progressBoxLooksAtTheProgressTwiceASecond();
    void progressBoxCancelsByButtonEscapeOrClosing();

private:
    void enterOutput(const QImage& picture)
    {
        m_bench->engine.AddPicture(m_bench->savePicture(picture, "out.png"));
        QCOMPARE(m_bench->engine.EnterOutputMode(DisplayMode::Joining), 1);
    }

    std::unique_ptr<ImagingTestBench> m_bench;
    Commands m_commands;
};

void ImagingCommandsTest::init()
{
    m_bench = std::make_unique<ImagingTestBench>();
    m_commands.setPrompts(m_bench->prompts);
}

void ImagingCommandsTest::jobCommandsRunTheirJobsBehindTheProgressBox()
{
    enterOutput(whiteWithRed());
    struct Case
    {
        OutputJob job;
        QRgb white;
        QRgb red;
    };
    const Case cases[] = {
        { OutputJob::WhiteBackColour, qRgb(0, 0, 0), qRgb(255, 0, 0) },
        { OutputJob::CadGrey1, qRgb(0, 0, 0), qRgb(178, 178, 178) },
        { OutputJob::Grey, qRgb(255, 255, 255), qRgb(76, 76, 76) },
        { OutputJob::CadGrey2, qRgb(0, 0, 0), qRgb(76, 76, 76) },
    };
    const QString original = m_bench->engine.GetOutputFile();
    for (const Case& c : cases) {
        m_bench->engine.RestoreOutputPicture();
        QCOMPARE(m_bench->engine.GetOutputFile(), original);
        QVERIFY(m_commands.runOutputJob(nullptr, m_bench->engine, c.job));
        const QImage result = load(m_bench->engine.GetOutputFile());
        QCOMPARE(result.pixel(0, 0), c.white);
        QCOMPARE(result.pixel(1, 0), c.red);
    }
    QVERIFY(m_bench->errors.isEmpty());
}

void ImagingCommandsTest::filterCommandsAndUndo()
{
    m_bench->engine.AddPicture(m_bench->savePicture(whiteWithRed(), "p.png"));
    QVERIFY(m_commands.runFilter(nullptr, m_bench->engine, FilterCode::Invert));
    QCOMPARE(load(m_bench->engine.picture(0).file).pixel(1, 0), qRgb(0, 255, 255));
    QVERIFY(m_commands.runFilter(nullptr, m_bench->engine, FilterCode::Grey));
    QCOMPARE(load(m_bench->engine.picture(0).file).pixel(1, 0), qRgb(178, 178, 178));
    m_bench->engine.UndoFilter();
    QCOMPARE(load(m_bench->engine.picture(0).file).pixel(1, 0), qRgb(0, 255, 255));
    QVERIFY(m_commands.runFilter(nullptr, m_bench->engine, FilterCode::Fade));
    QCOMPARE(load(m_bench->engine.picture(0).file).pixel(1, 0), qRgb(0, 229, 229));
}

void ImagingCommandsTest::copyPutsTheOutputPictureOnTheClipboard()
{
    enterOutput(whiteWithRed());
    QVERIFY(!m_commands.onCopyOutput(nullptr, m_bench->engine));
    const QImage copied = QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(copied.size(), QSize(3, 2));
    QCOMPARE(copied.pixel(1, 0), qRgb(255, 0, 0));

    QFile::remove(m_bench->engine.GetOutputFile());
    m_bench->engine.ForgetDecodedPictures();
    QVERIFY(!m_commands.onCopyOutput(nullptr, m_bench->engine));
    QCOMPARE(m_bench->errors.size(), 1); // the engine says why
}

void ImagingCommandsTest::progressBoxRefusesEscapeAndEnterUntilTheWorkIsDone()
{
    std::atomic<bool> release{ false };
    CProgressDlg box(
        [&release] {
            while (!release)
                QThread::msleep(5);
        },
        [] { return QStringLiteral("42/100"); });
    bool running = false, stayedOpen = false, showedProgress = false;
    QTimer::singleShot(0, &box, [&] {
        running = QTest::qWaitFor([&] { return box.state() == CProgressDlg::Running; }, 5000);
        QTest::keyClick(&box, Qt::Key_Escape);
        QTest::keyClick(&box, Qt::Key_Return);
        box.close();
        stayedOpen = box.isVisible();
        showedProgress =
            QTest::qWaitFor([&] { return box.shownText() == QStringLiteral("42/100"); }, 5000);
        release = true;
    });
    QCOMPARE(box.exec(), int(QDialog::Accepted));
    QVERIFY(running);
    QVERIFY(stayedOpen);
    QVERIFY(showedProgress);
    QCOMPARE(box.state(), CProgressDlg::Finished);
}

void ImagingCommandsTest::quickWorkClosesTheBoxWithoutProgressOrWithoutShowingIt()
{
    int runs = 0;
    CProgressDlg shownBox([&runs] { ++runs; }, [] { return QStringLiteral("1/100"); });
    QCOMPARE(shownBox.exec(), int(QDialog::Accepted));
    QCOMPARE(runs, 1);
    QCOMPARE(shownBox.shownText(), QString()); // done before the first look at the progress

    ShowCounter counter;
    CProgressDlg hiddenBox([&runs] { ++runs; }, [] { return QString(); });
    hiddenBox.installEventFilter(&counter);
    QCOMPARE(hiddenBox.runDelayed(2000), int(QDialog::Accepted));
    QCOMPARE(runs, 2);
    QCOMPARE(counter.shows, 0);
}

void ImagingCommandsTest::progressBoxLooksAtTheProgressTwiceASecond()
{
    // Timers fire late under load but never much early, so a job of t ms
    // sees the text asked for at most t / 475 + 1 times; every 100 ms would be
    // about t / 100.
    std::atomic<qint64> ranMs{ 0 };
    int looks = 0;
    CProgressDlg box(
        [&ranMs] {
            QElapsedTimer clock;
            clock.start();
            QThread::msleep(1300);
            ranMs = clock.elapsed();
        },
        [&looks] {
            ++looks;
            return QStringLiteral("5/100");
        });
    QCOMPARE(box.exec(), int(QDialog::Accepted));
    QVERIFY(ranMs >= 1300);
    QVERIFY2(looks >= 1, "the progress was never looked at");
    const qint64 most = ranMs / 475 + 1;
    QVERIFY2(looks <= most,
             qPrintable(QStringLiteral("%1 looks in %2 ms").arg(looks).arg(ranMs.load())));
    QCOMPARE(box.shownText(), QStringLiteral("5/100"));
}

void ImagingCommandsTest::progressBoxCancelsByButtonEscapeOrClosing()
{
    // Without a cancel action there is no button.
    {
        CProgressDlg box([] {}, [] { return QString(); });
        auto* button = box.findChild<QPushButton*>(QStringLiteral("cancelButton"));
        QVERIFY(button != nullptr);
        QVERIFY(button->isHidden());
    }
    enum Way
    {
        Button,
        Escape,
        Closing
    };
    for (Way way : { Button, Escape, Closing }) {
        std::atomic<bool> stop{ false };
        int asked = 0;
        CProgressDlg box(
            [&stop] {
                while (!stop)
                    QThread::msleep(5);
            },
            [] { return QStringLiteral("7/100"); });
        box.setCancel([&] {
            ++asked;
            stop = true;
        });
        bool running = false, buttonShown = false;
        QTimer::singleShot(0, &box, [&] {
            running = QTest::qWaitFor([&] { return box.state() == CProgressDlg::Running; }, 5000);
            auto* button = box.findChild<QPushButton*>(QStringLiteral("cancelButton"));
            buttonShown = button != nullptr && button->isVisible();
            if (way == Button && button != nullptr)
                QTest::mouseClick(button, Qt::LeftButton);
            else if (way == Escape)
                QTest::keyClick(&box, Qt::Key_Escape);
            else
                box.close();
            // Asked once, however often the user insists.
            QTest::keyClick(&box, Qt::Key_Escape);
            box.close();
        });
        QCOMPARE(box.exec(), int(QDialog::Rejected));
        QVERIFY(running);
        QVERIFY(buttonShown);
        QCOMPARE(asked, 1);
        QVERIFY(box.cancelRequested());
        QCOMPARE(box.state(), CProgressDlg::Finished);
    }
    // Work that ends before anyone cancels is done as usual.
    CProgressDlg quick([] {}, [] { return QString(); });
    bool asked = false;
    quick.setCancel([&asked] { asked = true; });
    QCOMPARE(quick.runDelayed(2000), int(QDialog::Accepted));
    QVERIFY(!asked);
}

QTEST_MAIN(ImagingCommandsTest)
#include "ImagingCommandsTest.moc"
