#include "FilterBackup.h"

#include <gtest/gtest.h>

namespace {

JoinPicture pictureOf(const QString& file)
{
    JoinPicture picture;
    picture.file = file;
    picture.state = JoinPicture::Measured;
    return picture;
}

} // namespace

TEST(FilterBackupTest, UndoPutsBackTheRecordOfThePictureThatShowsTheResult)
{
    QList<JoinPicture> pictures = { pictureOf("a.png"), pictureOf("b.png") };
    FilterBackup backup;
    EXPECT_EQ(backup.state(pictures), ' ');
    EXPECT_FALSE(backup.undo(pictures));

    JoinPicture before = pictures[1];
    before.angle = 90.0f;
    backup.remember(before, QStringLiteral("tmp.png"));
    EXPECT_EQ(backup.state(pictures), ' '); // no picture shows the result yet
    pictures[1].file = QStringLiteral("tmp.png");
    EXPECT_EQ(backup.state(pictures), JoinPicture::Measured);
    EXPECT_EQ(backup.pictureIndex(pictures), 1);

    // The picture moved to another layer: the copy follows it.
    std::swap(pictures[0], pictures[1]);
    ASSERT_TRUE(backup.undo(pictures));
    EXPECT_EQ(pictures[0].file, QStringLiteral("b.png"));
    EXPECT_EQ(pictures[0].angle, 90.0f);
    EXPECT_EQ(backup.state(pictures), ' '); // one level only
}

TEST(FilterBackupTest, NothingToUndoOnceThePictureLeftOrShowsAnotherFile)
{
    QList<JoinPicture> pictures = { pictureOf("tmp.png") };
    FilterBackup backup;
    backup.remember(pictureOf("a.png"), QStringLiteral("tmp.png"));
    pictures[0].file = QStringLiteral("clip.png"); // trimmed since
    EXPECT_EQ(backup.state(pictures), ' ');
    EXPECT_FALSE(backup.undo(pictures));
    EXPECT_EQ(pictures[0].file, QStringLiteral("clip.png"));
    pictures.clear();
    EXPECT_FALSE(backup.undo(pictures));
}
