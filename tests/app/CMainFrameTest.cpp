#include "CMainFrame.h"
#include "CImgJoinEngine.h"

#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

void writeFile(const QString& path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write("x");
}

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class CMainFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void titleIsFixed();
    void closingEmptiesTemporaryFolder();
    void engineFailuresReachStatusBar();

private:
    std::unique_ptr<QTemporaryDir> m_dataDir;
    std::unique_ptr<CImgJoinEngine> m_engine;
};

void CMainFrameTest::init()
{
    m_dataDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dataDir->isValid());
    m_engine = std::make_unique<CImgJoinEngine>();
    m_engine->SetDataDir(m_dataDir->path());
}

void CMainFrameTest::cleanup()
{
    m_engine.reset();
    m_dataDir.reset();
}

void CMainFrameTest::titleIsFixed()
{
    CMainFrame frame(*m_engine);
    frame.show();
    QCOMPARE(frame.windowTitle(), QStringLiteral("Lumo图片拼接及打印软件 v1.2"));

    // Naming an open picture does not change the title.
    frame.setWindowFilePath(QDir(m_dataDir->path()).filePath(QStringLiteral("图纸.png")));
    QCOMPARE(frame.windowTitle(), CMainFrame::frameTitle());
}

void CMainFrameTest::closingEmptiesTemporaryFolder()
{
    const QString temp = m_engine->tempDir();
    QVERIFY(QDir().mkpath(temp));
    const QStringList names = { QStringLiteral("tmpClipWinPic_0.png"),
                                QStringLiteral("tmpPrtoutImg678.jpg"),
                                QStringLiteral("hotCaptureScrn_gcc345.bmp") };
    for (const QString& name : names)
        writeFile(QDir(temp).filePath(name));

    CMainFrame frame(*m_engine);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(filesIn(temp).size(), names.size()); // nothing goes before the close

    QVERIFY(frame.close());
    QVERIFY(!frame.isVisible());
    QVERIFY(filesIn(temp).isEmpty());
}

void CMainFrameTest::engineFailuresReachStatusBar()
{
    CMainFrame frame(*m_engine);
    frame.show();
    const QString message = QStringLiteral("无法读取图片 a.png");
    emit m_engine->errorOccurred(message);
    QCOMPARE(frame.statusBar()->currentMessage(), message);
}

QTEST_MAIN(CMainFrameTest)
#include "CMainFrameTest.moc"
