#include "StartOptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Where the command line puts the data files, and what it refuses.
class StartOptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void withoutOptionsTheWorkingDirectory();
    void dataDirIsMadeAndEntered();
    void userDataIsTheProgramsOwnFolder();
    void badLinesAreRefused_data();
    void badLinesAreRefused();

private:
    QString m_startDir;
};

void StartOptionsTest::initTestCase()
{
    m_startDir = QDir::currentPath();
}

void StartOptionsTest::cleanup()
{
    QDir::setCurrent(m_startDir);
}

void StartOptionsTest::withoutOptionsTheWorkingDirectory()
{
    StartOptions options;
    QCOMPARE(options.parse({ QStringLiteral("prog") }), StartOptions::Outcome::Run);
    QCOMPARE(options.dataDir(), QDir::currentPath());
    QVERIFY(!options.dataDirChosen());
    QVERIFY(options.prepareDataDir());
    QCOMPARE(QDir::currentPath(), m_startDir);
}

void StartOptionsTest::dataDirIsMadeAndEntered()
{
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString folder = QDir(scratch.path()).filePath(QStringLiteral("a b/数据"));
    StartOptions options;
    QCOMPARE(options.parse({ QStringLiteral("prog"), QStringLiteral("--data-dir"), folder }),
             StartOptions::Outcome::Run);
    QVERIFY(options.dataDirChosen());
    QCOMPARE(options.dataDir(), folder);
    QVERIFY(options.prepareDataDir());
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(QFileInfo(QDir::currentPath()).canonicalFilePath(),
             QFileInfo(folder).canonicalFilePath());

    // A relative folder is taken from the working directory at start-up.
    StartOptions relative;
    QCOMPARE(relative.parse({ QStringLiteral("prog"), QStringLiteral("--data-dir=sub") }),
             StartOptions::Outcome::Run);
    QCOMPARE(relative.dataDir(), QDir(QDir::currentPath()).filePath(QStringLiteral("sub")));

    // A file in the way: refused, with the folder named.
    const QString file = QDir(scratch.path()).filePath(QStringLiteral("plain"));
    QFile(file).open(QIODevice::WriteOnly);
    StartOptions blocked;
    QCOMPARE(blocked.parse({ QStringLiteral("prog"), QStringLiteral("--data-dir"), file }),
             StartOptions::Outcome::Run);
    QVERIFY(!blocked.prepareDataDir());
    QVERIFY(blocked.errorText().contains(QDir::toNativeSeparators(file)));
}

void StartOptionsTest::userDataIsTheProgramsOwnFolder()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    StartOptions options;
    QCOMPARE(options.parse({ QStringLiteral("prog"), QStringLiteral("--user-data") }),
             StartOptions::Outcome::Run);
    QCOMPARE(options.dataDir(),
             QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    QVERIFY(options.dataDir().startsWith(home.path()));
    QVERIFY(options.dataDir().endsWith(QCoreApplication::applicationName()));
    QVERIFY(options.prepareDataDir());
    QVERIFY(QFileInfo(options.dataDir()).isDir());
}

void StartOptionsTest::badLinesAreRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown option") << QStringList{ QStringLiteral("--nonsense") };
    QTest::newRow("folder missing") << QStringList{ QStringLiteral("--data-dir") };
    QTest::newRow("empty folder") << QStringList{ QStringLiteral("--data-dir=") };
    QTest::newRow("both") << QStringList{ QStringLiteral("--user-data"),
                                          QStringLiteral("--data-dir"), QStringLiteral("x") };
    QTest::newRow("stray word") << QStringList{ QStringLiteral("picture.png") };
}

void StartOptionsTest::badLinesAreRefused()
{
    QFETCH(QStringList, arguments);
    arguments.prepend(QStringLiteral("prog"));
    StartOptions options;
    QCOMPARE(options.parse(arguments), StartOptions::Outcome::Failed);
    QVERIFY(!options.errorText().isEmpty());
    QCOMPARE(QDir::currentPath(), m_startDir);

    StartOptions help;
    QCOMPARE(help.parse({ QStringLiteral("prog"), QStringLiteral("--help") }),
             StartOptions::Outcome::ShowHelp);
    QVERIFY(help.helpText().contains(QLatin1String("--data-dir")));
    QVERIFY(help.helpText().contains(QLatin1String("--user-data")));
}

QTEST_GUILESS_MAIN(StartOptionsTest)
#include "StartOptionsTest.moc"
