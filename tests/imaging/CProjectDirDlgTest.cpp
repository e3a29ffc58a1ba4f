#include "CProjectDirDlg.h"
#include "FolderTreeModel.h"
#include "ImagingTestSupport.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

class CProjectDirDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void openingSelectsTheFirstFolderWithoutTakingIt();
    void treeListsFoldersOnlySortedAndFillsThemWhenOpened();
    void selectedFolderIsReturned();
    void defaultButtonReturnsTheProgramDirectory();
    void createMakesASubFolderOfTheSelectedOne();
    void createFailureSaysSoAndKeepsTheDialogOpen();
    void severalTopFoldersStandSideBySide();

private:
    std::unique_ptr<CProjectDirDlg> openDialog(const QStringList& roots)
    {
        auto dialog = std::make_unique<CProjectDirDlg>(m_bench->path("program"), nullptr, roots);
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
        [&] { QTRY_VERIFY((index = dialog.folderModel()->indexForPath(path)).isValid()); }();
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

void CProjectDirDlgTest::openingSelectsTheFirstFolderWithoutTakingIt()
{
    auto dialog = openDialog({ folder("") });
    const QModelIndex first = dialog->folderModel()->index(0, 0);
    QCOMPARE(dialog->tree()->currentIndex(), first);
    QVERIFY(dialog->tree()->isExpanded(first));
    QCOMPARE(dialog->path(), QDir::homePath());
    QCOMPARE(dialog->windowTitle(), QDir::toNativeSeparators(QDir::homePath()));

    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->path(), QDir::homePath());
}

void CProjectDirDlgTest::treeListsFoldersOnlySortedAndFillsThemWhenOpened()
{
    auto dialog = openDialog({ folder("") });
    FolderTreeModel* model = dialog->folderModel();
    const QModelIndex top = model->index(0, 0);
    QCOMPARE(top.data().toString(), QDir::toNativeSeparators(folder("")));
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
    auto dialog = openDialog({ folder("") });
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
    auto dialog = openDialog({ folder("") });
    select(*dialog, folder("beta"));
    QTest::mouseClick(dialog->defaultButton(), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->path(), m_bench->path("program"));
}

void CProjectDirDlgTest::createMakesASubFolderOfTheSelectedOne()
{
    auto dialog = openDialog({ folder("") });
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
    auto dialog = openDialog({ folder("") });
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

void CProjectDirDlgTest::severalTopFoldersStandSideBySide()
{
    auto dialog = openDialog({ folder("alpha"), folder("gamma") });
    FolderTreeModel* model = dialog->folderModel();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model->rowCount(), 2);
    const QModelIndex gamma = model->index(1, 0);
    QCOMPARE(gamma.data().toString(), QDir::toNativeSeparators(folder("gamma")));
    QVERIFY(!model->parent(gamma).isValid());
    dialog->tree()->expand(gamma);
    QTRY_COMPARE(childNames(model, gamma), QStringList{ "inner" });
    const QModelIndex inner = model->index(0, 0, gamma);
    QCOMPARE(model->parent(inner), gamma);
    QCOMPARE(model->indexForPath(folder("gamma/inner")), inner);
    QVERIFY(!model->indexForPath(folder("beta")).isValid());
}

QTEST_MAIN(CProjectDirDlgTest)
#include "CProjectDirDlgTest.moc"
