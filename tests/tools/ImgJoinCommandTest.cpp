#include "ImgJoinCommand.h"
#include "TestPictures.h"

#include <QDir>
#include <QImageReader>
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
