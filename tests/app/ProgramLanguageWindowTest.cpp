#include "CImgJoinEngine.h"
#include "CMainFrame.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "ProgramLanguage.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <memory>

using Language = ProgramLanguage::Language;

namespace {

bool hasChinese(const QString& text)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return text.contains(han);
}

// Every text the window shows of itself, each named by where it is: the
// title, the menus with their items, every command (tool bar buttons and
// popup items too) with its tool tip, and the status bar's position pane.
QList<QPair<QString, QString>> windowTexts(const CMainFrame& frame)
{
    QList<QPair<QString, QString>> texts;
    texts.append({ QStringLiteral("title"), frame.windowTitle() });
    texts.append({ QStringLiteral("tool bar"), frame.toolBar()->windowTitle() });
    for (QAction* menu : frame.menuBar()->actions()) {
        texts.append({ QStringLiteral("menu"), menu->text() });
        for (QAction* item : menu->menu()->actions()) {
            if (!item->isSeparator())
                texts.append({ QStringLiteral("menu item of ") + menu->text(), item->text() });
        }
    }
    const CViewCommands& commands = frame.view()->commands();
    QList<QAction*> actions = frame.toolBar()->actions();
    for (int id : commands.ids())
        actions.append(commands.action(id));
    for (QAction* action : std::as_const(actions)) {
        if (action->isSeparator())
            continue;
        const QString id = QString::number(action->data().toInt());
        texts.append({ QStringLiteral("command ") + id, action->text() });
        texts.append({ QStringLiteral("tip of ") + id, action->toolTip() });
    }
    const auto* pane = frame.statusBar()->findChild<QLabel*>(QStringLiteral("positionPane"));
    texts.append({ QStringLiteral("position pane"), pane != nullptr ? pane->text() : QString() });
    return texts;
}

} // namespace

class ProgramLanguageWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void englishReachesEveryMenuAndButton();
    void chineseShowsTheTextsAsWritten();
    void qtsOwnButtonsFollowTheLanguage();

private:
    std::unique_ptr<QTemporaryDir> m_dataDir;
    std::unique_ptr<CImgJoinEngine> m_engine;
};

void ProgramLanguageWindowTest::init()
{
    m_dataDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dataDir->isValid());
    m_engine = std::make_unique<CImgJoinEngine>();
    m_engine->SetDataDir(m_dataDir->path());
}

void ProgramLanguageWindowTest::cleanup()
{
    m_engine.reset();
    m_dataDir.reset();
}

void ProgramLanguageWindowTest::englishReachesEveryMenuAndButton()
{
    ProgramLanguage language;
    QCOMPARE(language.install(Language::English), Language::English);
    CMainFrame frame(*m_engine);
    const QList<QPair<QString, QString>> texts = windowTexts(frame);
    QVERIFY(texts.size() > 100);
    for (const auto& [where, text] : texts) {
        QVERIFY2(!text.trimmed().isEmpty(), qPrintable(where));
        QVERIFY2(!hasChinese(text), qPrintable(where + QStringLiteral(": ") + text));
    }
    QCOMPARE(frame.menuBar()->actions().constFirst()->text(), QStringLiteral("&File"));
}

void ProgramLanguageWindowTest::chineseShowsTheTextsAsWritten()
{
    // Without any translator the window shows the texts as the code has them.
    QList<QPair<QString, QString>> written;
    {
        CMainFrame frame(*m_engine);
        written = windowTexts(frame);
    }
    ProgramLanguage language;
    QCOMPARE(language.install(Language::Chinese), Language::Chinese);
    CMainFrame frame(*m_engine);
    QList<QPair<QString, QString>> shown = windowTexts(frame);
    // Qt names the keys in tool tips in Chinese now: "(上方向)" for "(Up)".
    for (QList<QPair<QString, QString>>* texts : { &written, &shown }) {
        for (auto& [where, text] : *texts) {
            if (where.startsWith(QStringLiteral("tip of ")) && text.contains(QStringLiteral(" (")))
                text.truncate(text.lastIndexOf(QStringLiteral(" (")));
        }
    }
    QCOMPARE(shown, written);
    for (const auto& [where, text] : std::as_const(written))
        QVERIFY2(hasChinese(text), qPrintable(where + QStringLiteral(": ") + text));
}

void ProgramLanguageWindowTest::qtsOwnButtonsFollowTheLanguage()
{
    {
        ProgramLanguage language;
        QCOMPARE(language.install(Language::Chinese), Language::Chinese);
        if (language.qtCatalogues().isEmpty())
            QSKIP("Qt's Chinese translations are not installed (qt6-translations-l10n)");
        QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
        QVERIFY2(hasChinese(box.button(QDialogButtonBox::Cancel)->text()),
                 qPrintable(box.button(QDialogButtonBox::Cancel)->text()));
        QVERIFY2(hasChinese(box.button(QDialogButtonBox::Yes)->text()),
                 qPrintable(box.button(QDialogButtonBox::Yes)->text()));
        QMessageBox question(QMessageBox::Question, QStringLiteral("问"), QStringLiteral("问?"),
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        for (QAbstractButton* button : question.buttons())
            QVERIFY2(hasChinese(button->text()), qPrintable(button->text()));
    }
    // In English Qt keeps its own words.
    ProgramLanguage language;
    QCOMPARE(language.install(Language::English), Language::English);
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
}

QTEST_MAIN(ProgramLanguageWindowTest)
#include "ProgramLanguageWindowTest.moc"
