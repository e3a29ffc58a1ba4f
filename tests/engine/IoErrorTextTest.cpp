#include "IoErrorText.h"
#include "CImgJoinEngine.h"
#include "ImageCodec.h"
#include "ProgramLanguage.h"
#include "TestPictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>

namespace {

bool hasChinese(const QString& text)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return text.contains(han);
}

// A failure message told in Chinese alone: once the file paths it names are
// taken out, not one Latin letter is left of an English reason.
void expectChineseOnly(const QString& message, const QStringList& paths)
{
    QString rest = message;
    for (const QString& path : paths)
        rest.remove(QDir::toNativeSeparators(path));
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    EXPECT_FALSE(message.isEmpty());
    EXPECT_TRUE(hasChinese(rest)) << message.toStdString();
    EXPECT_FALSE(rest.contains(latin)) << message.toStdString();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class IoErrorTextTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    // A PNG picture cut off in the middle of its pixel data.
    QString cutPng()
    {
        const QString whole = path(QStringLiteral("whole.png"));
        EXPECT_TRUE(TestPictures::solidPicture(300, 200, Qt::darkBlue).save(whole));
        QFile file(whole);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QString cut = path(QStringLiteral("cut.png"));
        writeBytes(cut, bytes.left(bytes.size() / 2));
        return cut;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(IoErrorTextTest, FailedReadsAreToldInChineseAlone)
{
    const QString garbage = path(QStringLiteral("garbage.png"));
    writeBytes(garbage, QByteArrayLiteral("no picture at all, just some words"));
    const ImageCodec::ReadResult unknown = ImageCodec::read(garbage);
    ASSERT_FALSE(unknown.ok());
    expectChineseOnly(unknown.error, { garbage });
    EXPECT_TRUE(unknown.error.contains(IoErrorText::reason(QImageReader::UnsupportedFormatError)));

    // Cut pixel data fails in the whole-picture decoder and in the decoder
    // that keeps the top-left part only.
    const QString cut = cutPng();
    const ImageCodec::ReadResult whole = ImageCodec::read(cut);
    ASSERT_FALSE(whole.ok());
    expectChineseOnly(whole.error, { cut });
    const ImageCodec::ReadResult part = ImageCodec::readTopLeft(cut, QSize(300, 200));
    ASSERT_FALSE(part.ok());
    expectChineseOnly(part.error, { cut });

    // A settings file the engine cannot open.
    CImgJoinEngine engine;
    engine.SetDataDir(m_dir.path());
    QStringList reported;
    QObject::connect(&engine, &CImgJoinEngine::errorOccurred,
                     [&reported](const QString& message) { reported << message; });
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("qznImgSplitJointInfo.3sp")));
    engine.LoadSettings();
    ASSERT_EQ(reported.size(), 1);
    const QString settings = path(QStringLiteral("qznImgSplitJointInfo.3sp"));
    expectChineseOnly(reported.first(), { settings });
    EXPECT_TRUE(reported.first().contains(IoErrorText::systemReason(EISDIR)));
}

TEST_F(IoErrorTextTest, FailedWritesAreToldInChineseAlone)
{
    // A folder in place of the settings file: the new settings cannot be
    // put there.
    CImgJoinEngine engine;
    engine.SetDataDir(m_dir.path());
    QStringList reported;
    QObject::connect(&engine, &CImgJoinEngine::errorOccurred,
                     [&reported](const QString& message) { reported << message; });
    const QString settings = path(QStringLiteral("qznImgSplitJointInfo.3sp"));
    ASSERT_TRUE(QDir().mkdir(settings));
    EXPECT_FALSE(engine.SetSettingString(102, QStringLiteral("图片")));
    ASSERT_FALSE(reported.isEmpty());
    expectChineseOnly(reported.last(), { settings });

    // The system itself refuses the new file.
    if (!QFileInfo(QStringLiteral("/proc/self")).exists())
        GTEST_SKIP() << "no /proc file system";
    const QString refused = QStringLiteral("/proc/joined.png");
    const IoStatus written = ImageCodec::write(TestPictures::solidPicture(8, 8, Qt::red), refused,
                                               ImageCodec::Effort::Fast);
    ASSERT_FALSE(written.ok());
    expectChineseOnly(written.error, { refused });
}

TEST_F(IoErrorTextTest, TheSystemsReasonComesBeforeQts)
{
#ifdef EDQUOT
    EXPECT_EQ(IoErrorText::systemReason(ENOSPC), IoErrorText::systemReason(EDQUOT));
#endif
    EXPECT_TRUE(IoErrorText::systemReason(0).isEmpty());
    EXPECT_TRUE(IoErrorText::systemReason(-1).isEmpty());

    QFile unopened(path(QStringLiteral("never.png")));
    EXPECT_EQ(IoErrorText::reason(unopened, EACCES), IoErrorText::systemReason(EACCES));
    // Without the system's word, Qt's error code tells.
    QFile missing(path(QStringLiteral("missing.png")));
    ASSERT_FALSE(missing.open(QIODevice::ReadOnly));
    EXPECT_EQ(IoErrorText::reason(missing, 0), IoErrorText::reason(QFileDevice::OpenError));
}

TEST_F(IoErrorTextTest, ReasonsFollowTheProgramsLanguage)
{
    ProgramLanguage language;
    ASSERT_EQ(language.install(ProgramLanguage::Language::English),
              ProgramLanguage::Language::English);
    const QString cut = cutPng();
    const ImageCodec::ReadResult whole = ImageCodec::read(cut);
    ASSERT_FALSE(whole.ok());
    EXPECT_FALSE(hasChinese(whole.error)) << whole.error.toStdString();
    EXPECT_TRUE(whole.error.startsWith(QStringLiteral("Cannot decode")))
        << whole.error.toStdString();
    EXPECT_EQ(IoErrorText::systemReason(ENOSPC), QStringLiteral("the disk is full"));
}
