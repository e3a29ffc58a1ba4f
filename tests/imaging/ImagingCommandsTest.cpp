#include "ImagingCommands.h"
#include "CProgressDlg.h"
#include "ImagingTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QImageReader>
#include <QLabel>
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
    void enablingRulesFollowTheDisplayModeAndTheEngine();
    void jobCommandsRunTheirJobsBehindTheProgressBox();
    void filterCommandsAndUndo();
    void copyPutsTheOutputPictureOnTheClipboard();
    void progressBoxRefusesEscapeAndEnterUntilTheWorkIsDone();
    void quickWorkClosesTheBoxWithoutProgressOrWithoutShowingIt();
    void progressBoxLooksAtTheProgressTwiceASecond();

private:
    void enterOutput(const QImage& picture)
    {
        m_bench->engine.AddPicture(m_bench->savePicture(picture, "out.png"));
        QCOMPARE(m_bench->engine.EnterOutputMode(CImgJoinEngine::ModeJoining), 1);
    }

    std::unique_ptr<ImagingTestBench> m_bench;
    Commands m_commands;
};

void ImagingCommandsTest::init()
{
    m_bench = std::make_unique<ImagingTestBench>();
    m_commands.setPrompts(m_bench->prompts);
}

void ImagingCommandsTest::enablingRulesFollowTheDisplayModeAndTheEngine()
{
    CImgJoinEngine& engine = m_bench->engine;
    const int joining = CImgJoinEngine::ModeJoining, output = CImgJoinEngine::ModeOutput;
    const QList<int> outputOnly = {
        Commands::SaveOutputAs, Commands::CopyOutput, Commands::JobWhiteBackColour,
        Commands::JobCadGrey1,  Commands::JobGrey,    Commands::JobCadGrey2,
        Commands::RestoreOutput
    };
    const QList<int> joiningOnly = { Commands::FilterRemoveBlue, Commands::FilterInvert,
                                     Commands::FilterFade,       Commands::FilterBrighten,
                                     Commands::FilterGrey,       Commands::FilterContrast };
    for (int id : outputOnly) {
        QVERIFY(Commands::handles(id));
        QVERIFY(Commands::isEnabled(id, engine, output));
        QVERIFY(!Commands::isEnabled(id, engine, joining));
    }
    for (int id : joiningOnly) {
        QVERIFY(Commands::isEnabled(id, engine, joining));
        QVERIFY(!Commands::isEnabled(id, engine, output));
    }
    for (int id : { Commands::Print, Commands::PrintPreview, Commands::PrintSetup })
        QVERIFY(Commands::isEnabled(id, engine, output) &&
                Commands::isEnabled(id, engine, joining));
    QVERIFY(!Commands::handles(32781));

    // Saving the joined picture needs a picture; grey is off while the
    // background-colour dialog is open; undo needs an undo copy.
    QVERIFY(!Commands::isEnabled(Commands::SaveJoined, engine, joining));
    m_bench->engine.AddPicture(m_bench->savePicture(whiteWithRed(), "p.png"));
    QVERIFY(Commands::isEnabled(Commands::SaveJoined, engine, joining));
    QVERIFY(!Commands::isEnabled(Commands::SaveJoined, engine, output));
    engine.BkColorDlgOpen(1);
    QVERIFY(!Commands::isEnabled(Commands::FilterGrey, engine, joining));
    QVERIFY(Commands::isEnabled(Commands::FilterInvert, engine, joining));
    engine.BkColorDlgOpen(0);
    QVERIFY(!Commands::isEnabled(Commands::FilterUndo, engine, joining));
    QVERIFY(engine.ApplyFilter(PixelRules::FilterInvert));
    QVERIFY(Commands::isEnabled(Commands::FilterUndo, engine, joining));
}

void ImagingCommandsTest::jobCommandsRunTheirJobsBehindTheProgressBox()
{
    enterOutput(whiteWithRed());
    struct Case
    {
        int id;
        QRgb white;
        QRgb red;
    };
    const Case cases[] = {
        { Commands::JobWhiteBackColour, qRgb(0, 0, 0), qRgb(255, 0, 0) },
        { Commands::JobCadGrey1, qRgb(0, 0, 0), qRgb(178, 178, 178) },
        { Commands::JobGrey, qRgb(255, 255, 255), qRgb(76, 76, 76) },
        { Commands::JobCadGrey2, qRgb(0, 0, 0), qRgb(76, 76, 76) },
    };
    const QString original = m_bench->engine.GetOutputFile();
    for (const Case& c : cases) {
        QVERIFY(m_commands.execute(Commands::RestoreOutput, nullptr, m_bench->engine,
                                   CImgJoinEngine::ModeOutput));
        QCOMPARE(m_bench->engine.GetOutputFile(), original);
        QVERIFY(m_commands.execute(c.id, nullptr, m_bench->engine, CImgJoinEngine::ModeOutput));
        const QImage result = load(m_bench->engine.GetOutputFile());
        QCOMPARE(result.pixel(0, 0), c.white);
        QCOMPARE(result.pixel(1, 0), c.red);
    }
    QVERIFY(m_bench->errors.isEmpty());
}

void ImagingCommandsTest::filterCommandsAndUndo()
{
    m_bench->engine.AddPicture(m_bench->savePicture(whiteWithRed(), "p.png"));
    const int joining = CImgJoinEngine::ModeJoining;
    QVERIFY(m_commands.execute(Commands::FilterInvert, nullptr, m_bench->engine, joining));
    QCOMPARE(load(m_bench->engine.picture(0).file).pixel(1, 0), qRgb(0, 255, 255));
    QVERIFY(m_commands.execute(Commands::FilterGrey, nullptr, m_bench->engine, joining));
    QCOMPARE(load(m_bench->engine.picture(0).file).pixel(1, 0), qRgb(178, 178, 178));
    QVERIFY(m_commands.execute(Commands::FilterUndo, nullptr, m_bench->engine, joining));
    QCOMPARE(load(m_bench->engine.picture(0).file).pixel(1, 0), qRgb(0, 255, 255));
    QVERIFY(m_commands.execute(Commands::FilterFade, nullptr, m_bench->engine, joining));
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
    m_bench->engine.imageCache().clear();
    QVERIFY(!m_commands.onCopyOutput(nullptr, m_bench->engine));
    QCOMPARE(m_bench->messages.size(), 1);
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

QTEST_MAIN(ImagingCommandsTest)
#include "ImagingCommandsTest.moc"
