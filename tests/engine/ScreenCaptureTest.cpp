#include "EngineFixture.h"
#include "ScreenBitmap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QtEndian>

namespace {

quint32 u32(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 u16(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage filled(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

TEST(ScreenBitmap, WideScreenRowsArePaddedAndHeadersAreAsWindowsReadsThem)
{
    constexpr int Width = 1366;
    constexpr int Height = 3;
    QImage screen = filled(Width, Height, QColor(10, 20, 30));
    screen.setPixelColor(0, Height - 1, QColor(1, 2, 3)); // bottom-left
    screen.setPixelColor(Width - 1, 0, QColor(4, 5, 6));  // top-right
    screen.setDotsPerMeterX(3780);
    const QByteArray bmp = ScreenBitmap::encode(screen);

    EXPECT_EQ(ScreenBitmap::rowLength(Width), 4100);
    ASSERT_EQ(bmp.size(), 54 + 4100 * Height);
    EXPECT_EQ(u16(bmp, 0), 19778);
    EXPECT_EQ(u32(bmp, 2), quint32(bmp.size()));
    EXPECT_EQ(u16(bmp, 6), 0);
    EXPECT_EQ(u16(bmp, 8), 0);
    EXPECT_EQ(u32(bmp, 10), 54u);
    EXPECT_EQ(u32(bmp, 14), 40u);
    EXPECT_EQ(u32(bmp, 18), quint32(Width));
    EXPECT_EQ(u32(bmp, 22), quint32(Height));
    EXPECT_EQ(u16(bmp, 26), 1);
    EXPECT_EQ(u16(bmp, 28), 24);
    // Compression, image size, resolution and colour counts are all zero.
    EXPECT_EQ(bmp.mid(30, 24), QByteArray(24, '\0'));

    // The bottom row comes first, each pixel blue, green, red.
    EXPECT_EQ(bmp.mid(54, 3), QByteArray("\x03\x02\x01", 3));
    EXPECT_EQ(bmp.mid(54 + 3, 3), QByteArray("\x1e\x14\x0a", 3));
    const int topRow = 54 + 4100 * (Height - 1);
    EXPECT_EQ(bmp.mid(topRow + 3 * (Width - 1), 3), QByteArray("\x06\x05\x04", 3));
    // The two padding bytes of each row are zero.
    for (int row = 0; row < Height; ++row)
        EXPECT_EQ(bmp.mid(54 + 4100 * row + 4098, 2), QByteArray(2, '\0')) << row;

    // Any reader gets the screen back.
    const QImage back = QImage::fromData(bmp, "BMP");
    ASSERT_EQ(back.size(), screen.size());
    EXPECT_EQ(back.pixelColor(0, Height - 1), QColor(1, 2, 3));
    EXPECT_EQ(back.pixelColor(Width - 1, 0), QColor(4, 5, 6));
}

TEST(ScreenBitmap, NullScreenIsRefusedWithAReason)
{
    EXPECT_TRUE(ScreenBitmap::encode(QImage()).isEmpty());
    EXPECT_FALSE(ScreenBitmap::write(QImage(), QStringLiteral("/nonexistent/x.bmp")).ok());
}

using ScreenCapture = EngineFixture;

TEST_F(ScreenCapture, EveryCaptureKeepsItsOwnFileOnTheCanvas)
{
    const QString first = m_engine.CaptureScreen(filled(8, 6, Qt::red));
    const QString second = m_engine.CaptureScreen(filled(8, 6, Qt::blue));
    const QString temp = m_engine.tempDir();
    EXPECT_EQ(first, QDir(temp).filePath(QStringLiteral("hotCaptureScrn_gcc345.bmp")));
    EXPECT_EQ(second, QDir(temp).filePath(QStringLiteral("hotCaptureScrn_gcc345_1.bmp")));
    ASSERT_EQ(m_engine.GetPictureCount(), 2);
    EXPECT_EQ(m_engine.picture(0).file, first);
    EXPECT_EQ(m_engine.picture(1).file, second);
    // The earlier picture still shows the earlier screen.
    EXPECT_EQ(QImage(first).pixelColor(3, 3), QColor(Qt::red));
    EXPECT_EQ(QImage(second).pixelColor(3, 3), QColor(Qt::blue));
    EXPECT_TRUE(m_errors.isEmpty());

    // A capture left over from an earlier run is not written over.
    QFile stale(QDir(temp).filePath(QStringLiteral("hotCaptureScrn_gcc345_2.bmp")));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("old");
    stale.close();
    EXPECT_EQ(m_engine.nextCaptureName(),
              QDir(temp).filePath(QStringLiteral("hotCaptureScrn_gcc345_3.bmp")));
    EXPECT_EQ(readAll(stale.fileName()), QByteArray("old"));

    // Closing empties the folder of every capture.
    m_engine.DeleteTempFiles();
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_FALSE(QFileInfo::exists(second));

    // A capture is one step that can be undone.
    EXPECT_TRUE(m_engine.Undo());
    EXPECT_EQ(m_engine.GetPictureCount(), 1);
}

TEST_F(ScreenCapture, InOutputModeTheCaptureIsWhatRestoreReturnsTo)
{
    const QString plan = TestPictures::save(filled(40, 30, Qt::green), path("plan.png"));
    m_engine.AddPicture(plan);
    ASSERT_EQ(m_engine.EnterOutputMode(DisplayMode::Joining), 1);
    QImage view(400, 300, QImage::Format_RGB32);
    {
        QPainter painter(&view);
        m_engine.DrawPictures(painter, DisplayMode::Output);
    }
    m_engine.MoveOutputPicture(7, 9);
    const QPoint position = m_engine.outputPos();
    const float zoom = m_engine.outputZoom();
    ASSERT_TRUE(m_engine.ProcessOutputPicture(OutputJob::Grey));
    ASSERT_NE(m_engine.GetOutputFile(), plan);

    const QString capture = m_engine.CaptureScreen(filled(8, 6, Qt::red));
    ASSERT_FALSE(capture.isEmpty());
    EXPECT_EQ(m_engine.GetOutputFile(), capture);
    EXPECT_EQ(m_engine.outputOrigFile(), capture);
    EXPECT_EQ(m_engine.GetPictureCount(), 0);
    EXPECT_EQ(m_engine.outputPos(), position);
    EXPECT_EQ(m_engine.outputZoom(), zoom);

    ASSERT_TRUE(m_engine.ProcessOutputPicture(OutputJob::Grey));
    m_engine.RestoreOutputPicture();
    EXPECT_EQ(m_engine.GetOutputFile(), capture);
}

TEST_F(ScreenCapture, FullCanvasOrMissingFolderAddsNothingAndSaysSo)
{
    for (int i = 0; i < CImgJoinEngine::MaxPictures; ++i)
        m_engine.AddPicture(path(QStringLiteral("p%1.png").arg(i)));
    EXPECT_TRUE(m_engine.CaptureScreen(filled(4, 4, Qt::red)).isEmpty());
    EXPECT_EQ(m_engine.GetPictureCount(), CImgJoinEngine::MaxPictures);
    EXPECT_FALSE(QFileInfo::exists(m_engine.nextCaptureName()));
    EXPECT_EQ(m_errors.size(), 1);

    CImgJoinEngine blocked;
    QStringList errors;
    QObject::connect(&blocked, &CImgJoinEngine::errorOccurred,
                     [&errors](const QString& message) { errors << message; });
    // The temporary folder cannot be made: a file stands in its place.
    QFile plain(path(QStringLiteral("blocked")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    blocked.SetDataDir(plain.fileName());
    EXPECT_TRUE(blocked.CaptureScreen(filled(4, 4, Qt::red)).isEmpty());
    EXPECT_EQ(blocked.GetPictureCount(), 0);
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(ScreenCapture, CapturesAndPhotosThatCannotComeInChangeNothingAndSaySo)
{
    const QString photo = TestPictures::save(filled(8, 6, Qt::green), path("photo.png"));
    addPicture(filled(10, 10, Qt::blue), "a.png");
    const QDir temp(m_engine.tempDir());
    const auto tempFiles = [&temp]() { return temp.entryList(QDir::Files).size(); };

    // While a job runs, neither a capture nor a photo comes in.
    PixelJob job = m_engine.beginFilter(FilterCode::Invert);
    ASSERT_TRUE(job.valid());
    const int steps = m_engine.undoStack().count();
    const qsizetype filesBefore = tempFiles();
    m_errors.clear();
    EXPECT_TRUE(m_engine.CaptureScreen(filled(4, 4, Qt::red)).isEmpty());
    EXPECT_TRUE(m_engine.AddCameraPhoto(photo).isEmpty());
    EXPECT_EQ(m_errors.size(), 2);
    EXPECT_EQ(m_engine.GetPictureCount(), 1);
    EXPECT_EQ(tempFiles(), filesBefore);
    EXPECT_EQ(m_engine.undoStack().count(), steps);
    job.run();
    ASSERT_TRUE(m_engine.endFilter(job));

    // A photo that cannot be copied is named and adds nothing, on the canvas
    // or as the output picture.
    const QString missing = path("gone.png");
    m_errors.clear();
    const int stepsAfterFilter = m_engine.undoStack().count();
    EXPECT_TRUE(m_engine.AddCameraPhoto(missing).isEmpty());
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.first().contains(QStringLiteral("gone.png")));
    EXPECT_EQ(m_engine.GetPictureCount(), 1);
    EXPECT_EQ(m_engine.undoStack().count(), stepsAfterFilter);

    ASSERT_EQ(m_engine.EnterOutputMode(DisplayMode::Joining), 1);
    QImage view(100, 100, QImage::Format_RGB32);
    {
        QPainter painter(&view);
        m_engine.DrawPictures(painter, DisplayMode::Output);
    }
    const QString output = m_engine.GetOutputFile();
    ASSERT_FALSE(output.isEmpty());
    EXPECT_TRUE(m_engine.AddCameraPhoto(missing).isEmpty());
    EXPECT_EQ(m_engine.GetOutputFile(), output);
    EXPECT_EQ(m_errors.size(), 2);

    // The output picture is no canvas picture: a full canvas does not stop
    // a photo or a capture from becoming it.
    for (int i = m_engine.GetPictureCount(); i < CImgJoinEngine::MaxPictures; ++i)
        m_engine.AddPicture(path(QStringLiteral("p%1.png").arg(i)));
    ASSERT_EQ(m_engine.GetPictureCount(), CImgJoinEngine::MaxPictures);
    const QString copy = m_engine.AddCameraPhoto(photo);
    ASSERT_FALSE(copy.isEmpty());
    EXPECT_EQ(m_engine.GetOutputFile(), copy);
    EXPECT_EQ(QImage(copy), QImage(photo));
    const QString capture = m_engine.CaptureScreen(filled(4, 4, Qt::red));
    ASSERT_FALSE(capture.isEmpty());
    EXPECT_EQ(m_engine.GetOutputFile(), capture);
    EXPECT_EQ(m_engine.GetPictureCount(), CImgJoinEngine::MaxPictures);
    EXPECT_EQ(m_errors.size(), 2);
}
