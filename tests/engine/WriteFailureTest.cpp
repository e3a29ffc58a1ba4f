#include "WriteFailure.h"
#include "CImgJoinEngine.h"
#include "ImageCodec.h"
#include "ScratchVolume.h"
#include "TestPictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>

namespace {

const QString FullDisk = QStringLiteral("磁盘空间不足");

// Pixels no encoder can squeeze: a picture of this size needs about 3 bytes
// a pixel in any format.
QImage noisePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 state = 987654321u;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            line[x] = 0xFF000000u | (state >> 8);
        }
    }
    return image;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(WriteFailure, AFullDiskOrQuotaIsToldFromOtherFailures)
{
    EXPECT_TRUE(WriteFailure::isNoSpace(ENOSPC));
#ifdef EDQUOT
    EXPECT_TRUE(WriteFailure::isNoSpace(EDQUOT));
#endif
    for (int other : { 0, EFBIG, EACCES, EIO, EROFS })
        EXPECT_FALSE(WriteFailure::isNoSpace(other)) << other;

    QFile unused(QStringLiteral("never-opened"));
    const QString reason =
        WriteFailure::reason(QStringLiteral("/data/join.png"), unused, ENOSPC, "other");
    EXPECT_TRUE(reason.contains(FullDisk)) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QDir::toNativeSeparators("/data/join.png")));
    EXPECT_EQ(WriteFailure::reason(QStringLiteral("/data/join.png"), unused, EACCES, "other"),
              "other");
}

// On a volume of its own that runs full. It needs administrator rights to
// mount: without them these tests skip.
class FullDiskTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_volume.mounted())
            GTEST_SKIP() << "no scratch volume (mounting a tmpfs needs administrator rights)";
        ASSERT_TRUE(m_dir.isValid());
        QObject::connect(&m_engine, &CImgJoinEngine::errorOccurred,
                         [this](const QString& message) { m_errors << message; });
    }

    ScratchVolume m_volume{ 512 };
    QTemporaryDir m_dir; // plenty of room
    CImgJoinEngine m_engine;
    QStringList m_errors;
};

TEST_F(FullDiskTest, EveryFormatSaysTheDiskIsFullAndKeepsTheEarlierFile)
{
    // A large picture fails while it is written, a small one only when the
    // buffered bytes go out at the end.
    for (const QImage& picture : { noisePicture(400, 300), noisePicture(8, 8) }) {
        for (ImageCodec::Format format : { ImageCodec::Format::Png, ImageCodec::Format::Bmp,
                                           ImageCodec::Format::Jpeg, ImageCodec::Format::Gif }) {
            ScratchVolume volume(256);
            const QString target = volume.path("joined." + ImageCodec::suffixFor(format));
            {
                QFile earlier(target);
                ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
                earlier.write("the picture saved before");
            }
            ASSERT_TRUE(volume.fill());
            const IoStatus written = ImageCodec::write(picture, target, format);
            ASSERT_FALSE(written.ok());
            EXPECT_TRUE(written.error.contains(FullDisk)) << written.error.toStdString();
            EXPECT_TRUE(written.error.contains(QFileInfo(target).fileName()));
            EXPECT_EQ(fileBytes(target), QByteArray("the picture saved before"));
            EXPECT_EQ(QDir(volume.root()).entryList(QDir::Files).size(), 2)
                << "temporary file left";
        }
    }
}

TEST_F(FullDiskTest, ACopyThatDoesNotFitIsAFailureNotACutFile)
{
    // Larger than the whole volume: the write comes up short.
    const QString source = QDir(m_dir.path()).filePath("whole.bmp");
    ASSERT_TRUE(ImageCodec::write(noisePicture(600, 400), source).ok());
    ASSERT_EQ(m_engine.StitchTiles(source, QString(), 1, 1, "png"), 100);
    const QString copy = m_volume.path("copy.bmp");
    EXPECT_FALSE(m_engine.CopyOutputPicture(copy));
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.first().contains(FullDisk)) << m_errors.first().toStdString();
    EXPECT_FALSE(QFile::exists(copy));
}

TEST_F(FullDiskTest, TheSettingsFileSaysTheDiskIsFullAndKeepsItsContent)
{
    // The block is small enough to wait in Qt's write buffer until the file
    // is committed, where a failing write used to go unnoticed and leave an
    // empty settings file.
    m_engine.SetDataDir(m_volume.root());
    ASSERT_TRUE(m_engine.SetSettingString(CImgJoinEngine::SettingJoinDir, "D:/drawings"));
    const QByteArray before = fileBytes(m_engine.settingsFile());
    ASSERT_FALSE(before.isEmpty());
    ASSERT_TRUE(m_volume.fill());
    EXPECT_FALSE(m_engine.SetSettingString(CImgJoinEngine::SettingJoinDir, "E:/elsewhere"));
    ASSERT_FALSE(m_errors.isEmpty());
    EXPECT_TRUE(m_errors.last().contains(FullDisk)) << m_errors.last().toStdString();
    EXPECT_EQ(fileBytes(m_engine.settingsFile()), before);
}
