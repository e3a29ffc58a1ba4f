#include "EngineFixture.h"

#include "ImageCodec.h"

#include <QDirIterator>
#include <QMap>

using TestPictures::coordinatePicture;

namespace {

// Name and SHA-1 of every file in a folder (not below it).
QMap<QString, QByteArray> snapshot(const QString& dir)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files);
    while (it.hasNext()) {
        const QString file = it.next();
        files.insert(file, TestPictures::fileHash(file));
    }
    return files;
}

} // namespace

class UserFilesUntouchedTest : public EngineFixture
{};

// A long working session over the user's pictures: every result goes to the
// temporary folder and the user's files keep their bytes.
TEST_F(UserFilesUntouchedTest, LongSessionNeverWritesMovesOrDeletesTheUsersPictures)
{
    const QString userDir = path("drawings");
    ASSERT_TRUE(QDir().mkpath(userDir));
    QStringList pictures;
    const char* suffixes[] = { "png", "jpg", "bmp", "gif", "JPEG", "Png" };
    for (int i = 0; i < 6; ++i) {
        const QString file =
            QDir(userDir).filePath(QString("capture%1.%2").arg(i).arg(suffixes[i]));
        ASSERT_TRUE(ImageCodec::write(coordinatePicture(120 + i * 10, 90), file).ok());
        pictures << file;
    }
    const QMap<QString, QByteArray> before = snapshot(userDir);

    for (const QString& file : std::as_const(pictures))
        m_engine.AddPicture(file);
    m_engine.SetClientRect(0, 0, 640, 480);
    for (int round = 0; round < 3; ++round) {
        paint(640, 480);
        m_engine.Zoom(ZoomCode::Fit, ZoomTarget::Canvas);
        m_engine.SetHotTransparent(1);
        paint(640, 480);
        m_engine.TrimByWindow(5, 5, 80, 60, DisplayMode::Joining);
        m_engine.SetHotTransparent(0);
        m_engine.SetTrimLine(30, 30, TrimMode::FromRight);
        paint(640, 480);
        m_engine.TrimByTrimLine();
        m_engine.ClearTrimLine();
        m_engine.ModifyCurrentPicture(ModifyCode::TurnRight90);
        m_engine.StretchPicture(0, 0, 15, 0, GrabHandle::Right);
        m_engine.ModifyCurrentPicture(ModifyCode::NextPicture);
        m_engine.ReorderPicture(LayerCode::Down);
        m_engine.MovePicture(12, 7, 0);
    }
    m_engine.SaveJoinedPicture("png", path("joined.png"));
    m_engine.ReorderPicture(LayerCode::Delete);
    m_engine.EnterOutputMode(DisplayMode::Joining);
    m_engine.TrimByWindow(0, 0, 50, 50, DisplayMode::Output);
    m_engine.TrimByWindow(0, 0, 30, 30, DisplayMode::Output);
    m_engine.RestoreOutputPicture();
    m_engine.ClearPictures();
    m_engine.DeleteTempFiles();

    EXPECT_EQ(snapshot(userDir), before);
    EXPECT_GT(m_engine.clipSeq(), 3); // the session really did cut pictures
}
