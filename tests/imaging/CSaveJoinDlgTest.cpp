#include "CSaveJoinDlg.h"
#include "CProjectDirDlg.h"
#include "ImagingTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class CSaveJoinDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void openingProposesTheRememberedNamesAndTheFolder();
    void joinedPictureIsWrittenInTheChosenFormatAndTheCanvasCleared();
    void existingFileIsOnlyReplacedAfterYes();
    void outputVariantCopiesAFileInTheChosenFormatByteForByte();
    void everyFormatChoiceOfBothVariantsWritesThatFormat();
    void aSaveTellsWhichFileItWroteAndItsSize();
    void badNamesAndFormatsAreRefusedWithAMessage();
    void failedSaveKeepsTheDialogOpenAndTheNamesUnchanged();
    void chosenFolderIsKeptInTheSettingsEvenAfterCancel();
    void folderDialogSpeaksThroughTheSamePrompts();

private:
    std::unique_ptr<CSaveJoinDlg> openDialog(int variant)
    {
        auto dialog = std::make_unique<CSaveJoinDlg>(m_bench->engine, variant);
        dialog->setPrompts(m_bench->prompts);
        dialog->show();
        return dialog;
    }
    void fill(CSaveJoinDlg& dialog, const QString& name, const QString& format)
    {
        dialog.nameEdit()->setText(name);
        dialog.formatCombo()->setCurrentText(format);
    }
    void addRedPicture()
    {
        m_bench->engine.addPlacedPicture(
            m_bench->savePicture(ImagingTestBench::solid(20, 10, Qt::red), "red.png"), 100, 50);
    }

    void enterOutput()
    {
        m_bench->engine.AddPicture(m_bench->savePicture(ImagingTestBench::solid(30, 30, Qt::blue),
                                                        QStringLiteral("blue.png")));
        QCOMPARE(m_bench->engine.EnterOutputMode(DisplayMode::Joining), 1);
    }
    static QByteArray head(const QString& file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.read(8) : QByteArray();
    }

    std::unique_ptr<ImagingTestBench> m_bench;
};

void CSaveJoinDlgTest::init()
{
    m_bench = std::make_unique<ImagingTestBench>();
    CSaveJoinDlg::resetRemembered();
}

void CSaveJoinDlgTest::openingProposesTheRememberedNamesAndTheFolder()
{
    auto joined = openDialog(CSaveJoinDlg::VariantJoined);
    QCOMPARE(joined->windowTitle(), QStringLiteral("保存拼接图片"));
    QCOMPARE(joined->nameEdit()->text(), QStringLiteral("拼接图片名1"));
    QCOMPARE(joined->formatCombo()->currentText(), QStringLiteral("JPG"));
    QVERIFY(joined->autoClearBox()->isVisible());
    QVERIFY(joined->autoClearBox()->isChecked());
    // No folder stored yet: the program directory.
    QCOMPARE(CSaveJoinDlg::saveDir(), m_bench->dir.path());
    QCOMPARE(joined->folderLabel()->text(), QDir::toNativeSeparators(m_bench->dir.path()));
    QCOMPARE(joined->targetPath(), m_bench->path(QStringLiteral("拼接图片名1.JPG")));

    auto output = openDialog(CSaveJoinDlg::VariantOutput);
    QCOMPARE(output->windowTitle(), QStringLiteral("另存打印输出算量图"));
    QCOMPARE(output->nameEdit()->text(), QStringLiteral("打印输出算量图1"));
    QVERIFY(!output->autoClearBox()->isVisible());
}

void CSaveJoinDlgTest::joinedPictureIsWrittenInTheChosenFormatAndTheCanvasCleared()
{
    addRedPicture();
    {
        auto dialog = openDialog(CSaveJoinDlg::VariantJoined);
        fill(*dialog, "plan", "png"); // typed in lower case: the file ends in png
        QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    }
    const QString file = m_bench->path("plan.png");
    QImageReader reader(file);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage saved = reader.read();
    QCOMPARE(saved.size(), QSize(20, 10));
    QCOMPARE(saved.pixel(5, 5), qRgb(255, 0, 0));
    QCOMPARE(m_bench->engine.GetPictureCount(), 0);
    QCOMPARE(CSaveJoinDlg::joinedName(), QStringLiteral("plan"));
    QCOMPARE(CSaveJoinDlg::outputName(), QStringLiteral("打印输出算量图1"));

    // The next dialog proposes the last name; without auto-clear the canvas stays.
    addRedPicture();
    auto again = openDialog(CSaveJoinDlg::VariantJoined);
    QCOMPARE(again->nameEdit()->text(), QStringLiteral("plan"));
    again->autoClearBox()->setChecked(false);
    fill(*again, "plan2", "BMP");
    QTest::mouseClick(again->saveButton(), Qt::LeftButton);
    QCOMPARE(QImageReader(m_bench->path("plan2.BMP")).format(), QByteArray("bmp"));
    QCOMPARE(m_bench->engine.GetPictureCount(), 1);
}

void CSaveJoinDlgTest::existingFileIsOnlyReplacedAfterYes()
{
    addRedPicture();
    const QString file = m_bench->path("plan.PNG");
    {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    auto dialog = openDialog(CSaveJoinDlg::VariantJoined);
    fill(*dialog, "plan", "PNG");
    m_bench->answer = false;
    QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
    QCOMPARE(m_bench->questions,
             QStringList{ QStringLiteral("特别提示|< plan >已存在!是否更新?") });
    QVERIFY(dialog->isVisible());
    QCOMPARE(ImagingTestBench::hashOf(file),
             QCryptographicHash::hash("old", QCryptographicHash::Sha1));
    QCOMPARE(CSaveJoinDlg::joinedName(), QStringLiteral("拼接图片名1"));
    QCOMPARE(m_bench->engine.GetPictureCount(), 1);

    m_bench->answer = true;
    QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(QImageReader(file).read().size(), QSize(20, 10));
}

void CSaveJoinDlgTest::outputVariantCopiesAFileInTheChosenFormatByteForByte()
{
    const QString source =
        m_bench->savePicture(ImagingTestBench::solid(30, 30, Qt::blue), "blue.png");
    m_bench->engine.AddPicture(source);
    QCOMPARE(m_bench->engine.EnterOutputMode(DisplayMode::Joining), 1);
    auto dialog = openDialog(CSaveJoinDlg::VariantOutput);
    fill(*dialog, "print", "PNG"); // the file is PNG already: only the name changes
    QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(ImagingTestBench::hashOf(m_bench->path("print.PNG")),
             ImagingTestBench::hashOf(source));
    QCOMPARE(CSaveJoinDlg::outputName(), QStringLiteral("print"));
    QCOMPARE(CSaveJoinDlg::joinedName(), QStringLiteral("拼接图片名1"));
}

void CSaveJoinDlgTest::everyFormatChoiceOfBothVariantsWritesThatFormat()
{
    const QList<QPair<QString, QByteArray>> formats = {
        { "BMP", "BM" }, { "GIF", "GIF8" }, { "JPG", "\xFF\xD8\xFF" }, { "PNG", "\x89PNG" }
    };
    QCOMPARE(openDialog(CSaveJoinDlg::VariantJoined)->formatCombo()->count(), formats.size());
    addRedPicture();
    for (const auto& [format, magic] : formats) {
        auto dialog = openDialog(CSaveJoinDlg::VariantJoined);
        dialog->autoClearBox()->setChecked(false);
        fill(*dialog, "joined", format);
        QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
        const QString file = m_bench->path("joined." + format);
        QVERIFY2(head(file).startsWith(magic), qPrintable(file));
        QCOMPARE(QImageReader(file).size(), QSize(20, 10));
    }
    enterOutput();
    for (const auto& [format, magic] : formats) {
        auto dialog = openDialog(CSaveJoinDlg::VariantOutput);
        fill(*dialog, "output", format);
        QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
        const QString file = m_bench->path("output." + format);
        QVERIFY2(head(file).startsWith(magic), qPrintable(file));
        const QImage saved = QImageReader(file).read();
        QCOMPARE(saved.size(), QSize(30, 30));
        const QRgb pixel = saved.pixel(7, 7);
        QVERIFY2(qBlue(pixel) >= 252 && qRed(pixel) <= 3 && qGreen(pixel) <= 3,
                 qPrintable(file)); // JPEG within a level or two
    }
    QCOMPARE(m_bench->messages, QStringList());
}

void CSaveJoinDlgTest::aSaveTellsWhichFileItWroteAndItsSize()
{
    addRedPicture();
    auto dialog = openDialog(CSaveJoinDlg::VariantJoined);
    QSignalSpy saved(dialog.get(), &CSaveJoinDlg::fileSaved);
    fill(*dialog, "told", "PNG");
    m_bench->answer = false; // a file in the way that is kept: nothing written, nothing told
    QFile blocker(m_bench->path("told.PNG"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
    QCOMPARE(saved.count(), 0);
    m_bench->answer = true;
    QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
    QCOMPARE(saved.count(), 1);
    const QString file = m_bench->path("told.PNG");
    QCOMPARE(saved.first().at(0).toString(), file);
    QCOMPARE(saved.first().at(1).toLongLong(), QFileInfo(file).size());
    QVERIFY(saved.first().at(1).toLongLong() > 0);

    // Whole kilobytes below a megabyte, tenths of megabytes above.
    const QString where = QDir::toNativeSeparators(file);
    QCOMPARE(CSaveJoinDlg::savedMessage(file, 1258291),
             QStringLiteral("已保存图片 %1，文件大小 1.2 MB。").arg(where));
    QVERIFY(CSaveJoinDlg::savedMessage(file, 356 * 1024).endsWith(QStringLiteral(" 356 KB。")));
    QVERIFY(CSaveJoinDlg::savedMessage(file, 100).endsWith(QStringLiteral(" 1 KB。")));
    QVERIFY(CSaveJoinDlg::savedMessage(file, 3000 * 1024 * 1024LL).contains("3000.0 MB"));
}

void CSaveJoinDlgTest::badNamesAndFormatsAreRefusedWithAMessage()
{
    addRedPicture();
    auto dialog = openDialog(CSaveJoinDlg::VariantJoined);
    const QList<QPair<QString, QString>> refused = { { "", "PNG" },         { "   ", "PNG" },
                                                     { "sub/plan", "PNG" }, { "sub\\plan", "PNG" },
                                                     { "plan", "TIF" },     { "plan", "" } };
    for (const auto& [name, format] : refused) {
        m_bench->messages.clear();
        fill(*dialog, name, format);
        QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
        QVERIFY2(dialog->isVisible(), qPrintable(name + "." + format));
        QCOMPARE(m_bench->messages.size(), 1);
    }
    QCOMPARE(QDir(m_bench->dir.path()).entryList({ "*plan*", ".PNG" }, QDir::Files), QStringList());
    QCOMPARE(m_bench->engine.GetPictureCount(), 1);
}

void CSaveJoinDlgTest::failedSaveKeepsTheDialogOpenAndTheNamesUnchanged()
{
    addRedPicture();
    QVERIFY(
        m_bench->engine.SetSettingString(CImgJoinEngine::SettingJoinDir, m_bench->path("gone")));
    auto dialog = openDialog(CSaveJoinDlg::VariantJoined);
    fill(*dialog, "plan", "PNG");
    QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QCOMPARE(m_bench->messages.size(), 1);
    QVERIFY(m_bench->messages.first().contains("gone"));
    QCOMPARE(m_bench->engine.GetPictureCount(), 1); // not cleared after a failure
    QCOMPARE(CSaveJoinDlg::joinedName(), QStringLiteral("拼接图片名1"));

    // The output variant when the output picture's file has gone.
    const QString source = m_bench->savePicture(ImagingTestBench::solid(4, 4, Qt::blue), "b.png");
    m_bench->engine.AddPicture(source);
    m_bench->engine.EnterOutputMode(DisplayMode::Joining);
    QFile::remove(source);
    QVERIFY(m_bench->engine.SetSettingString(CImgJoinEngine::SettingJoinDir, m_bench->dir.path()));
    auto output = openDialog(CSaveJoinDlg::VariantOutput);
    m_bench->messages.clear();
    QTest::mouseClick(output->saveButton(), Qt::LeftButton);
    QVERIFY(output->isVisible());
    QCOMPARE(m_bench->messages.size(), 1);
    QCOMPARE(CSaveJoinDlg::outputName(), QStringLiteral("打印输出算量图1"));
}

void CSaveJoinDlgTest::chosenFolderIsKeptInTheSettingsEvenAfterCancel()
{
    const QString folder = m_bench->path("drawings");
    QVERIFY(QDir().mkpath(folder));
    {
        auto dialog = openDialog(CSaveJoinDlg::VariantJoined);
        // The lambda hands out a copy of the test's folder, which it must not move from.
        dialog->setFolderChooser(
            [&](QWidget*) { return folder; }); // NOLINT(performance-no-automatic-move)
        QTest::mouseClick(dialog->folderButton(), Qt::LeftButton);
        QCOMPARE(dialog->folderLabel()->text(), QDir::toNativeSeparators(folder));
        QCOMPARE(dialog->targetPath(), QDir(folder).filePath(QStringLiteral("拼接图片名1.JPG")));
        // Choosing again and cancelling the folder dialog changes nothing.
        dialog->setFolderChooser([](QWidget*) { return QString(); });
        QTest::mouseClick(dialog->folderButton(), Qt::LeftButton);
        dialog->reject();
    }
    QCOMPARE(CSaveJoinDlg::saveDir(), folder);
    QCOMPARE(m_bench->engine.GetSettingString(CImgJoinEngine::SettingJoinDir), folder);

    // A new run reads the folder from the settings file.
    CImgJoinEngine next;
    next.SetDataDir(m_bench->dir.path());
    next.LoadSettings();
    CSaveJoinDlg::resetRemembered();
    CSaveJoinDlg reopened(next);
    QCOMPARE(reopened.folderLabel()->text(), QDir::toNativeSeparators(folder));
}

void CSaveJoinDlgTest::folderDialogSpeaksThroughTheSamePrompts()
{
    auto dialog = openDialog(CSaveJoinDlg::VariantJoined);
    bool folderDialogOpened = false;
    bool boxOpened = false;
    QTimer::singleShot(0, dialog.get(), [&] {
        auto* folders = qobject_cast<CProjectDirDlg*>(QApplication::activeModalWidget());
        folderDialogOpened = folders != nullptr;
        if (!folders)
            return;
        // A message that went around the prompts would open a box here.
        QTimer::singleShot(0, folders, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxOpened = true;
                box->done(0);
            }
        });
        folders->newNameEdit()->setText(QStringLiteral("a/b"));
        folders->createButton()->click();
        folders->reject();
    });
    QTest::mouseClick(dialog->folderButton(), Qt::LeftButton);
    QVERIFY(folderDialogOpened);
    QVERIFY(!boxOpened);
    QCOMPARE(m_bench->messages.size(), 1);
    QVERIFY(m_bench->messages.first().contains(QStringLiteral("目录失败")));
}

QTEST_MAIN(CSaveJoinDlgTest)
#include "CSaveJoinDlgTest.moc"
