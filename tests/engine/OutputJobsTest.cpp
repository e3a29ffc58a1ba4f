#include "EngineFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <atomic>
#include <thread>

using TestPictures::solidPicture;

namespace {

QImage load(const QString& file)
{
    return QImageReader(file).read().convertToFormat(QImage::Format_ARGB32);
}

// Black, with a red line along row 2.
QImage redLineOnBlack()
{
    QImage image = solidPicture(12, 5, Qt::black);
    for (int x = 0; x < image.width(); ++x)
        image.setPixel(x, 2, qRgb(255, 0, 0));
    return image;
}

} // namespace

class OutputJobsTest : public EngineFixture
{
protected:
    // Makes the picture the output picture, as switching to print-output mode does.
    QString enterOutput(const QImage& image, const QString& name)
    {
        QString file = addPicture(image, name);
        EXPECT_EQ(m_engine.EnterOutputMode(DisplayMode::Joining), 1);
        return file;
    }
    QString tempFile(const QString& name) const { return QDir(m_engine.tempDir()).filePath(name); }
    QImage output() const { return load(m_engine.GetOutputFile()); }
};

TEST_F(OutputJobsTest, JobsOnARedLineOverBlack)
{
    const QString original = enterOutput(redLineOnBlack(), "line.png");
    struct Expected
    {
        OutputJob job;
        QRgb background;
        QRgb line;
    };
    const Expected cases[] = {
        { OutputJob::WhiteBackColour, qRgb(255, 255, 255), qRgb(255, 0, 0) },
        { OutputJob::CadGrey1, qRgb(255, 255, 255), qRgb(178, 178, 178) },
        { OutputJob::Grey, qRgb(0, 0, 0), qRgb(76, 76, 76) },
        { OutputJob::CadGrey2, qRgb(255, 255, 255), qRgb(76, 76, 76) },
    };
    for (const Expected& c : cases) {
        m_engine.RestoreOutputPicture();
        ASSERT_TRUE(m_engine.ProcessOutputPicture(c.job)) << codeValue(c.job);
        const QImage result = output();
        EXPECT_EQ(result.pixel(0, 0), c.background) << codeValue(c.job);
        EXPECT_EQ(result.pixel(5, 2), c.line) << codeValue(c.job);
    }
    m_engine.RestoreOutputPicture();
    EXPECT_EQ(m_engine.GetOutputFile(), original);
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(OutputJobsTest, TemporaryNamesAlternateAndJobsBuildOnEachOther)
{
    const QString original = enterOutput(redLineOnBlack(), "line.png");
    ASSERT_TRUE(m_engine.ProcessOutputPicture(OutputJob::WhiteBackColour));
    EXPECT_EQ(m_engine.GetOutputFile(), tempFile("tmpPrtoutImg678.png"));
    ASSERT_TRUE(m_engine.ProcessOutputPicture(OutputJob::WhiteBackColour));
    EXPECT_EQ(m_engine.GetOutputFile(), tempFile("tmpPrtoutImg876.png"));
    EXPECT_EQ(output().pixel(0, 0), qRgb(0, 0, 0)); // greys inverted twice
    EXPECT_EQ(output().pixel(0, 2), qRgb(255, 0, 0));
    ASSERT_TRUE(m_engine.ProcessOutputPicture(OutputJob::Grey));
    EXPECT_EQ(m_engine.GetOutputFile(), tempFile("tmpPrtoutImg678.png"));
    m_engine.RestoreOutputPicture();
    EXPECT_EQ(m_engine.GetOutputFile(), original);
    EXPECT_TRUE(QFileInfo::exists(tempFile("tmpPrtoutImg876.png"))); // nothing is deleted
}

TEST_F(OutputJobsTest, UpperCaseJpgStaysJpegAndKeepsItsSuffix)
{
    enterOutput(solidPicture(16, 16, Qt::white), "photo.JPG");
    ASSERT_TRUE(m_engine.ProcessOutputPicture(OutputJob::Grey));
    EXPECT_EQ(m_engine.GetOutputFile(), tempFile("tmpPrtoutImg678.JPG"));
    EXPECT_EQ(QImageReader(m_engine.GetOutputFile()).format(), "jpeg");
    EXPECT_GE(qRed(output().pixel(8, 8)), 250);
}

TEST_F(OutputJobsTest, TransparentAreasComeOutOpaque)
{
    QImage picture(4, 4, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixel(1, 1, qRgba(0, 0, 255, 255));
    enterOutput(picture, "clear.png");
    ASSERT_TRUE(m_engine.ProcessOutputPicture(OutputJob::WhiteBackColour));
    const QImage result = output();
    EXPECT_EQ(result.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(result.pixel(1, 1), qRgb(0, 0, 255));
}

TEST_F(OutputJobsTest, ProgressTextStepsThroughTheRows)
{
    enterOutput(TestPictures::coordinatePicture(8, 50), "rows.png");
    EXPECT_EQ(m_engine.GetProgressText(), QString());
    QStringList texts;
    m_engine.setProgressObserver(
        [&](int) { texts << m_engine.GetProgressText(); }); // small picture: one thread
    ASSERT_TRUE(m_engine.ProcessOutputPicture(OutputJob::Grey));
    ASSERT_EQ(texts.size(), 50);
    EXPECT_EQ(texts.first(), "0/100");
    EXPECT_EQ(texts.at(1), "2/100");
    EXPECT_EQ(texts.last(), "98/100");
    m_engine.setProgressObserver({});
}

TEST_F(OutputJobsTest, JobRunsOnAWorkerWhileTheProgressIsRead)
{
    enterOutput(TestPictures::coordinatePicture(600, 1500), "big.png");
    PixelJob job = m_engine.beginOutputJob(OutputJob::CadGrey2);
    ASSERT_TRUE(job.valid());
    const QString before = m_engine.GetOutputFile();
    std::atomic<bool> done{ false };
    std::thread worker([&] {
        job.run();
        done = true;
    });
    int last = -1;
    bool rising = true;
    while (!done) {
        const QString text = m_engine.GetProgressText();
        const int value = text.isEmpty() ? -1 : text.section('/', 0, 0).toInt();
        rising = rising && value >= last;
        last = value;
        EXPECT_EQ(m_engine.GetOutputFile(), before); // handed over only at the end
    }
    worker.join();
    EXPECT_TRUE(rising);
    ASSERT_TRUE(m_engine.endOutputJob(job));
    EXPECT_EQ(m_engine.GetOutputFile(), tempFile("tmpPrtoutImg678.png"));
    // The result is shown from memory, not read back from the file.
    const int decodes = m_engine.decodeCount();
    EXPECT_FALSE(m_engine.GetOutputImage().isNull());
    EXPECT_EQ(m_engine.decodeCount(), decodes);
}

TEST_F(OutputJobsTest, FailuresLeaveTheOutputPictureAsItWasAndAreReported)
{
    EXPECT_FALSE(m_engine.ProcessOutputPicture(OutputJob::Grey)); // no output picture
    EXPECT_EQ(m_errors.size(), 1);

    const QString original = enterOutput(solidPicture(4, 4, Qt::red), "red.png");
    ASSERT_TRUE(QDir().mkpath(tempFile("tmpPrtoutImg678.png")));
    m_errors.clear();
    EXPECT_FALSE(m_engine.ProcessOutputPicture(OutputJob::Grey));
    EXPECT_EQ(m_engine.GetOutputFile(), original);
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.first().contains("tmpPrtoutImg678.png"));

    QFile::remove(original);
    m_engine.ForgetDecodedPictures();
    m_errors.clear();
    EXPECT_FALSE(m_engine.ProcessOutputPicture(OutputJob::Grey));
    EXPECT_EQ(m_engine.GetOutputFile(), original);
    EXPECT_EQ(m_errors.size(), 1);
}
