#include "HelpLinks.h"
#include "CImgJoinEngine.h"
#include "CMainFrame.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "CommandIds.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// The help menu: which address each item opens, where the manual is looked
// for, and what the user sees when nothing can open it.
class HelpLinksTest : public QObject
{
    Q_OBJECT

private slots:
    void onlinePagesLieUnderTheHomePage();
    void installedManualComesBeforeTheSourceTree();
    void helpItemsOpenTheirAddresses();
    void failuresShowInTheStatusBar();
};

void HelpLinksTest::onlinePagesLieUnderTheHomePage()
{
    const QUrl home = HelpLinks::homePage();
    QVERIFY(home.isValid());
    QVERIFY(home.scheme() == QLatin1String("https") || home.scheme() == QLatin1String("http"));
    QVERIFY(!HelpLinks::homePageHost().isEmpty());
    for (const QUrl& page : { HelpLinks::onlineManual(), HelpLinks::manualDownload() }) {
        QVERIFY2(home.isParentOf(page), qPrintable(page.toString()));
    }
    QVERIFY(HelpLinks::onlineManual() != HelpLinks::manualDownload());
}

void HelpLinksTest::installedManualComesBeforeTheSourceTree()
{
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    const QString bin = QDir(prefix.path()).filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));

    // Nothing installed: the copy in the source tree the program came from.
    const QString fromSource = HelpLinks::localManualFile(bin);
    QVERIFY2(fromSource.endsWith(QLatin1String("docs/manual/index.html")), qPrintable(fromSource));

    // Installed next to the program: that copy.
    const QString manualDir =
        QDir(prefix.path()).filePath(QStringLiteral("share/doc/qznimgsplitjoint/manual"));
    QVERIFY(QDir().mkpath(manualDir));
    QFile page(QDir(manualDir).filePath(QStringLiteral("index.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.close();
    QCOMPARE(HelpLinks::localManualFile(bin), QFileInfo(page.fileName()).canonicalFilePath());
}

void HelpLinksTest::helpItemsOpenTheirAddresses()
{
    QTemporaryDir dataDir;
    CImgJoinEngine engine;
    engine.SetDataDir(dataDir.path());
    CMainFrame frame(engine);
    QList<QUrl> opened;
    frame.setHelpLinks(HelpLinks([&opened](const QUrl& url) {
        opened << url;
        return true;
    }));

    CViewCommands& commands = frame.view()->commands();
    using namespace CommandId;
    for (int id : { LocalManual, OnlineManual, ManualDownload, WebSite })
        commands.trigger(id);
    QCOMPARE(opened.size(), 4);
    QVERIFY(opened.at(0).isLocalFile());
    QVERIFY(QFile::exists(opened.at(0).toLocalFile()));
    QCOMPARE(opened.at(1), HelpLinks::onlineManual());
    QCOMPARE(opened.at(2), HelpLinks::manualDownload());
    QCOMPARE(opened.at(3), HelpLinks::homePage());
    // The web-site item names the site it opens.
    QVERIFY(commands.action(WebSite)->text().contains(HelpLinks::homePageHost()));
    QVERIFY(!commands.action(WebSite)->text().contains(QLatin1String("%1")));
    QVERIFY(frame.statusBar()->currentMessage().isEmpty());
}

void HelpLinksTest::failuresShowInTheStatusBar()
{
    QTemporaryDir dataDir;
    CImgJoinEngine engine;
    engine.SetDataDir(dataDir.path());
    CMainFrame frame(engine);
    frame.setHelpLinks(HelpLinks([](const QUrl&) { return false; }));
    frame.view()->commands().trigger(CommandId::OnlineManual);
    QVERIFY2(frame.statusBar()->currentMessage().contains(HelpLinks::onlineManual().toString()),
             qPrintable(frame.statusBar()->currentMessage()));
}

QTEST_MAIN(HelpLinksTest)
#include "HelpLinksTest.moc"
