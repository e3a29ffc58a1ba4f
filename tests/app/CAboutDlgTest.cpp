#include "CAboutDlg.h"
#include "CImgJoinEngine.h"
#include "SettingsBlock.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

char storedLetter(const CImgJoinEngine& engine)
{
    QFile file(engine.settingsFile());
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().at(SettingsBlock::HotKeyOffset);
}

} // namespace

class CAboutDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void showsTheProgramAndTheCurrentLetter();
    void chosenLetterIsStoredAtOnceTypedTextNever();
    void saysWhenTheDesktopHasNoGlobalKeys();

private:
    std::unique_ptr<QTemporaryDir> m_dataDir;
    std::unique_ptr<CImgJoinEngine> m_engine;
};

void CAboutDlgTest::init()
{
    m_dataDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dataDir->isValid());
    m_engine = std::make_unique<CImgJoinEngine>();
    m_engine->SetDataDir(m_dataDir->path());
    m_engine->LoadSettings();
}

void CAboutDlgTest::cleanup()
{
    m_engine.reset();
    m_dataDir.reset();
}

void CAboutDlgTest::showsTheProgramAndTheCurrentLetter()
{
    m_engine->HotKeyLetter('K');
    CAboutDlg dialog(*m_engine, GlobalHotKey::State::Registered);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Lumo图片拼接及打印软件"));
    QCOMPARE(CAboutDlg::descriptionLines().size(), 6);
    const auto* description = dialog.findChild<QLabel*>(QStringLiteral("description"));
    QVERIFY(description != nullptr);
    QCOMPARE(description->text().split(QLatin1Char('\n')), CAboutDlg::descriptionLines());
    const auto* version = dialog.findChild<QLabel*>(QStringLiteral("version"));
    QVERIFY(version != nullptr);
    QVERIFY(version->text().contains(QStringLiteral(QT_VERSION_STR)));

    QComboBox* box = dialog.letterBox();
    QCOMPARE(box->count(), 27);
    QCOMPARE(box->itemText(0), QStringLiteral("A"));
    QCOMPARE(box->itemText(25), QStringLiteral("Z"));
    QCOMPARE(box->itemText(26), QStringLiteral(","));
    QCOMPARE(box->currentText(), QStringLiteral("K"));
    QVERIFY(!dialog.confirmButton()->isEnabled());
    QVERIFY(dialog.noteLabel()->isHidden());
}

void CAboutDlgTest::chosenLetterIsStoredAtOnceTypedTextNever()
{
    QCOMPARE(m_engine->HotKeyLetter(' '), 'G');
    CAboutDlg dialog(*m_engine, GlobalHotKey::State::Registered);
    QComboBox* box = dialog.letterBox();

    // Typing alone stores nothing and leaves the button off.
    box->lineEdit()->setText(QStringLiteral("Q"));
    QVERIFY(!dialog.confirmButton()->isEnabled());

    emit box->activated(26); // ","
    QCOMPARE(box->currentText(), QStringLiteral(","));
    QVERIFY(dialog.confirmButton()->isEnabled());
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    QVERIFY(!dialog.confirmButton()->isEnabled());
    QCOMPARE(m_engine->HotKeyLetter(' '), ',');
    QCOMPARE(storedLetter(*m_engine), ',');

    // Text typed after the choice is not what the button stores.
    emit box->activated(1); // "B"
    box->lineEdit()->setText(QStringLiteral("Q"));
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    QCOMPARE(storedLetter(*m_engine), 'B');

    // A new engine reads the letter back, as the next start does.
    CImgJoinEngine next;
    next.SetDataDir(m_dataDir->path());
    next.LoadSettings();
    QCOMPARE(next.HotKeyLetter(' '), 'B');
}

void CAboutDlgTest::saysWhenTheDesktopHasNoGlobalKeys()
{
    CAboutDlg dialog(*m_engine, GlobalHotKey::State::Unavailable);
    QVERIFY(!dialog.noteLabel()->isHidden());
    QVERIFY(dialog.noteLabel()->text().contains(QStringLiteral("截取屏幕")));
    // The sentence is one sentence.
    QCOMPARE(dialog.noteLabel()->text().count(QStringLiteral("。")), 1);
    QVERIFY(CAboutDlg::hotKeyNote(GlobalHotKey::State::Pending).isEmpty());
}

QTEST_MAIN(CAboutDlgTest)
#include "CAboutDlgTest.moc"
