#include "CCameraDlg.h"
#include "CImgJoinEngine.h"
#include "CVideoCapture.h"
#include "CVideoPreview.h"
#include "TestPatternSource.h"

#include <QCameraDevice>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

// An odd width, so every row of the bitmap needs padding.
const QSize FrameSize(101, 75);

// A camera that breaks: it cannot start, or it stops later on.
class BrokenSource : public FrameSource
{
public:
    explicit BrokenSource(bool starts)
        : m_starts(starts)
    {
    }
    bool start() override
    {
        if (!m_starts)
            setErrorString(QStringLiteral("busy"));
        return m_starts;
    }
    void stop() override {}
    void breakDown() { emit failed(QStringLiteral("unplugged")); }

private:
    bool m_starts;
};

template<typename T>
T at(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

} // namespace

class CCameraDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void grabWritesTheNextFrameAsBottomUpBitmap();
    void runningPatternFeedsThePreviewAndGrabsOnItsOwnThread();
    void countdownTakesOnePhotoAfterTheSetSeconds();
    void photoLandsOnTheCanvasOrAsOutputPicture();
    void photoThatCannotBeWrittenIsReportedAndTheDialogStaysOpen();
    void noCameraSaysSo();
    void brokenCameraIsReportedAndMayBeOpenedAgain();

private:
    // A dialog whose only camera is a test pattern that makes a frame when
    // asked, with a clock the test moves.
    std::unique_ptr<CCameraDlg> openDialog()
    {
        QList<CameraCatalog::Entry> devices{ { CameraCatalog::testPatternName(), [this] {
                                                  auto source = std::make_unique<TestPatternSource>(
                                                      FrameSize, TestPatternSource::Pacing::Manual);
                                                  m_source = source.get();
                                                  return source;
                                              } } };
        auto dialog = std::make_unique<CCameraDlg>(*m_engine, nullptr, devices);
        UserPrompts prompts;
        prompts.setTell([this](QWidget*, const QString&, const QString& text) { m_told << text; });
        dialog->setPrompts(prompts);
        dialog->setClock([this] { return m_now; });
        dialog->show();
        dialog->openButton()->click();
        return dialog;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CImgJoinEngine> m_engine;
    TestPatternSource* m_source = nullptr;
    qint64 m_now = 1000;
    QStringList m_told;
};

void CCameraDlgTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_engine = std::make_unique<CImgJoinEngine>();
    m_engine->SetDataDir(m_dir->path());
    m_source = nullptr;
    m_now = 1000;
    m_told.clear();
}

void CCameraDlgTest::grabWritesTheNextFrameAsBottomUpBitmap()
{
    TestPatternSource* source = nullptr;
    CVideoCapture capture({ { QStringLiteral("a"), [&source] {
                                 auto made = std::make_unique<TestPatternSource>(
                                     FrameSize, TestPatternSource::Pacing::Manual);
                                 source = made.get();
                                 return made;
                             } } });
    QCOMPARE(capture.OpenDevice(0, nullptr), CVideoCapture::Opened);
    const QString file = m_dir->filePath(QStringLiteral("frame.bmp"));

    // Frames without a request write nothing.
    source->pushFrame();
    QVERIFY(!QFile::exists(file));

    capture.SetGrabFile(file);
    capture.SetGrabRequest(1);
    QCOMPARE(capture.IsGrabPending(), 1);
    source->pushFrame(); // frame 1
    QCOMPARE(capture.IsGrabPending(), 0);
    QVERIFY(capture.lastGrabError().isEmpty());

    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    const int row = (FrameSize.width() * 3 + 3) / 4 * 4;
    QCOMPARE(row, 304);
    QCOMPARE(bytes.size(), 54 + row * FrameSize.height());
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(at<quint32>(bytes, 2), quint32(bytes.size()));
    QCOMPARE(at<quint32>(bytes, 6), 0u);
    QCOMPARE(at<quint32>(bytes, 10), 54u);
    QCOMPARE(at<quint32>(bytes, 14), 40u);
    QCOMPARE(at<qint32>(bytes, 18), FrameSize.width());
    QCOMPARE(at<qint32>(bytes, 22), FrameSize.height());
    QCOMPARE(at<quint16>(bytes, 26), quint16(1));
    QCOMPARE(at<quint16>(bytes, 28), quint16(24));
    QCOMPARE(bytes.mid(30, 24), QByteArray(24, '\0'));

    // Rows bottom-up in blue, green, red order, each padded with zeros.
    const QImage frame = TestPatternSource::frameAt(1, FrameSize);
    for (int y : { 0, FrameSize.height() - 1 }) {
        const int fileRow = 54 + row * (FrameSize.height() - 1 - y);
        for (int x : { 0, 50, FrameSize.width() - 1 }) {
            const QRgb pixel = frame.pixel(x, y);
            const auto* bgr = reinterpret_cast<const uchar*>(bytes.constData() + fileRow + 3 * x);
            QCOMPARE(qRgb(bgr[2], bgr[1], bgr[0]), pixel);
        }
        QCOMPARE(bytes.at(fileRow + row - 1), '\0');
    }

    // The request is used up: the next frame leaves the file alone.
    QVERIFY(QFile::remove(file));
    source->pushFrame();
    QVERIFY(!QFile::exists(file));
}

void CCameraDlgTest::runningPatternFeedsThePreviewAndGrabsOnItsOwnThread()
{
    CVideoCapture capture(
        { { QStringLiteral("a"), [] { return std::make_unique<TestPatternSource>(FrameSize); } } });
    CVideoPreview preview;
    QCOMPARE(capture.OpenDevice(0, &preview), CVideoCapture::Opened);
    QTRY_VERIFY(!preview.frame().isNull());
    QCOMPARE(preview.frame().size(), FrameSize);

    const QString file = m_dir->filePath(QStringLiteral("frame.bmp"));
    capture.SetGrabFile(file);
    capture.SetGrabRequest(1);
    QTRY_COMPARE(capture.IsGrabPending(), 0);
    QCOMPARE(QFile(file).size(), 54 + 304 * FrameSize.height());
}

void CCameraDlgTest::countdownTakesOnePhotoAfterTheSetSeconds()
{
    auto dialog = openDialog();
    QVERIFY(m_source != nullptr);
    dialog->timerCombo()->setCurrentText(QStringLiteral("5"));
    dialog->formatCombo()->setCurrentText(QStringLiteral("PNG"));
    dialog->shootButton()->click();
    QVERIFY(!dialog->shootButton()->isEnabled());

    m_now += 4999;
    dialog->tick();
    QCOMPARE(dialog->countdownLabel()->text(), QStringLiteral("4/5"));
    m_source->pushFrame();
    dialog->tick();
    QVERIFY(!QFile::exists(dialog->framePath()));
    QCOMPARE(m_engine->GetPictureCount(), 0);

    m_now += 1;
    dialog->tick();
    QCOMPARE(dialog->countdownLabel()->text(), QStringLiteral("5/5"));
    m_source->pushFrame();
    dialog->tick();
    QCOMPARE(m_engine->GetPictureCount(), 1);
    QVERIFY(dialog->shootButton()->isEnabled());
    const QString photo = m_dir->filePath(QStringLiteral("拍照图片A1_0.PNG"));
    QVERIFY(QFile::exists(photo));

    // Later ticks and frames take no second photo.
    QVERIFY(QFile::remove(photo));
    m_now += 60000;
    for (int i = 0; i < 3; ++i) {
        m_source->pushFrame();
        dialog->tick();
    }
    QCOMPARE(m_engine->GetPictureCount(), 1);
    QVERIFY(!QFile::exists(photo));
    QVERIFY(m_told.isEmpty());
}

void CCameraDlgTest::photoLandsOnTheCanvasOrAsOutputPicture()
{
    auto dialog = openDialog();
    // The format's name counts in any case.
    dialog->formatCombo()->setCurrentText(QStringLiteral("png"));
    dialog->shootButton()->click();
    m_source->pushFrame();
    dialog->tick();
    QVERIFY2(m_told.isEmpty(), qPrintable(m_told.join('\n')));
    const QString photo = m_dir->filePath(QStringLiteral("拍照图片A1_0.png"));
    QCOMPARE(QImage(photo).size(), FrameSize);
    QCOMPARE(m_engine->GetPictureCount(), 1);
    const QString onCanvas = m_engine->picture(0).file;
    QVERIFY(onCanvas.startsWith(m_engine->tempDir()));
    QCOMPARE(QImage(onCanvas), QImage(photo));

    // A second photo of the same name replaces the file, not the canvas picture.
    m_source->pushFrame();
    dialog->shootButton()->click();
    m_source->pushFrame();
    dialog->tick();
    QCOMPARE(m_engine->GetPictureCount(), 2);
    QVERIFY(QImage(onCanvas) != QImage(photo));

    // In print-output mode the photo becomes the output picture.
    QCOMPARE(m_engine->EnterOutputMode(DisplayMode::Joining), 1);
    QImage view(400, 300, QImage::Format_RGB32);
    {
        QPainter painter(&view);
        m_engine->DrawPictures(painter, DisplayMode::Output);
    }
    const int onCanvasBefore = m_engine->GetPictureCount();
    dialog->shootButton()->click();
    m_source->pushFrame();
    dialog->tick();
    QCOMPARE(m_engine->GetPictureCount(), onCanvasBefore);
    QVERIFY(m_engine->GetOutputFile().startsWith(m_engine->tempDir()));
    QCOMPARE(QImage(m_engine->GetOutputFile()), QImage(photo));
}

void CCameraDlgTest::photoThatCannotBeWrittenIsReportedAndTheDialogStaysOpen()
{
    // The photo folder is a file, so nothing can be written into it.
    const QString notAFolder = m_dir->filePath(QStringLiteral("plain"));
    QFile plain(notAFolder);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    m_engine->SetSettingString(CImgJoinEngine::SettingPhotoDir, notAFolder);
    auto dialog = openDialog();
    QVERIFY(dialog->windowTitle().contains(notAFolder));
    dialog->shootButton()->click();
    m_source->pushFrame();
    dialog->tick();
    QCOMPARE(m_told.size(), 1);
    QVERIFY(dialog->isVisible());
    QCOMPARE(m_engine->GetPictureCount(), 0);

    // A format no encoder serves is refused the same way.
    m_engine->SetSettingString(CImgJoinEngine::SettingPhotoDir, m_dir->path());
    auto second = openDialog();
    second->formatCombo()->setCurrentText(QStringLiteral("TXT"));
    second->shootButton()->click();
    m_source->pushFrame();
    second->tick();
    QCOMPARE(m_told.size(), 2);
    QCOMPARE(m_engine->GetPictureCount(), 0);
}

void CCameraDlgTest::noCameraSaysSo()
{
    CVideoCapture none({});
    QComboBox combo;
    QCOMPARE(none.EnumDevices(&combo), -1);
    QCOMPARE(combo.count(), 0);

    CCameraDlg dialog(*m_engine, nullptr, {});
    QCOMPARE(dialog.countdownLabel()->text(), QStringLiteral("没有找到摄像头"));
    QVERIFY(!dialog.openButton()->isEnabled());
    QVERIFY(!dialog.shootButton()->isEnabled());

    // A machine without a camera offers the test pattern.
    if (QMediaDevices::videoInputs().isEmpty()) {
        const QList<CameraCatalog::Entry> system = CameraCatalog::system();
        QCOMPARE(system.size(), 1);
        QCOMPARE(system.front().name, QStringLiteral("测试图案"));
    }
}

void CCameraDlgTest::brokenCameraIsReportedAndMayBeOpenedAgain()
{
    BrokenSource* source = nullptr;
    bool starts = false;
    CCameraDlg dialog(*m_engine, nullptr, { { QStringLiteral("a"), [&] {
                                                 auto made = std::make_unique<BrokenSource>(starts);
                                                 source = made.get();
                                                 return made;
                                             } } });
    UserPrompts prompts;
    prompts.setTell([this](QWidget*, const QString&, const QString& text) { m_told << text; });
    dialog.setPrompts(prompts);

    dialog.openButton()->click();
    QCOMPARE(m_told.size(), 1);
    QVERIFY(m_told.front().contains(QStringLiteral("busy")));
    QVERIFY(dialog.openButton()->isEnabled());
    QVERIFY(!dialog.shootButton()->isEnabled());

    // A camera that breaks down while a photo waits gives the photo up.
    starts = true;
    dialog.openButton()->click();
    QVERIFY(dialog.shootButton()->isEnabled());
    dialog.shootButton()->click();
    QCOMPARE(dialog.capture().IsGrabPending(), 1);
    source->breakDown();
    QCOMPARE(dialog.capture().IsGrabPending(), 0);
    QVERIFY(dialog.countdownLabel()->text().contains(QStringLiteral("unplugged")));
    QVERIFY(dialog.openButton()->isEnabled());
    QVERIFY(!dialog.shootButton()->isEnabled());
    dialog.tick();
    QCOMPARE(m_engine->GetPictureCount(), 0);
    QCOMPARE(m_told.size(), 1);
}

QTEST_MAIN(CCameraDlgTest)
#include "CCameraDlgTest.moc"
