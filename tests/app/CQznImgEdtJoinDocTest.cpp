#include "CQznImgEdtJoinDoc.h"
#include "CImgJoinEngine.h"
#include "CMainFrame.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "PrintInfoBlock.h"
#include "UserPrompts.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using Choice = UserPrompts::SaveChoice;

namespace {

// The six ways a changed canvas could be thrown away.
enum class Entry
{
    New,
    Open,
    Exit,
    CloseWindow,
    OutputMode,
    HandOver
};

QString entryName(Entry entry)
{
    switch (entry) {
        case Entry::New: return QStringLiteral("new");
        case Entry::Open: return QStringLiteral("open");
        case Entry::Exit: return QStringLiteral("exit");
        case Entry::CloseWindow: return QStringLiteral("close");
        case Entry::OutputMode: return QStringLiteral("output");
        case Entry::HandOver: return QStringLiteral("hand-over");
    }
    return {};
}

// Everything the prompts were asked, and their scripted answers.
struct Script
{
    Choice answer = Choice::Cancel;
    QString saveAs;        // the file the save dialog gives
    QString open;          // the file the open dialog gives
    QStringList questions; // "title|text" of each save question
    int openDialogs = 0;
    int saveDialogs = 0;
};

UserPrompts scriptedPrompts(Script& script)
{
    UserPrompts prompts;
    prompts.setAskSave([&script](QWidget*, const QString& title, const QString& text) {
        script.questions << title + '|' + text;
        return script.answer;
    });
    prompts.setChooseOpenFile([&script](QWidget*, const QString&, const QString&, const QString&) {
        ++script.openDialogs;
        return script.open;
    });
    prompts.setChooseSaveFile([&script](QWidget*, const QString&, const QString&, const QString&) {
        ++script.saveDialogs;
        return script.saveAs;
    });
    prompts.setTell([](QWidget*, const QString&, const QString& text) {
        QFAIL(qPrintable(QStringLiteral("unexpected message: ") + text));
    });
    return prompts;
}

QString makePicture(const QString& dir, const QString& name, QColor colour, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    // A diagonal gives the joined picture something to compare.
    for (int i = 0; i < qMin(size.width(), size.height()); ++i)
        image.setPixelColor(i, i, Qt::white);
    const QString path = QDir(dir).filePath(name);
    image.save(path);
    return path;
}

} // namespace

class CQznImgEdtJoinDocTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void changedCanvasAsksAtEveryEntry_data();
    void changedCanvasAsksAtEveryEntry();
    void unchangedCanvasGoesWithoutQuestion();
    void projectRoundTripInTheWindow();
    void saveInOutputModeSavesTheOutputPicture();
    void recentFilesOpenAndForgetMissingOnes();

private:
    // A window over a canvas with one loaded picture; shown unless the test
    // needs to prepare a hand-over first.
    std::unique_ptr<CMainFrame> makeFrame(Script& script, bool show = true);
    void writeHandOver(const QString& picture);
    char handOverStatus() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CImgJoinEngine> m_engine;
    QString m_picture;
};

void CQznImgEdtJoinDocTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // The recent-file list goes to a settings store of the test's own.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QDir(m_dir->path()).filePath(QStringLiteral("settings")));
    QSettings(QStringLiteral("Local AppWizard-Generated Applications"),
              QStringLiteral("qznImgEdtJoin"))
        .clear();
    m_engine = std::make_unique<CImgJoinEngine>();
    m_engine->SetDataDir(m_dir->path());
    m_picture = makePicture(m_dir->path(), QStringLiteral("a.png"), Qt::darkBlue, QSize(80, 50));
}

void CQznImgEdtJoinDocTest::cleanup()
{
    m_engine.reset();
    m_dir.reset();
}

std::unique_ptr<CMainFrame> CQznImgEdtJoinDocTest::makeFrame(Script& script, bool show)
{
    auto frame = std::make_unique<CMainFrame>(*m_engine);
    frame->setPrompts(scriptedPrompts(script));
    frame->view()->loadPicture(m_picture);
    if (show) {
        frame->show();
        if (!QTest::qWaitForWindowExposed(frame.get()))
            return nullptr;
    }
    return frame;
}

void CQznImgEdtJoinDocTest::writeHandOver(const QString& picture)
{
    PrintInfoBlock block;
    block.setStatus(PrintInfoBlock::Pending);
    QVERIFY(block.setDirectory(QFileInfo(picture).absolutePath()));
    QVERIFY(block.setName(QFileInfo(picture).fileName()));
    block.setRows(1);
    block.setColumns(1);
    QFile file(m_engine->printInfoFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(block.bytes());
}

char CQznImgEdtJoinDocTest::handOverStatus() const
{
    QFile file(m_engine->printInfoFile());
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    PrintInfoBlock block;
    block.fill(file.read(PrintInfoBlock::Size));
    return block.status();
}

void CQznImgEdtJoinDocTest::changedCanvasAsksAtEveryEntry_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<Choice>("answer");
    for (Entry entry : { Entry::New, Entry::Open, Entry::Exit, Entry::CloseWindow,
                         Entry::OutputMode, Entry::HandOver }) {
        const QByteArray name = entryName(entry).toLatin1();
        QTest::newRow(name + "/cancel") << entry << Choice::Cancel;
        QTest::newRow(name + "/discard") << entry << Choice::Discard;
        QTest::newRow(name + "/save") << entry << Choice::Save;
    }
}

void CQznImgEdtJoinDocTest::changedCanvasAsksAtEveryEntry()
{
    QFETCH(Entry, entry);
    QFETCH(Choice, answer);
    using namespace CommandId;
    Script script;
    script.answer = answer;
    script.saveAs = QDir(m_dir->path()).filePath(QStringLiteral("saved.ora"));
    const QString handed =
        makePicture(m_dir->path(), QStringLiteral("handed.png"), Qt::darkRed, QSize(60, 40));
    if (entry == Entry::HandOver)
        writeHandOver(handed);
    std::unique_ptr<CMainFrame> frame = makeFrame(script);
    QVERIFY(frame);
    CQznImgEdtJoinView* view = frame->view();
    CViewCommands& commands = view->commands();
    QVERIFY(m_engine->CanvasModified());

    switch (entry) {
        case Entry::New: commands.trigger(FileNew); break;
        case Entry::Open: commands.trigger(FileOpen); break;
        case Entry::Exit: commands.trigger(Exit); break;
        case Entry::CloseWindow: frame->close(); break;
        case Entry::OutputMode: commands.trigger(OutputMode); break;
        case Entry::HandOver: QTRY_COMPARE(script.questions.size(), 1); break;
    }
    QCOMPARE(script.questions.size(), 1);
    QVERIFY(script.questions.constFirst().startsWith(QStringLiteral("保存项目|")));

    // Saving goes through the save dialog of a never-saved canvas.
    QCOMPARE(script.saveDialogs, answer == Choice::Save ? 1 : 0);
    QCOMPARE(QFile::exists(script.saveAs), answer == Choice::Save);
    if (answer == Choice::Save) {
        // 新建 goes on from the saved project to a canvas with no file.
        QCOMPARE(frame->document()->projectFile(), entry == Entry::New ? QString() : script.saveAs);
        QVERIFY(!m_engine->CanvasModified() || entry == Entry::HandOver);
    }

    const bool goesOn = answer != Choice::Cancel;
    switch (entry) {
        case Entry::New: QCOMPARE(m_engine->GetPictureCount(), goesOn ? 0 : 1); break;
        case Entry::Open:
            QCOMPARE(script.openDialogs, goesOn ? 1 : 0);
            QCOMPARE(m_engine->GetPictureCount(), 1); // the dialog was cancelled
            break;
        case Entry::Exit:
        case Entry::CloseWindow:
            QCOMPARE(frame->isVisible(), !goesOn);
            QCOMPARE(m_engine->GetPictureCount(), 1);
            break;
        case Entry::OutputMode:
            QCOMPARE(view->displayMode(), goesOn ? DisplayMode::Output : DisplayMode::Joining);
            QCOMPARE(m_engine->GetPictureCount(), goesOn ? 0 : 1);
            break;
        case Entry::HandOver:
            if (goesOn) {
                QTRY_COMPARE(view->displayMode(), DisplayMode::Output);
                QCOMPARE(m_engine->GetOutputFile(), handed);
                QCOMPARE(handOverStatus(), PrintInfoBlock::TakenOver);
            } else {
                // The picture waits for the next start; the question is not
                // put again at every paint.
                view->invalidate();
                view->repaint();
                QTest::qWait(20);
                QCOMPARE(view->displayMode(), DisplayMode::Joining);
                QCOMPARE(handOverStatus(), PrintInfoBlock::Pending);
                QCOMPARE(script.questions.size(), 1);
            }
            break;
    }
    if (!goesOn)
        QVERIFY(m_engine->CanvasModified());
}

void CQznImgEdtJoinDocTest::unchangedCanvasGoesWithoutQuestion()
{
    using namespace CommandId;
    Script script;
    std::unique_ptr<CMainFrame> frame = makeFrame(script);
    QVERIFY(frame);
    // A saved joined picture counts as saved work.
    m_engine->MarkCanvasSaved();
    QVERIFY(!m_engine->CanvasModified());
    frame->view()->commands().trigger(OutputMode);
    QCOMPARE(frame->view()->displayMode(), DisplayMode::Output);
    frame->view()->commands().trigger(FileNew);
    QCOMPARE(frame->view()->displayMode(), DisplayMode::Joining);
    // An empty canvas has nothing to lose, whatever its undo steps.
    frame->view()->loadPicture(m_picture);
    m_engine->ClearPictures();
    QVERIFY(m_engine->undoStack().canUndo());
    QVERIFY(frame->close());
    QVERIFY(script.questions.isEmpty());
}

void CQznImgEdtJoinDocTest::projectRoundTripInTheWindow()
{
    using namespace CommandId;
    Script script;
    script.saveAs = QDir(m_dir->path()).filePath(QStringLiteral("plan"));
    std::unique_ptr<CMainFrame> frame = makeFrame(script);
    QVERIFY(frame);
    const QString second =
        makePicture(m_dir->path(), QStringLiteral("b.png"), Qt::darkGreen, QSize(70, 90));
    frame->view()->loadPicture(second);
    m_engine->MovePicture(55, 12, false);
    const QImage before = m_engine->RenderJoinedPicture();
    QVERIFY(!before.isNull());

    CViewCommands& commands = frame->view()->commands();
    commands.trigger(FileSave);
    // The project name gets its suffix, and the status bar names the file.
    const QString project = script.saveAs + QStringLiteral(".ora");
    QVERIFY(QFile::exists(project));
    QCOMPARE(frame->document()->projectFile(), project);
    QVERIFY(frame->statusBar()->currentMessage().contains(QDir::toNativeSeparators(project)));
    QVERIFY(!m_engine->CanvasModified());
    // A second save goes to the same file without a dialog.
    m_engine->MovePicture(1, 0, false);
    commands.trigger(FileSave);
    QCOMPARE(script.saveDialogs, 1);
    const QImage saved = m_engine->RenderJoinedPicture();

    commands.trigger(FileNew);
    QCOMPARE(m_engine->GetPictureCount(), 0);
    QVERIFY(frame->document()->projectFile().isEmpty());
    script.open = project;
    commands.trigger(FileOpen);
    QCOMPARE(m_engine->GetPictureCount(), 2);
    QCOMPARE(frame->document()->projectFile(), project);
    QVERIFY(!m_engine->CanvasModified());
    QCOMPARE(m_engine->RenderJoinedPicture(), saved);
    QVERIFY(script.questions.isEmpty());

    // Save-as to another name leaves the first project as it was.
    const QByteArray first = [&project] {
        QFile file(project);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    script.saveAs = QDir(m_dir->path()).filePath(QStringLiteral("copy.ora"));
    commands.trigger(FileSaveAs);
    QCOMPARE(frame->document()->projectFile(), script.saveAs);
    QFile reread(project);
    QVERIFY(reread.open(QIODevice::ReadOnly));
    QCOMPARE(reread.readAll(), first);
}

void CQznImgEdtJoinDocTest::saveInOutputModeSavesTheOutputPicture()
{
    using namespace CommandId;
    Script script;
    std::unique_ptr<CMainFrame> frame = makeFrame(script);
    QVERIFY(frame);
    m_engine->MarkCanvasSaved();
    CViewCommands& commands = frame->view()->commands();
    commands.trigger(OutputMode);
    QCOMPARE(frame->view()->displayMode(), DisplayMode::Output);
    // The output picture's own save dialog opens; it is closed unsaved.
    QString opened;
    QTimer::singleShot(0, frame.get(), [&opened] {
        if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }))
            return;
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            opened = dialog->metaObject()->className();
            dialog->reject();
        }
    });
    commands.trigger(FileSave);
    QCOMPARE(opened, QStringLiteral("CSaveJoinDlg"));
    QCOMPARE(script.saveDialogs, 0);
}

void CQznImgEdtJoinDocTest::recentFilesOpenAndForgetMissingOnes()
{
    using namespace CommandId;
    Script script;
    script.saveAs = QDir(m_dir->path()).filePath(QStringLiteral("one.ora"));
    std::unique_ptr<CMainFrame> frame = makeFrame(script);
    QVERIFY(frame);
    frame->view()->commands().trigger(FileSave);
    QVERIFY(QFile::exists(script.saveAs));

    QMenu* recent = nullptr;
    for (QAction* action : frame->menuBar()->actions().constFirst()->menu()->actions())
        if (action->data().toInt() == RecentFileMenu)
            recent = action->menu();
    QVERIFY(recent != nullptr);
    emit recent->aboutToShow();
    QCOMPARE(recent->actions().size(), 1);
    QVERIFY(
        recent->actions().constFirst()->text().endsWith(QDir::toNativeSeparators(script.saveAs)));

    // The entry opens the project; once the file is gone it leaves the list.
    frame->view()->commands().trigger(FileNew);
    recent->actions().constFirst()->trigger();
    QCOMPARE(m_engine->GetPictureCount(), 1);
    frame->view()->commands().trigger(FileNew);
    QVERIFY(QFile::remove(script.saveAs));
    recent->actions().constFirst()->trigger();
    QCOMPARE(m_engine->GetPictureCount(), 0);
    emit recent->aboutToShow();
    QCOMPARE(recent->actions().size(), 1);
    QVERIFY(!recent->actions().constFirst()->isEnabled());
}

QTEST_MAIN(CQznImgEdtJoinDocTest)
#include "CQznImgEdtJoinDocTest.moc"
