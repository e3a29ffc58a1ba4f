#include "CProjectDirDlg.h"
#include "ImagingTestSupport.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

class CProjectDirDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void openingSelectsTheOpenFolderWithoutTakingIt();
    void treeGrowsFromTheRootAndOpensAtHome();
    void openFolderStaysInSightWhileTheFoldersAroundItAreListed();
    void treeListsFoldersOnlySortedAndFillsThemWhenOpened();
    void selectedFolderIsReturned();
    void defaultButtonReturnsTheProgramDirectory();
    void createMakesASubFolderOfTheSelectedOne();
    void createFailureSaysSoAndKeepsTheDialogOpen();
    void oneTreeHoldsTheFoldersAboveAndBeside();

private:
    std::unique_ptr<CProjectDirDlg> openDialog(const QString& openFolder)
    {
        auto dialog =
            std::make_unique<CProjectDirDlg>(m_bench->path("program"), nullptr, openFolder);
        dialog->setPrompts(m_bench->prompts);
        dialog->show();
        return dialog;
    }
    QString folder(const QString& relative) const
    {
        return relative.isEmpty() ? m_bench->path("tree") : m_bench->path("tree/" + relative);
    }
    QStringList childNames(const QAbstractItemModel* model, const QModelIndex& parent) const
    {
        QStringList names;
        for (int i = 0; i < model->rowCount(parent); ++i)
            names << model->index(i, 0, parent).data().toString();
        return names;
    }
    // Selects a folder as the user would, once the tree has listed it.
    QModelIndex select(CProjectDirDlg& dialog, const QString& path)
    {
        QModelIndex index;
        [&] { QTRY_VERIFY((index = dialog.folderModel()->index(path)).isValid()); }();
        dialog.tree()->setCurrentIndex(index);
        return index;
    }

    std::unique_ptr<ImagingTestBench> m_bench;
};

void CProjectDirDlgTest::init()
{
    m_bench = std::make_unique<ImagingTestBench>();
    for (const char* path : { "tree/beta", "tree/alpha", "tree/gamma/inner", "program" })
        QVERIFY(QDir().mkpath(m_bench->path(path)));
    QFile file(m_bench->path("tree/notes.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void CProjectDirDlgTest::openingSelectsTheOpenFolderWithoutTakingIt()
{
    auto dialog = openDialog(folder(""));
    const QModelIndex first = dialog->folderModel()->index(folder(""));
    QCOMPARE(dialog->tree()->currentIndex(), first);
    QVERIFY(dialog->tree()->isExpanded(first));
    QCOMPARE(dialog->path(), QDir::homePath());
    QCOMPARE(dialog->windowTitle(), QDir::toNativeSeparators(QDir::homePath()));

    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->path(), QDir::homePath());
}

// As the program opens it: the whole file system under its root, open at
// the home folder with every folder above it expanded.
void CProjectDirDlgTest::treeGrowsFromTheRootAndOpensAtHome()
{
    CProjectDirDlg dialog(m_bench->path("program"));
    dialog.show();
    QFileSystemModel* model = dialog.folderModel();
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->filePath(model->index(0, 0)), QDir::rootPath());
    const QModelIndex home = model->index(QDir::homePath());
    QCOMPARE(dialog.tree()->currentIndex(), home);
    for (QModelIndex at = home; at.isValid(); at = at.parent())
        QVERIFY2(dialog.tree()->isExpanded(at), qPrintable(model->filePath(at)));
    QCOMPARE(dialog.path(), QDir::homePath());
    QCOMPARE(dialog.windowTitle(), QDir::toNativeSeparators(QDir::homePath()));

    // A folder that is not there opens the tree at the root, and the user's
    // first choice still counts.
    CProjectDirDlg lost(m_bench->path("program"), nullptr, folder("missing"));
    lost.setPrompts(m_bench->prompts);
    lost.show();
    QCOMPARE(lost.tree()->currentIndex(), lost.folderModel()->index(QDir::rootPath()));
    select(lost, folder("beta"));
    QCOMPARE(lost.path(), folder("beta"));
}

void CProjectDirDlgTest::openFolderStaysInSightWhileTheFoldersAroundItAreListed()
{
    for (int i = 0; i < 80; ++i)
        QVERIFY(QDir().mkpath(folder(QStringLiteral("many%1").arg(i, 2, 10, QLatin1Char('0')))));
    QVERIFY(QDir().mkpath(folder("zz/last")));
    auto dialog = openDialog(folder("zz"));
    QFileSystemModel* model = dialog->folderModel();
    QTRY_COMPARE(model->rowCount(model->index(folder(""))), 84);
    QTRY_COMPARE(model->rowCount(model->index(folder("zz"))), 1);
    QTRY_COMPARE(model->index(folder("zz")).row(), 83); // sorted below the others
    const QModelIndex open = model->index(folder("zz"));
    QCOMPARE(dialog->tree()->currentIndex(), open);
    QTreeView* tree = dialog->tree();
    QTRY_VERIFY(tree->viewport()->rect().contains(tree->visualRect(open)));

    // Once the user has moved the scroll bar, the tree stays where it is put.
    tree->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    QVERIFY(QDir().mkpath(folder("aaa")));
    QTRY_COMPARE(model->rowCount(model->index(folder(""))), 85);
    QTRY_COMPARE(model->index(folder("aaa")).row(), 0);
    QCOMPARE(tree->verticalScrollBar()->value(), 0);
}

void CProjectDirDlgTest::treeListsFoldersOnlySortedAndFillsThemWhenOpened()
{
    auto dialog = openDialog(folder(""));
    QFileSystemModel* model = dialog->folderModel();
    const QModelIndex top = model->index(folder(""));
    QCOMPARE(model->filePath(top), folder(""));
    QTRY_COMPARE(childNames(model, top), (QStringList{ "alpha", "beta", "gamma" }));

    const QModelIndex gamma = model->index(2, 0, top);
    QVERIFY(model->hasChildren(gamma));
    QCOMPARE(model->rowCount(gamma), 0); // not listed before it is opened
    dialog->tree()->expand(gamma);
    QTRY_COMPARE(childNames(model, gamma), QStringList{ "inner" });
    QCOMPARE(model->filePath(model->index(0, 0, gamma)), folder("gamma/inner"));

    // Folders made while the dialog is open show up in their place.
    QVERIFY(QDir().mkdir(folder("beta2")));
    QTRY_COMPARE(childNames(model, top), (QStringList{ "alpha", "beta", "beta2", "gamma" }));
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void CProjectDirDlgTest::selectedFolderIsReturned()
{
    auto dialog = openDialog(folder(""));
    select(*dialog, folder("beta"));
    QCOMPARE(dialog->path(), folder("beta"));
    QCOMPARE(dialog->windowTitle(), QDir::toNativeSeparators(folder("beta")));
    select(*dialog, folder("alpha"));
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->path(), folder("alpha"));
}

void CProjectDirDlgTest::defaultButtonReturnsTheProgramDirectory()
{
    auto dialog = openDialog(folder(""));
    select(*dialog, folder("beta"));
    QTest::mouseClick(dialog->defaultButton(), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->path(), m_bench->path("program"));
}

void CProjectDirDlgTest::createMakesASubFolderOfTheSelectedOne()
{
    auto dialog = openDialog(folder(""));
    select(*dialog, folder("beta"));
    QCOMPARE(dialog->newNameEdit()->text(), QStringLiteral("2011我的图片"));
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    const QString made = folder(QStringLiteral("beta/2011我的图片"));
    QVERIFY(QFileInfo(made).isDir());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->path(), made);
    QVERIFY(m_bench->messages.isEmpty());
}

void CProjectDirDlgTest::createFailureSaysSoAndKeepsTheDialogOpen()
{
    auto dialog = openDialog(folder(""));
    select(*dialog, folder("gamma"));
    for (const QString& name : { QStringLiteral("inner"), QStringLiteral("../escape") }) {
        m_bench->messages.clear();
        dialog->newNameEdit()->setText(name);
        QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QCOMPARE(m_bench->messages.size(), 1);
        QVERIFY(m_bench->messages.first().contains(
            QStringLiteral("创建 < %1 > 目录失败!")
                .arg(QDir::toNativeSeparators(folder("gamma/" + name)))));
        QCOMPARE(dialog->path(), folder("gamma"));
    }
    QVERIFY(!QFileInfo::exists(folder("escape")));
}

// The open folder's parents and siblings are in the same tree as it, and
// every folder has one place in it.
void CProjectDirDlgTest::oneTreeHoldsTheFoldersAboveAndBeside()
{
    auto dialog = openDialog(folder("gamma"));
    QFileSystemModel* model = dialog->folderModel();
    QCOMPARE(model->rowCount(), 1);
    const QPersistentModelIndex gamma = model->index(folder("gamma"));
    QCOMPARE(model->filePath(gamma), folder("gamma"));
    QVERIFY(dialog->tree()->isExpanded(gamma));
    QTRY_COMPARE(childNames(model, gamma), QStringList{ "inner" });
    const QPersistentModelIndex inner = model->index(0, 0, gamma);
    QCOMPARE(model->parent(inner), QModelIndex(gamma));
    QCOMPARE(model->index(folder("gamma/inner")), QModelIndex(inner));
    QCOMPARE(model->parent(gamma), model->index(folder("")));
    QTRY_COMPARE(childNames(model, model->index(folder(""))),
                 (QStringList{ "alpha", "beta", "gamma" }));
    QModelIndex top = model->index(folder("gamma"));
    while (top.parent().isValid())
        top = top.parent();
    QCOMPARE(model->filePath(top), QDir::rootPath());
    QVERIFY(!model->index(folder("missing")).isValid());
}

QTEST_MAIN(CProjectDirDlgTest)
#include "CProjectDirDlgTest.moc"
