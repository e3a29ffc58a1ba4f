#include "ImgJoinCommand.h"
#include "CImgJoinEngine.h"
#include "CaptureAligner.h"
#include "PixelRules.h"
#include "ProgramLanguage.h"
#include "SyntheticCaptures.h"
#include "TestPictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using TestPictures::solidPicture;

class ImgJoinCommandTest : public ::testing::Test
{
protected:
    int run(const QStringList& arguments)
    {
        m_outText.clear();
        m_errText.clear();
        QTextStream out(&m_outText), err(&m_errText);
        ImgJoinCommand command(out, err);
        return command.run(arguments);
    }
    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    // A whole picture and its first half under the name given.
    QString wholeAndCut(const QString& cutName)
    {
        const QString whole =
            TestPictures::save(TestPictures::coordinatePicture(300, 200), path("whole.png"));
        QFile file(whole);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = file.readAll();
        QFile cut(path(cutName));
        if (!cut.open(QIODevice::WriteOnly))
            return {};
        cut.write(bytes.left(bytes.size() / 2));
        return whole;
    }

    QTemporaryDir m_dir;
    QString m_outText;
    QString m_errText;
};

TEST_F(ImgJoinCommandTest, HelpExplainsBothCommands)
{
    EXPECT_EQ(run({ "--help" }), ImgJoinCommand::Ok);
    EXPECT_TRUE(m_outText.contains("imgjoin join OUT"));
    EXPECT_TRUE(m_outText.contains("imgjoin stitch STEM ROWS COLS OUT"));
}

TEST_F(ImgJoinCommandTest, BadArgumentsAreUsageErrors)
{
    EXPECT_EQ(run({}), ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "frobnicate" }), ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "join", "out.png" }), ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "join", "out.png", "a.png@1,x" }), ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "join", "out.png", "a.png@1,2,0,5" }), ImgJoinCommand::Usage);
    // Angles that are no number of degrees turn nothing.
    for (const char* angle : { "nan", "inf", "-inf" })
        EXPECT_EQ(run({ "join", "out.png", QString("a.png@1,2,3,4,%1").arg(angle) }),
                  ImgJoinCommand::Usage)
            << angle;
    EXPECT_EQ(run({ "stitch", "s", "0", "2", "o.png" }), ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "stitch", "s", "2", "100", "o.png" }), ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "stitch", "s", "2" }), ImgJoinCommand::Usage);
    EXPECT_TRUE(m_errText.contains("--help"));
}

TEST_F(ImgJoinCommandTest, JoinPlacesStretchesAndLayersPictures)
{
    const QString red = TestPictures::save(solidPicture(10, 10, Qt::red), path("r.png"));
    const QString blue = TestPictures::save(solidPicture(10, 10, Qt::blue), path("b.png"));
    const QString out = path("joined.png");
    ASSERT_EQ(run({ "join", out, red + "@0,0,40,20", blue + "@30,10", red + "@-10,0" }),
              ImgJoinCommand::Ok)
        << m_errText.toStdString();
    const QImage joined = QImageReader(out).read();
    ASSERT_EQ(joined.size(), QSize(50, 20));
    EXPECT_EQ(joined.pixel(0, 0), qRgb(255, 0, 0));   // third picture, left of the origin
    EXPECT_EQ(joined.pixel(25, 5), qRgb(255, 0, 0));  // the stretched first one
    EXPECT_EQ(joined.pixel(45, 15), qRgb(0, 0, 255)); // the second on top
}

TEST_F(ImgJoinCommandTest, BoxesAtTheEndOfTheIntRangeAreRefusedNotDropped)
{
    const QString a = TestPictures::save(solidPicture(10, 10, Qt::red), path("a.png"));
    const QString out = path("out.png");
    EXPECT_EQ(run({ "join", out, a + "@0,0", a + "@2147483000,0,1000,10" }),
              ImgJoinCommand::Failed);
    EXPECT_TRUE(m_errText.contains(QString::fromUtf8("太大"))) << m_errText.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

TEST_F(ImgJoinCommandTest, APositionWhoseBoxEndsPastTheIntRangeIsRefusedByName)
{
    // The picture's own size (10 x 10) carries it past the range.
    const QString a = TestPictures::save(solidPicture(10, 10, Qt::red), path("edge.png"));
    const QString out = path("out.png");
    EXPECT_EQ(run({ "join", out, a + "@2147483640,0" }), ImgJoinCommand::Failed);
    EXPECT_TRUE(m_errText.contains("edge.png")) << m_errText.toStdString();
    EXPECT_FALSE(QFile::exists(out));
    // At the very end of the range, yet inside it: joined.
    EXPECT_EQ(run({ "join", out, a + "@2147483637,0" }), ImgJoinCommand::Ok)
        << m_errText.toStdString();
    EXPECT_EQ(QImageReader(out).size(), QSize(10, 10));
}

TEST_F(ImgJoinCommandTest, SingleFileStitchChecksThePictureAndSaysWhatFailed)
{
    const QString out = path("out.png");
    QFile junk(path("junk.png"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(300, '\x5a'));
    junk.close();
    EXPECT_EQ(run({ "stitch", junk.fileName(), "1", "1", out }), ImgJoinCommand::Failed);
    EXPECT_TRUE(m_errText.contains("junk.png")) << m_errText.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    EXPECT_EQ(run({ "stitch", path("gone.png"), "1", "1", out }), ImgJoinCommand::Failed);
    EXPECT_TRUE(m_errText.contains("gone.png")) << m_errText.toStdString();

    const QString good = TestPictures::save(solidPicture(6, 4, Qt::blue), path("good.png"));
    EXPECT_EQ(run({ "stitch", good, "1", "1", out }), ImgJoinCommand::Ok);
    EXPECT_EQ(QImage(out).size(), QSize(6, 4));
    EXPECT_EQ(TestPictures::fileHash(out), TestPictures::fileHash(good)); // copied as it is

    // Another suffix: the file is written in that format.
    const QString jpeg = path("out.jpg");
    EXPECT_EQ(run({ "stitch", good, "1", "1", jpeg }), ImgJoinCommand::Ok);
    EXPECT_EQ(QImageReader(jpeg).format(), QByteArray("jpeg"));
    EXPECT_EQ(QImageReader(jpeg).size(), QSize(6, 4));
}

TEST_F(ImgJoinCommandTest, UnreadablePictureFailsAndWritesNothing)
{
    const QString out = path("joined.png");
    EXPECT_EQ(run({ "join", out, path("missing.png") + "@0,0" }), ImgJoinCommand::Failed);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_TRUE(m_errText.contains("missing.png"));
}

TEST_F(ImgJoinCommandTest, StitchAssemblesTilesOnTheFirstTilesGrid)
{
    const QString stem = path("plan");
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            TestPictures::save(solidPicture(8, 6, QColor(r * 100, c * 100, 50)),
                               stem + QString("%1%2.png").arg(r).arg(c));
    const QString out = path("assembled.png");
    ASSERT_EQ(run({ "stitch", stem, "2", "3", out }), ImgJoinCommand::Ok)
        << m_errText.toStdString();
    const QImage assembled = QImageReader(out).read();
    ASSERT_EQ(assembled.size(), QSize(24, 12));
    EXPECT_EQ(assembled.pixel(20, 10), qRgb(100, 200, 50));
    EXPECT_EQ(run({ "stitch", path("nothing"), "2", "2", out }), ImgJoinCommand::Failed);
}

TEST_F(ImgJoinCommandTest, HelpExplainsThePictureCommands)
{
    EXPECT_EQ(run({ "--help" }), ImgJoinCommand::Ok);
    EXPECT_TRUE(m_outText.contains("imgjoin print-prep --job 99|100|101|109 IN OUT"));
    EXPECT_TRUE(m_outText.contains("imgjoin filter --code N"));
}

TEST_F(ImgJoinCommandTest, PrintPrepRunsEachJobOnTheWholePicture)
{
    QImage line = solidPicture(9, 5, Qt::black);
    for (int x = 0; x < 9; ++x)
        line.setPixel(x, 2, qRgb(255, 0, 0));
    const QString in = TestPictures::save(line, path("line.png"));
    const struct
    {
        const char* job;
        QRgb background;
        QRgb line;
    } cases[] = { { "99", qRgb(255, 255, 255), qRgb(255, 0, 0) },
                  { "100", qRgb(255, 255, 255), qRgb(178, 178, 178) },
                  { "101", qRgb(0, 0, 0), qRgb(76, 76, 76) },
                  { "109", qRgb(255, 255, 255), qRgb(76, 76, 76) } };
    for (const auto& c : cases) {
        const QString out = path(QString("prep%1.png").arg(c.job));
        ASSERT_EQ(run({ "print-prep", "--job", c.job, in, out }), ImgJoinCommand::Ok)
            << m_errText.toStdString();
        const QImage result = QImageReader(out).read().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(result.pixel(4, 0), c.background) << c.job;
        EXPECT_EQ(result.pixel(4, 2), c.line) << c.job;
    }
    // The suffix of OUT picks the encoder.
    ASSERT_EQ(run({ "print-prep", "--job", "101", in, path("prep.bmp") }), ImgJoinCommand::Ok);
    EXPECT_EQ(QImageReader(path("prep.bmp")).format(), "bmp");
}

TEST_F(ImgJoinCommandTest, FilterAppliesTheCodeWithItsOptions)
{
    const QString in =
        TestPictures::save(solidPicture(6, 4, QColor(100, 110, 120)), path("in.png"));
    auto pixelOf = [&](const QStringList& arguments) {
        const QString out = path("filtered.png");
        EXPECT_EQ(run(QStringList{ "filter" } + arguments + QStringList{ in, out }),
                  ImgJoinCommand::Ok)
            << m_errText.toStdString();
        return QImageReader(out).read().convertToFormat(QImage::Format_RGB32).pixel(2, 2);
    };
    EXPECT_EQ(pixelOf({ "--code", "101" }), qRgb(155, 145, 135));
    EXPECT_EQ(pixelOf({ "--code", "202" }), qRgb(100, 110, 120));
    EXPECT_EQ(pixelOf({ "--code", "202", "--step", "16" }), qRgb(96, 96, 112));
    EXPECT_EQ(
        pixelOf({ "--code", "301", "--range", "90,101,100,120,110,130", "--replace", "1,2,3" }),
        qRgb(1, 2, 3));
}

TEST_F(ImgJoinCommandTest, PictureCommandsRefuseBadArgumentsAndReportFailures)
{
    const QString in = TestPictures::save(solidPicture(4, 4, Qt::red), path("in.png"));
    const QString out = path("out.png");
    EXPECT_EQ(run({ "print-prep", "--job", "98", in, out }), ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "print-prep", "--job", "101", in }), ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "print-prep", "101", in, out }), ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "filter", "--code", "999", in, out }), ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "filter", in, out }), ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "filter", "--code", "301", in, out }), ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "filter", "--code", "202", "--step", "0", in, out }), ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "filter", "--code", "301", "--range", "1,2,3", "--replace", "1,2,3", in, out }),
              ImgJoinCommand::Usage);
    EXPECT_EQ(run({ "filter", "--code" }), ImgJoinCommand::Usage);
    EXPECT_FALSE(QFile::exists(out));

    EXPECT_EQ(run({ "print-prep", "--job", "101", path("missing.png"), out }),
              ImgJoinCommand::Failed);
    EXPECT_TRUE(m_errText.contains("missing.png"));
    EXPECT_EQ(run({ "filter", "--code", "101", in, path("no/such/folder/out.png") }),
              ImgJoinCommand::Failed);
    EXPECT_TRUE(m_errText.contains("folder"));
}

// PNG to PNG goes row by row; the result must be what the program's jobs
// give for every kind of PNG, and other files take the whole-picture path.
TEST_F(ImgJoinCommandTest, PrintPrepGivesTheProgramsResultForEveryKindOfPicture)
{
    QImage colours(23, 9, QImage::Format_ARGB32);
    for (int y = 0; y < colours.height(); ++y)
        for (int x = 0; x < colours.width(); ++x)
            colours.setPixel(x, y, qRgba(x * 11, y * 27, (x * y) % 256, x % 5 == 0 ? 0 : 255));
    const QImage opaque = colours.convertToFormat(QImage::Format_RGB32);
    const QList<QPair<QString, QImage>> inputs = {
        { "alpha.png", colours },
        { "opaque.png", opaque },
        { "indexed.png", opaque.convertToFormat(QImage::Format_Indexed8) },
        { "grey.png", opaque.convertToFormat(QImage::Format_Grayscale8) },
        { "deep.png", colours.convertToFormat(QImage::Format_RGBA64) },
        { "opaque.bmp", opaque },
    };
    for (const auto& [name, picture] : inputs) {
        const QString in = TestPictures::save(picture, path(name));
        const QImage decoded = QImageReader(in).read();
        for (const char* job : { "99", "109" }) {
            const QString out = path(name + job + ".png");
            ASSERT_EQ(run({ "print-prep", "--job", job, in, out }), ImgJoinCommand::Ok)
                << m_errText.toStdString();
            const QImage expected =
                PixelRules::processOutput(decoded,
                                          *codeFromValue(AllOutputJobs, QString(job).toInt()))
                    .convertToFormat(QImage::Format_RGB32);
            const QImage result = QImageReader(out).read().convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(result.size(), expected.size());
            for (int y = 0; y < result.height(); ++y)
                for (int x = 0; x < result.width(); ++x)
                    ASSERT_EQ(result.pixel(x, y), expected.pixel(x, y))
                        << name.toStdString() << " job " << job << " at " << x << "," << y;
        }
    }
}

// The filter streams PNG files band by band; every kind of picture gets the
// pixels, alpha included, of the filter applied to the whole picture.
TEST_F(ImgJoinCommandTest, FilterGivesTheWholePictureResultForEveryKindOfPicture)
{
    QImage colours(300, 70, QImage::Format_ARGB32); // several bands of rows
    for (int y = 0; y < colours.height(); ++y)
        for (int x = 0; x < colours.width(); ++x)
            colours.setPixel(x, y, qRgba(x % 256, y * 3, (x * y) % 256, x % 7 == 0 ? 90 : 255));
    const QImage opaque = colours.convertToFormat(QImage::Format_RGB32);
    const QList<QPair<QString, QImage>> inputs = {
        { "alpha.png", colours },
        { "opaque.png", opaque },
        { "indexed.png", opaque.convertToFormat(QImage::Format_Indexed8) },
        { "grey.png", opaque.convertToFormat(QImage::Format_Grayscale8) },
    };
    for (const auto& [name, picture] : inputs) {
        const QString in = TestPictures::save(picture, path(name));
        QImage expected = QImageReader(in).read();
        PixelRules::applyFilter(expected, FilterCode::Fade, PixelRules::FilterSettings{});
        const QString out = path("filtered-" + name);
        ASSERT_EQ(run({ "filter", "--code", "102", in, out }), ImgJoinCommand::Ok)
            << m_errText.toStdString();
        EXPECT_EQ(QImageReader(out).read().convertToFormat(QImage::Format_ARGB32),
                  expected.convertToFormat(QImage::Format_ARGB32))
            << name.toStdString();
    }
}

TEST_F(ImgJoinCommandTest, PrintPrepOfACutFileFailsAndLeavesNoOutput)
{
    const QString whole = wholeAndCut(QStringLiteral("cut.png"));
    ASSERT_FALSE(whole.isEmpty());
    const QString out = path("out.png");
    EXPECT_EQ(run({ "print-prep", "--job", "101", path("cut.png"), out }), ImgJoinCommand::Failed);
    EXPECT_TRUE(m_errText.contains("cut.png"));
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(run({ "print-prep", "--job", "101", whole, path("no/folder/out.png") }),
              ImgJoinCommand::Failed);
    EXPECT_TRUE(m_errText.contains("out.png"));
}

TEST_F(ImgJoinCommandTest, MessagesAreInOneLanguage)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    const QString whole = wholeAndCut(QStringLiteral("cut.png"));
    ASSERT_FALSE(whole.isEmpty());
    const QString refused = QStringLiteral("/proc/out.png");
    const bool refusing = QFileInfo::exists(QStringLiteral("/proc/self"));

    // Chinese as written: the reasons of a failed read and write too. Once
    // the command's own words and the files are taken out, no Latin letter
    // is left.
    EXPECT_EQ(run({ "--help" }), ImgJoinCommand::Ok);
    EXPECT_TRUE(m_outText.contains(han));
    EXPECT_EQ(run({ "print-prep", "--job", "101", path("cut.png"), path("out.png") }),
              ImgJoinCommand::Failed);
    EXPECT_FALSE(QString(m_errText).remove("imgjoin").remove(path("cut.png")).contains(latin))
        << m_errText.toStdString();
    if (refusing) {
        EXPECT_EQ(run({ "print-prep", "--job", "101", whole, refused }), ImgJoinCommand::Failed);
        EXPECT_FALSE(QString(m_errText).remove("imgjoin").remove(refused).contains(latin))
            << m_errText.toStdString();
    }

    // English throughout: help, usage errors and the engine's failures.
    ProgramLanguage language;
    ASSERT_EQ(language.install(ProgramLanguage::Language::English),
              ProgramLanguage::Language::English);
    EXPECT_EQ(run({ "--help" }), ImgJoinCommand::Ok);
    EXPECT_TRUE(m_outText.startsWith("Usage:"));
    EXPECT_TRUE(m_outText.contains("imgjoin stitch STEM ROWS COLS OUT"));
    EXPECT_FALSE(m_outText.contains(han)) << m_outText.toStdString();
    EXPECT_EQ(run({ "frobnicate" }), ImgJoinCommand::Usage);
    EXPECT_TRUE(m_errText.contains("unknown command 'frobnicate'")) << m_errText.toStdString();
    EXPECT_FALSE(m_errText.contains(han)) << m_errText.toStdString();
    EXPECT_EQ(run({ "print-prep", "--job", "101", path("cut.png"), path("out.png") }),
              ImgJoinCommand::Failed);
    EXPECT_FALSE(m_errText.contains(han)) << m_errText.toStdString();
    EXPECT_EQ(run({ "join", path("out.png"), path("missing.png") }), ImgJoinCommand::Failed);
    EXPECT_FALSE(m_errText.contains(han)) << m_errText.toStdString();
    if (refusing) {
        EXPECT_EQ(run({ "print-prep", "--job", "101", whole, refused }), ImgJoinCommand::Failed);
        EXPECT_FALSE(m_errText.contains(han)) << m_errText.toStdString();
    }
}

TEST_F(ImgJoinCommandTest, ProjectsWrittenByTheToolAndByTheEngineJoinTheSame)
{
    const QString plan =
        TestPictures::save(TestPictures::coordinatePicture(50, 40), path("plan.png"));
    const QString mark =
        TestPictures::save(solidPicture(12, 8, QColor(200, 30, 90)), path("m.png"));
    const QStringList arguments{ plan + "@-5,3", mark + "@20,10,30,25",
                                 plan + "@40,30,50,40,21.5" };
    ASSERT_EQ(run(QStringList{ "join", path("tool.ora") } + arguments), ImgJoinCommand::Ok)
        << m_errText.toStdString();
    ASSERT_EQ(run(QStringList{ "join", path("tool.png") } + arguments), ImgJoinCommand::Ok);

    QTemporaryDir data;
    CImgJoinEngine engine;
    engine.SetDataDir(data.path());
    QStringList errors;
    QObject::connect(&engine, &CImgJoinEngine::errorOccurred,
                     [&errors](const QString& message) { errors << message; });
    ASSERT_TRUE(engine.OpenProject(path("tool.ora")));
    ASSERT_TRUE(engine.SaveJoinedPicture("png", path("engine.png")));
    EXPECT_EQ(TestPictures::fileHash(path("engine.png")), TestPictures::fileHash(path("tool.png")));
    EXPECT_EQ(QImage(path("engine.png")), QImage(path("tool.png")));

    // The engine's project, flattened by the tool.
    engine.NewCanvas();
    ASSERT_TRUE(engine.addPlacedPicture(mark, 7, -2));
    ASSERT_TRUE(engine.addPlacedPicture(plan, 0, 0, 80, 20, -40.0f));
    ASSERT_TRUE(engine.SaveProject(path("engine.ora")));
    ASSERT_TRUE(engine.SaveJoinedPicture("png", path("engine2.png")));
    ASSERT_EQ(run({ "join", path("flat.png"), path("engine.ora") }), ImgJoinCommand::Ok)
        << m_errText.toStdString();
    EXPECT_EQ(TestPictures::fileHash(path("flat.png")),
              TestPictures::fileHash(path("engine2.png")));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(ImgJoinCommandTest, ProjectAmongThePicturesIsMovedByItsPlacement)
{
    const QString red = TestPictures::save(solidPicture(10, 10, Qt::red), path("r.png"));
    const QString blue = TestPictures::save(solidPicture(10, 10, Qt::blue), path("b.png"));
    ASSERT_EQ(run({ "join", path("pair.ora"), red + "@0,0", blue + "@10,0" }), ImgJoinCommand::Ok);
    ASSERT_EQ(run({ "join", path("out.png"), red + "@0,20,30,5", path("pair.ora") + "@5,5" }),
              ImgJoinCommand::Ok)
        << m_errText.toStdString();
    const QImage joined = QImageReader(path("out.png")).read();
    // From canvas (0, 5): the project's pictures on top, the stretched one below them.
    ASSERT_EQ(joined.size(), QSize(30, 20));
    EXPECT_EQ(joined.pixel(6, 1), qRgb(255, 0, 0));
    EXPECT_EQ(joined.pixel(16, 1), qRgb(0, 0, 255));
    EXPECT_EQ(joined.pixel(20, 17), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(joined.pixel(2, 2)), 0);

    EXPECT_EQ(run({ "join", path("x.png"), path("pair.ora") + "@1,2,3,4" }), ImgJoinCommand::Usage);
    QFile junk(path("junk.ora"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a project at all");
    junk.close();
    EXPECT_EQ(run({ "join", path("x.png"), junk.fileName() }), ImgJoinCommand::Failed);
    EXPECT_TRUE(m_errText.contains("junk.ora")) << m_errText.toStdString();
    EXPECT_FALSE(QFile::exists(path("x.png")));
}

// auto-join over made-up capture sets whose true places are known.
class AutoJoinCommandTest : public ImgJoinCommandTest
{
protected:
    struct Placed
    {
        QPoint offset;
        double confidence = 0.0;
    };

    static SyntheticCaptures::Options small(int count, int isolated)
    {
        return { .drawingSize = { 1600, 1000 },
                 .captureSize = { 640, 400 },
                 .count = count,
                 .isolated = isolated,
                 .seed = 3 };
    }

    // Saves the captures in the set's order and remembers each one's place.
    QStringList save(const SyntheticCaptures::Set& set)
    {
        QStringList files;
        for (int i = 0; i < set.captures.size(); ++i) {
            files << TestPictures::save(set.captures.at(i), path(QString("cap_%1.png").arg(i)));
            m_truth.insert(files.last(), set.positions.at(i));
        }
        return files;
    }

    // The aligner is still to come when it places nothing of a set it must.
    static bool alignerPlaces(const SyntheticCaptures::Set& set)
    {
        return CaptureAligner::align(set.captures, {}).placedCount() > 0;
    }

    // The placed pictures of a --report, by file; false when a line that
    // names no left-out picture cannot be read.
    bool readReport(QHash<QString, Placed>& placed, QStringList& leftOut) const
    {
        static const QRegularExpression line(
            QStringLiteral("^(.+) (-?\\d+),(-?\\d+) ([01]\\.\\d\\d)$"));
        const QString leftOutMark = ImgJoinCommand::tr("未放入:") + QLatin1Char(' ');
        for (const QString& text : m_outText.split('\n', Qt::SkipEmptyParts)) {
            if (text.startsWith(leftOutMark)) {
                leftOut << text.mid(leftOutMark.size()).section(QStringLiteral(": "), 0, 0);
                continue;
            }
            const QRegularExpressionMatch match = line.match(text);
            if (!match.hasMatch())
                return false;
            placed.insert(match.captured(1),
                          { QPoint(match.captured(2).toInt(), match.captured(3).toInt()),
                            match.captured(4).toDouble() });
        }
        return true;
    }

    QHash<QString, QPoint> m_truth;
};

TEST_F(AutoJoinCommandTest, BadArgumentsAreUsageErrorsAndWriteNothing)
{
    const QString a = TestPictures::save(solidPicture(100, 80, Qt::red), path("a.png"));
    const QString b = TestPictures::save(solidPicture(100, 80, Qt::blue), path("b.png"));
    const QString out = path("out.png");
    const QList<QStringList> refused = {
        { "auto-join" },
        { "auto-join", out },
        { "auto-join", out, a },                // nothing to join it with
        { "auto-join", path("out.ora"), a, b }, // pictures only
        { "auto-join", "--frobnicate", out, a, b },
        { "auto-join", out, a, b, "--area" },
        { "auto-join", "--area", "1,2,3", out, a, b },
        { "auto-join", "--area", "1,2,3,4,5", out, a, b },
        { "auto-join", "--area", "1,2,x,4", out, a, b },
        { "auto-join", "--area", "0,0,0,5", out, a, b },
        { "auto-join", "--area", "0,0,5,-1", out, a, b },
        { "auto-join", "--area", "-1,0,5,5", out, a, b },
        // Inside the pictures' size, yet not inside the pictures.
        { "auto-join", "--area", "50,40,60,10", out, a, b },
        { "auto-join", "--area", "0,0,100,81", out, a, b },
    };
    for (const QStringList& arguments : refused) {
        EXPECT_EQ(run(arguments), ImgJoinCommand::Usage) << arguments.join(' ').toStdString();
        EXPECT_TRUE(m_errText.contains("--help")) << arguments.join(' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_FALSE(QFile::exists(path("out.ora")));
    // The area check says which picture it does not fit.
    EXPECT_EQ(run({ "auto-join", "--area", "10,10,90,70", out, a,
                    TestPictures::save(solidPicture(60, 80, Qt::blue), path("narrow.png")) }),
              ImgJoinCommand::Usage);
    EXPECT_TRUE(m_errText.contains("narrow.png")) << m_errText.toStdString();

    EXPECT_EQ(run({ "--help" }), ImgJoinCommand::Ok);
    EXPECT_TRUE(m_outText.contains("imgjoin auto-join [--area X,Y,W,H] [--report] OUT PIC..."));
}

TEST_F(AutoJoinCommandTest, AnUnreadablePictureFailsByNameAndWritesNothing)
{
    const QString whole = wholeAndCut(QStringLiteral("cut.png"));
    ASSERT_FALSE(whole.isEmpty());
    const QString out = path("out.png");
    EXPECT_EQ(run({ "auto-join", out, whole, path("cut.png") }), ImgJoinCommand::Failed);
    EXPECT_TRUE(m_errText.contains("cut.png")) << m_errText.toStdString();
    EXPECT_EQ(run({ "auto-join", out, path("missing.png"), whole }), ImgJoinCommand::Failed);
    EXPECT_TRUE(m_errText.contains("missing.png")) << m_errText.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

TEST_F(AutoJoinCommandTest, CapturesAreJoinedIntoTheDrawingPixelForPixel)
{
    const SyntheticCaptures::Set set = SyntheticCaptures::make(small(8, 0));
    if (!alignerPlaces(set))
        GTEST_SKIP() << "the aligner places nothing yet";
    const QStringList files = save(set);
    const QString area = QString("%1,%2,%3,%4")
                             .arg(set.area.x())
                             .arg(set.area.y())
                             .arg(set.area.width())
                             .arg(set.area.height());
    // The area found, and the area given.
    for (const QStringList& options :
         { QStringList{ "--report" }, QStringList{ "--report", "--area", area } }) {
        SCOPED_TRACE(options.join(' ').toStdString());
        const QString out = path("joined.png");
        QFile::remove(out);
        ASSERT_EQ(run(QStringList{ "auto-join" } + options + QStringList{ out } + files),
                  ImgJoinCommand::Ok)
            << m_errText.toStdString();
        EXPECT_TRUE(m_errText.isEmpty()) << m_errText.toStdString();

        QHash<QString, Placed> placed;
        QStringList leftOut;
        ASSERT_TRUE(readReport(placed, leftOut)) << m_outText.toStdString();
        EXPECT_TRUE(leftOut.isEmpty());
        ASSERT_EQ(placed.size(), files.size()) << m_outText.toStdString();
        // Every capture lies where the drawing puts it, relative to the others.
        const QPoint origin = m_truth.value(files.first()) - placed.value(files.first()).offset;
        QRect bounds;
        for (const QString& file : files) {
            EXPECT_EQ(m_truth.value(file) - placed.value(file).offset, origin)
                << file.toStdString();
            EXPECT_GT(placed.value(file).confidence, 0.0);
            EXPECT_LE(placed.value(file).confidence, 1.0);
            bounds |= QRect(m_truth.value(file), set.area.size());
        }
        EXPECT_EQ(bounds.topLeft(), origin);

        const QImage joined = QImageReader(out).read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(joined.size(), bounds.size());
        qint64 covered = 0, differing = 0;
        for (int y = 0; y < joined.height(); ++y)
            for (int x = 0; x < joined.width(); ++x) {
                const QRgb pixel = joined.pixel(x, y);
                bool shown = false;
                for (const QString& file : files)
                    shown =
                        shown ||
                        QRect(m_truth.value(file), set.area.size()).contains(origin + QPoint(x, y));
                EXPECT_EQ(qAlpha(pixel) == 255, shown) << x << "," << y;
                if (qAlpha(pixel) == 0)
                    continue;
                ++covered;
                differing += pixel != set.drawing.pixel(origin + QPoint(x, y)) ? 1 : 0;
            }
        EXPECT_GT(covered, 0);
        EXPECT_EQ(differing, 0);
    }
}

TEST_F(AutoJoinCommandTest, CapturesOfAnotherDrawingAreLeftOutWithAWarning)
{
    const SyntheticCaptures::Set set = SyntheticCaptures::make(small(8, 2));
    if (!alignerPlaces(set))
        GTEST_SKIP() << "the aligner places nothing yet";
    const QStringList files = save(set);
    const QString out = path("joined.png");
    ASSERT_EQ(run(QStringList{ "auto-join", out, "--report" } + files), ImgJoinCommand::Ok)
        << m_errText.toStdString();
    EXPECT_TRUE(QFile::exists(out));
    QHash<QString, Placed> placed;
    QStringList leftOut;
    ASSERT_TRUE(readReport(placed, leftOut)) << m_outText.toStdString();
    EXPECT_EQ(placed.size(), 8);
    ASSERT_EQ(leftOut.size(), 2) << m_outText.toStdString();
    for (const QString& file : files) {
        const bool isolated = m_truth.value(file) == SyntheticCaptures::NotInDrawing;
        EXPECT_EQ(leftOut.contains(file), isolated) << file.toStdString();
        EXPECT_EQ(placed.contains(file), !isolated) << file.toStdString();
        // The warning names exactly the pictures left out.
        EXPECT_EQ(m_errText.contains(QDir::toNativeSeparators(file) + ' '), isolated)
            << file.toStdString() << m_errText.toStdString();
    }
}

TEST_F(AutoJoinCommandTest, PicturesThatOverlapNothingFailAndWriteNothing)
{
    const SyntheticCaptures::Set set = SyntheticCaptures::make(small(1, 2));
    const QString out = path("joined.png");
    EXPECT_EQ(run(QStringList{ "auto-join", "--report", out } + save(set)), ImgJoinCommand::Failed);
    EXPECT_FALSE(m_errText.isEmpty());
    EXPECT_FALSE(QFile::exists(out));
}
