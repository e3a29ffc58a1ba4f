#include "FileLinks.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

TEST(FileLinksTest, NamesOfAFileAreCountedThroughSymbolicLinks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = QDir(dir.path()).filePath("drawing.png");
    EXPECT_EQ(FileLinks::nameCount(file), 0); // not there yet
    QFile created(file);
    ASSERT_TRUE(created.open(QIODevice::WriteOnly));
    created.close();
    EXPECT_EQ(FileLinks::nameCount(file), 1);
#ifdef Q_OS_LINUX
    const QString second = QDir(dir.path()).filePath("second-name.png");
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(second).constData()),
              0);
    EXPECT_EQ(FileLinks::nameCount(file), 2);
    EXPECT_EQ(FileLinks::nameCount(second), 2);
    const QString symbolic = QDir(dir.path()).filePath("shortcut.png");
    ASSERT_TRUE(QFile::link(file, symbolic));
    EXPECT_EQ(FileLinks::nameCount(symbolic), 2); // the file it names, not the link
#endif
}
