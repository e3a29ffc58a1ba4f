#include "CImgJoinEngine.h"
#include "PrintInfoBlock.h"
#include "SettingsBlock.h"
#include "TestPictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// A hand-over block laid out byte by byte, as the other application writes it.
QByteArray handOverBytes(char status, const QString& directory, const QByteArray& name, qint32 rows,
                         qint32 columns)
{
    QByteArray bytes(352, '\0');
    bytes[0] = status;
    const QByteArray dir = directory.toLocal8Bit();
    std::memcpy(bytes.data() + 1, dir.constData(), size_t(std::min<qsizetype>(dir.size(), 266)));
    std::memcpy(bytes.data() + 267, name.constData(), size_t(std::min<qsizetype>(name.size(), 77)));
    const uchar rowBytes[4] = { uchar(rows), uchar(rows >> 8), uchar(rows >> 16),
                                uchar(rows >> 24) };
    const uchar columnBytes[4] = { uchar(columns), uchar(columns >> 8), uchar(columns >> 16),
                                   uchar(columns >> 24) };
    std::memcpy(bytes.data() + 344, rowBytes, 4);
    std::memcpy(bytes.data() + 348, columnBytes, 4);
    return bytes;
}

class DataFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_engine.SetDataDir(m_dir.path());
        QObject::connect(&m_engine, &CImgJoinEngine::errorOccurred,
                         [this](const QString& message) { m_errors << message; });
    }

    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    QString settingsPath() const { return m_engine.settingsFile(); }
    QString handOverPath() const { return m_engine.printInfoFile(); }
    QString joinedPath() const { return path(QStringLiteral("qznPrtJoinImg123.png")); }

    void writeHandOver(char status, const QByteArray& name, qint32 rows, qint32 columns)
    {
        writeAll(handOverPath(), handOverBytes(status, m_dir.path(), name, rows, columns));
    }

    void saveTile(const QString& stem, int row, int column, const QImage& image)
    {
        TestPictures::save(image, path(stem + QStringLiteral("%1%2.png").arg(row).arg(column)));
    }

    QTemporaryDir m_dir;
    CImgJoinEngine m_engine;
    QStringList m_errors;
};

// --- settings file ---------------------------------------------------------------

TEST_F(DataFilesTest, MissingSettingsFileIsCreatedWithDefaultBytes)
{
    m_engine.LoadSettings();
    const QByteArray bytes = readAll(settingsPath());
    ASSERT_EQ(bytes.size(), 1708);
    for (int i = 0; i < bytes.size(); ++i) {
        char expected = '\0';
        if (i == 0 || (i >= 1511 && i <= 1578))
            expected = ' ';
        else if (i == 1579)
            expected = 'G';
        ASSERT_EQ(bytes.at(i), expected) << "byte " << i;
    }
    EXPECT_EQ(m_engine.settings().bytes(), bytes);
    EXPECT_EQ(m_engine.HotKeyLetter(' '), 'G');
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(DataFilesTest, ShortSettingsFileFillsOnlyItsLength)
{
    QByteArray bytes(500, 'A');
    bytes[0] = '#';
    writeAll(settingsPath(), bytes);
    m_engine.LoadSettings();

    EXPECT_EQ(m_engine.settings().bytes().at(0), '#');
    EXPECT_EQ(m_engine.HotKeyLetter(' '), 'G');
    // The music folder runs from 387 to the end of the file, then the defaults' NUL.
    EXPECT_EQ(m_engine.GetSettingString(CImgJoinEngine::SettingMusicDir), QString(113, 'A'));
    EXPECT_EQ(m_engine.GetSettingString(CImgJoinEngine::SettingPhotoDir), QString());
    EXPECT_EQ(readAll(settingsPath()).size(), 500) << "loading must not rewrite the file";
}

TEST_F(DataFilesTest, HotKeyIsStoredAtOnceAndAskingWritesNothing)
{
    m_engine.LoadSettings();
    EXPECT_EQ(m_engine.HotKeyLetter('K'), 'K');
    EXPECT_EQ(readAll(settingsPath()).at(1579), 'K');

    ASSERT_TRUE(QFile::remove(settingsPath()));
    EXPECT_EQ(m_engine.HotKeyLetter(' '), 'K');
    EXPECT_FALSE(QFileInfo::exists(settingsPath())) << "asking must not write the file";
}

TEST_F(DataFilesTest, SettingTextsSurviveAReload)
{
    m_engine.LoadSettings();
    const QString joinDir = QStringLiteral("/图纸/拼接结果");
    const QString photoDir = QStringLiteral("/home/user/photos");
    const QString musicDir = QStringLiteral("/音乐/");
    EXPECT_TRUE(m_engine.SetSettingString(CImgJoinEngine::SettingJoinDir, joinDir));
    EXPECT_TRUE(m_engine.SetSettingString(CImgJoinEngine::SettingPhotoDir, photoDir));
    EXPECT_TRUE(m_engine.SetSettingString(CImgJoinEngine::SettingMusicDir, musicDir));

    const QByteArray bytes = readAll(settingsPath());
    const QByteArray encoded = joinDir.toLocal8Bit();
    EXPECT_EQ(bytes.mid(1119, encoded.size()), encoded);
    EXPECT_EQ(bytes.at(1119 + encoded.size()), '\0');

    CImgJoinEngine reloaded;
    reloaded.SetDataDir(m_dir.path());
    reloaded.LoadSettings();
    EXPECT_EQ(reloaded.GetSettingString(102), joinDir);
    EXPECT_EQ(reloaded.GetSettingString(103), photoDir);
    EXPECT_EQ(reloaded.GetSettingString(104), musicDir);
    EXPECT_EQ(reloaded.GetSettingString(101), QString());

    // A shorter text leaves nothing of the longer one behind.
    EXPECT_TRUE(m_engine.SetSettingString(CImgJoinEngine::SettingJoinDir, QStringLiteral("/a")));
    EXPECT_EQ(readAll(settingsPath()).mid(1119, 366), QByteArray("/a") + QByteArray(364, '\0'));
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(DataFilesTest, RefusedSettingTextsLeaveValueAndFileAlone)
{
    m_engine.LoadSettings();
    ASSERT_TRUE(m_engine.SetSettingString(103, QStringLiteral("/old")));
    const QByteArray before = readAll(settingsPath());

    // 365 bytes fit with their NUL; 366 do not.
    EXPECT_TRUE(m_engine.SetSettingString(104, QString(365, 'm')));
    EXPECT_EQ(m_engine.GetSettingString(104), QString(365, 'm'));
    EXPECT_EQ(readAll(settingsPath()).at(387 + 365), '\0');
    const QByteArray afterFit = readAll(settingsPath());

    m_errors.clear();
    EXPECT_FALSE(m_engine.SetSettingString(103, QString(366, 'x')));
    // 122 Chinese characters are 366 bytes in the local encoding.
    EXPECT_FALSE(m_engine.SetSettingString(103, QString(122, QChar(0x56FE))));
    EXPECT_FALSE(m_engine.SetSettingString(105, QStringLiteral("/unknown")));
    EXPECT_EQ(m_errors.size(), 3);
    EXPECT_EQ(m_engine.GetSettingString(103), QStringLiteral("/old"));
    EXPECT_EQ(m_engine.GetSettingString(105), QString());
    EXPECT_EQ(readAll(settingsPath()), afterFit);
    EXPECT_NE(before, afterFit);
}

TEST_F(DataFilesTest, ReservedBytesOfAnExistingFileSurviveARewrite)
{
    QByteArray original(1708, '\0');
    QRandomGenerator random(1708);
    for (char& byte : original)
        byte = char(random.bounded(1, 256));
    original[387 + 10] = '\0'; // the text fields end somewhere
    original[753 + 20] = '\0';
    original[1119 + 30] = '\0';
    writeAll(settingsPath(), original + QByteArray("trailing bytes are not part of the block"));
    m_engine.LoadSettings();

    ASSERT_TRUE(m_engine.SetSettingString(103, QStringLiteral("/photos")));
    ASSERT_EQ(m_engine.HotKeyLetter('Q'), 'Q');
    const QByteArray written = readAll(settingsPath());
    ASSERT_EQ(written.size(), 1708);
    for (int i = 0; i < 1708; ++i) {
        if ((i >= 753 && i < 753 + 366) || i == 1579)
            continue;
        ASSERT_EQ(written.at(i), original.at(i)) << "byte " << i;
    }
    EXPECT_EQ(written.mid(753, 8), QByteArray("/photos", 8));
    EXPECT_EQ(written.at(1579), 'Q');
}

TEST_F(DataFilesTest, SettingsFileIsReplacedWholeOrReportedAsFailed)
{
    m_engine.LoadSettings();
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(m_engine.SetSettingString(102, QStringLiteral("/dir%1").arg(i)));
    const QStringList left = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, QStringList{ QFileInfo(settingsPath()).fileName() });

    // A folder where the file should be cannot be replaced.
    ASSERT_TRUE(QFile::remove(settingsPath()));
    ASSERT_TRUE(QDir().mkdir(settingsPath()));
    m_errors.clear();
    EXPECT_FALSE(m_engine.SetSettingString(102, QStringLiteral("/dir")));
    EXPECT_FALSE(m_errors.isEmpty());
    EXPECT_TRUE(QFileInfo(settingsPath()).isDir());
}

// --- print-image hand-over ------------------------------------------------------

TEST_F(DataFilesTest, PendingTilesAreJoinedOnceAndMarkedTakenOver)
{
    const QColor colours[2][3] = { { Qt::red, Qt::green, Qt::blue },
                                   { Qt::cyan, Qt::magenta, Qt::yellow } };
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            saveTile("plan", row, column, TestPictures::solidPicture(40, 30, colours[row][column]));
    writeHandOver('Y', "plan", 2, 3);

    EXPECT_EQ(m_engine.HasPendingPrintImage(), 1);
    EXPECT_EQ(m_engine.TakePendingPrintImage(), 1);
    EXPECT_EQ(m_engine.GetOutputFile(), joinedPath());
    EXPECT_EQ(m_engine.outputOrigFile(), joinedPath());
    EXPECT_FALSE(m_engine.outputFitted());

    const QImage joined(joinedPath());
    ASSERT_EQ(joined.size(), QSize(120, 60));
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRgb expected = colours[row][column].rgb();
            EXPECT_EQ(joined.pixel(column * 40, row * 30), expected) << row << "," << column;
            EXPECT_EQ(joined.pixel(column * 40 + 39, row * 30 + 29), expected)
                << row << "," << column;
        }
    }
    const QByteArray handOver = readAll(handOverPath());
    EXPECT_EQ(handOver.size(), 352);
    EXPECT_EQ(handOver.at(0), 'y');
    EXPECT_EQ(handOver.mid(1), handOverBytes('Y', m_dir.path(), "plan", 2, 3).mid(1));
    EXPECT_TRUE(m_errors.isEmpty());

    // The next first paint finds the request done.
    ASSERT_TRUE(QFile::remove(joinedPath()));
    EXPECT_EQ(m_engine.HasPendingPrintImage(), 0);
    EXPECT_EQ(m_engine.TakePendingPrintImage(), 0);
    EXPECT_FALSE(QFileInfo::exists(joinedPath()));
    EXPECT_EQ(readAll(handOverPath()), handOver);
}

TEST_F(DataFilesTest, SingleNamedFileBecomesTheOutputPictureAsItIs)
{
    const QString plan = TestPictures::save(TestPictures::solidPicture(8, 8, Qt::red),
                                            path(QStringLiteral("plan.png")));
    const QByteArray planHash = TestPictures::fileHash(plan);
    writeHandOver('Y', "plan.png", 1, 1);

    EXPECT_EQ(m_engine.TakePendingPrintImage(), 1);
    EXPECT_EQ(m_engine.GetOutputFile(), plan);
    EXPECT_EQ(m_engine.outputOrigFile(), plan);
    EXPECT_FALSE(QFileInfo::exists(joinedPath()));
    EXPECT_EQ(TestPictures::fileHash(plan), planHash);
    EXPECT_EQ(readAll(handOverPath()).at(0), 'y');
}

TEST_F(DataFilesTest, RaiseRequestIsMarkedSeenOnceAndShortFileGrows)
{
    EXPECT_EQ(m_engine.HasPendingPrintImage(), 0);
    EXPECT_EQ(m_engine.TakePendingPrintImage(), 0);
    EXPECT_FALSE(QFileInfo::exists(handOverPath())) << "the hand-over file is never made here";

    const QByteArray full = handOverBytes('S', m_dir.path(), "plan", 1, 1);
    writeAll(handOverPath(), full.left(100));
    EXPECT_EQ(m_engine.HasPendingPrintImage(), 1);
    EXPECT_EQ(m_engine.TakePendingPrintImage(), 0);
    EXPECT_EQ(m_engine.GetOutputFile(), QString());

    const QByteArray written = readAll(handOverPath());
    ASSERT_EQ(written.size(), 352);
    EXPECT_EQ(written.at(0), 'x');
    EXPECT_EQ(written.mid(1, 99), full.mid(1, 99));
    EXPECT_EQ(written.mid(100), QByteArray(252, '\0'));

    // Any other status is left alone.
    EXPECT_EQ(m_engine.HasPendingPrintImage(), 0);
    EXPECT_EQ(m_engine.TakePendingPrintImage(), 0);
    EXPECT_EQ(readAll(handOverPath()), written);
}

TEST_F(DataFilesTest, FieldsWithoutTheirNulStopAtTheFieldEnd)
{
    const QByteArray name(77, 'n');
    saveTile(QString::fromLatin1(name), 0, 0, TestPictures::solidPicture(5, 5, Qt::blue));
    writeHandOver('Y', name, 1, 1);

    EXPECT_EQ(m_engine.TakePendingPrintImage(), 1) << m_errors.join('\n').toStdString();
    EXPECT_EQ(QImage(joinedPath()).size(), QSize(5, 5));

    PrintInfoBlock block;
    QByteArray bytes(352, 'd');
    block.fill(bytes);
    EXPECT_EQ(block.directory(), QString(266, 'd'));
    EXPECT_EQ(block.name(), QString(77, 'd'));
    EXPECT_EQ(block.rows(), 0x64646464);
}

TEST_F(DataFilesTest, InvalidRowsOrColumnsAreRefusedAndStayPending)
{
    saveTile("plan", 0, 0, TestPictures::solidPicture(5, 5, Qt::blue));
    const QList<QPair<int, int>> grids = { { 0, 1 }, { 100, 1 }, { 1, 100 }, { -1, 2 }, { 1, 0 } };
    for (const auto& [rows, columns] : grids) {
        writeHandOver('Y', "plan", rows, columns);
        const QByteArray before = readAll(handOverPath());
        m_errors.clear();
        EXPECT_EQ(m_engine.TakePendingPrintImage(), 0) << rows << "x" << columns;
        EXPECT_EQ(readAll(handOverPath()), before);
        EXPECT_EQ(m_errors.size(), 1);
        EXPECT_FALSE(QFileInfo::exists(joinedPath()));
        EXPECT_EQ(m_engine.GetOutputFile(), QString());
    }
}

TEST_F(DataFilesTest, FailedJoinLeavesOutputAndRequestAsTheyWere)
{
    const QString earlier = TestPictures::save(TestPictures::solidPicture(4, 4, Qt::red),
                                               path(QStringLiteral("earlier.png")));
    ASSERT_EQ(m_engine.StitchTiles(earlier, path("unused.png"), 1, 1, "PNG"), 100);

    // The destination cannot be written: a folder holds its name.
    saveTile("plan", 0, 0, TestPictures::solidPicture(5, 5, Qt::blue));
    saveTile("plan", 0, 1, TestPictures::solidPicture(5, 5, Qt::blue));
    ASSERT_TRUE(QDir().mkdir(joinedPath()));
    writeHandOver('Y', "plan", 1, 2);
    const QByteArray before = readAll(handOverPath());
    EXPECT_EQ(m_engine.TakePendingPrintImage(), 0);
    EXPECT_EQ(m_engine.GetOutputFile(), earlier);
    EXPECT_EQ(m_engine.outputOrigFile(), earlier);
    EXPECT_EQ(readAll(handOverPath()), before);
    EXPECT_EQ(m_errors.size(), 1);

    // The first tile cannot be read.
    ASSERT_TRUE(QDir().rmdir(joinedPath()));
    writeHandOver('Y', "missing", 1, 2);
    m_errors.clear();
    EXPECT_EQ(m_engine.TakePendingPrintImage(), 0);
    EXPECT_EQ(m_engine.GetOutputFile(), earlier);
    EXPECT_EQ(readAll(handOverPath()).at(0), 'Y');
    EXPECT_FALSE(QFileInfo::exists(joinedPath()));
    EXPECT_EQ(m_errors.size(), 1);
}

TEST_F(DataFilesTest, TilesKeepTheGridPitchAndDrawingOrder)
{
    // Tiles of random sizes, larger and smaller than the first, drawn one
    // after another with replacement, give the reference picture. Missing
    // tiles leave their cells transparent.
    const int rows = 4, columns = 5;
    const QSize pitch(23, 17);
    QImage reference(pitch.width() * columns, pitch.height() * rows, QImage::Format_ARGB32);
    reference.fill(Qt::transparent);
    QPainter painter(&reference);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    QRandomGenerator random(42);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            if ((row == 1 && column == 0) || (row + column > 0 && random.bounded(6) == 0))
                continue; // a missing tile
            const QSize size =
                (row + column == 0) ? pitch : QSize(random.bounded(1, 60), random.bounded(1, 45));
            const QImage tile = TestPictures::solidPicture(
                size.width(), size.height(), QColor::fromRgb(random.generate() | 0xFF000000));
            saveTile("g", row, column, tile);
            painter.drawImage(column * pitch.width(), row * pitch.height(), tile);
        }
    }
    painter.end();

    EXPECT_EQ(m_engine.StitchTiles(path("g"), joinedPath(), rows, columns, "PNG"),
              reference.width());
    EXPECT_EQ(QImage(joinedPath()).convertToFormat(QImage::Format_ARGB32), reference);
    EXPECT_EQ(m_errors.size(), 1) << "missing tiles are reported once";
    EXPECT_EQ(m_engine.GetOutputFile(), joinedPath());
}

TEST_F(DataFilesTest, SingleFileRepeatedOverAGridAndEncoderByFormat)
{
    const QString plan =
        TestPictures::save(TestPictures::coordinatePicture(6, 4), path(QStringLiteral("plan.bmp")));
    const QString destination = path(QStringLiteral("joined.out"));
    EXPECT_EQ(m_engine.StitchTiles(plan, destination, 2, 2, "bmp"), 12);
    EXPECT_EQ(readAll(destination).left(2), QByteArray("BM"));
    const QImage joined(destination);
    ASSERT_EQ(joined.size(), QSize(12, 8));
    EXPECT_EQ(joined.pixel(6 + 5, 4 + 3), qRgb(5, 3, 77));

    // A format no encoder serves falls back to PNG.
    EXPECT_EQ(m_engine.StitchTiles(plan, destination, 1, 2, "xyz"), 12);
    EXPECT_EQ(readAll(destination).mid(1, 3), QByteArray("PNG"));
}

TEST_F(DataFilesTest, OversizedJoinIsRefused)
{
    saveTile("huge", 0, 0, TestPictures::solidPicture(2000, 1000, Qt::red));
    EXPECT_EQ(m_engine.StitchTiles(path("huge"), joinedPath(), 99, 99, "PNG"), 0);
    EXPECT_EQ(m_errors.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(joinedPath()));
}

// --- temporary folder -----------------------------------------------------------

TEST_F(DataFilesTest, DeleteTempFilesRemovesOnlyFilesInsideTheFolder)
{
    const QDir temp(m_engine.tempDir());
    ASSERT_TRUE(m_engine.ensureTempDir());
    const QString outside = path(QStringLiteral("outside.txt"));
    const QString outsideDir = path(QStringLiteral("outsideDir"));
    writeAll(outside, "keep");
    ASSERT_TRUE(QDir().mkdir(outsideDir));
    writeAll(QDir(outsideDir).filePath("inner.txt"), "keep");

    for (int i = 0; i < 700; ++i)
        writeAll(temp.filePath(QStringLiteral("tmpClipWinPic_%1.png").arg(i)), "x");
    writeAll(temp.filePath(".hidden"), "x");
    ASSERT_TRUE(temp.mkdir("sub"));
    writeAll(temp.filePath("sub/nested.png"), "x");
    ASSERT_TRUE(QFile::link(outside, temp.filePath("fileLink")));
    ASSERT_TRUE(QFile::link(outsideDir, temp.filePath("dirLink")));
    ASSERT_TRUE(QFile::link(path("gone"), temp.filePath("danglingLink")));

    EXPECT_EQ(m_engine.DeleteTempFiles(), 700 + 5);
    EXPECT_EQ(temp.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
              (QStringList{ "dirLink", "sub" }));
    EXPECT_TRUE(QFileInfo::exists(temp.filePath("sub/nested.png")));
    EXPECT_EQ(readAll(outside), QByteArray("keep"));
    EXPECT_TRUE(QFileInfo::exists(QDir(outsideDir).filePath("inner.txt")));
}

TEST_F(DataFilesTest, DeleteTempFilesNeverReachesOutsideTheFolder)
{
    // No folder: nothing found, nothing made.
    const QStringList before =
        QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_EQ(m_engine.DeleteTempFiles(), 0);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);

    // The folder itself is a link to somewhere else: its files stay.
    const QString elsewhere = path(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().mkdir(elsewhere));
    writeAll(QDir(elsewhere).filePath("precious.dwg"), "keep");
    ASSERT_TRUE(QFile::link(elsewhere, m_engine.tempDir()));
    EXPECT_EQ(m_engine.DeleteTempFiles(), 0);
    EXPECT_TRUE(QFileInfo::exists(QDir(elsewhere).filePath("precious.dwg")));
    EXPECT_EQ(m_errors.size(), 1);
}

} // namespace

TEST_F(DataFilesTest, RequestIsMarkedTakenBeforeItsTilesAreStitched)
{
    // Tile 01 is missing: the stitch says so while it works, and by then the
    // request must already be marked, so that a crash in the stitch does not
    // bring the same request back at the next start.
    saveTile("plan", 0, 0, TestPictures::solidPicture(40, 30, Qt::red));
    writeHandOver('Y', "plan", 1, 2);
    QList<char> statusWhileStitching;
    QObject::connect(&m_engine, &CImgJoinEngine::errorOccurred,
                     [&] { statusWhileStitching << readAll(handOverPath()).at(0); });
    EXPECT_EQ(m_engine.TakePendingPrintImage(), 1);
    ASSERT_EQ(statusWhileStitching.size(), 1);
    EXPECT_EQ(statusWhileStitching.first(), 'y');
    EXPECT_EQ(readAll(handOverPath()).at(0), 'y');

    // A request whose stitch fails is pending again afterwards.
    ASSERT_TRUE(QFile::remove(path("plan00.png")));
    writeHandOver('Y', "plan", 1, 2);
    EXPECT_EQ(m_engine.TakePendingPrintImage(), 0);
    EXPECT_EQ(readAll(handOverPath()).at(0), 'Y');
}

#ifdef Q_OS_UNIX
TEST_F(DataFilesTest, AHandOverFileThatIsAPipeIsNotWaitedOn)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(handOverPath()).constData(), 0600), 0);
    EXPECT_EQ(m_engine.HasPendingPrintImage(), 0);
    EXPECT_EQ(m_engine.TakePendingPrintImage(), 0);
}
#endif
