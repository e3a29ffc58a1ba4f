#include "CSaveJoinDlg.h"

#include "CProgressDlg.h"

#include "CImgJoinEngine.h"
#include "CProjectDirDlg.h"
#include "ImageCodec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Saves quicker than this show no progress box.
constexpr int ProgressBoxDelayMs = 300;

constexpr qint64 KiB = 1024;
constexpr qint64 MiB = 1024 * KiB;

} // namespace

QString CSaveJoinDlg::s_saveDir;
// Empty until a save in the variant succeeds: the run's first names stand in.
QString CSaveJoinDlg::s_joinedName;
QString CSaveJoinDlg::s_outputName;

CSaveJoinDlg::CSaveJoinDlg(CImgJoinEngine& engine, int variant, QWidget* parent)
    : QDialog(parent)
    , m_engine(engine)
    , m_variant(variant)
    , m_chooseFolder([this](QWidget* owner) {
        CProjectDirDlg dialog(m_engine.dataDir(), owner);
        dialog.setPrompts(m_prompts);
        return dialog.exec() == QDialog::Accepted ? dialog.path() : QString();
    })
{
    buildControls();
    s_saveDir = m_engine.GetSettingString(CImgJoinEngine::SettingJoinDir);
    if (s_saveDir.isEmpty())
        s_saveDir = m_engine.dataDir();
    m_folderLabel->setText(QDir::toNativeSeparators(s_saveDir));
    m_nameEdit->setText(m_variant == VariantOutput ? outputName() : joinedName());
    if (m_variant == VariantOutput) {
        m_autoClearBox->hide();
        setWindowTitle(tr("另存打印输出算量图"));
    } else {
        setWindowTitle(tr("保存拼接图片"));
    }
}

QString CSaveJoinDlg::joinedName()
{
    return s_joinedName.isEmpty() ? tr("拼接图片名1") : s_joinedName;
}

QString CSaveJoinDlg::outputName()
{
    return s_outputName.isEmpty() ? tr("打印输出算量图1") : s_outputName;
}

void CSaveJoinDlg::resetRemembered()
{
    s_saveDir.clear();
    s_joinedName.clear();
    s_outputName.clear();
}

QString CSaveJoinDlg::savedMessage(const QString& path, qint64 bytes)
{
    // Below a megabyte in whole kilobytes, above it in tenths of megabytes.
    const QString size = bytes < MiB ? tr("%1 KB").arg(qMax(qint64(1), (bytes + KiB / 2) / KiB))
                                     : tr("%1 MB").arg(double(bytes) / double(MiB), 0, 'f', 1);
    return tr("已保存图片 %1，文件大小 %2。").arg(QDir::toNativeSeparators(path), size);
}

QString& CSaveJoinDlg::rememberedName() const
{
    return m_variant == VariantOutput ? s_outputName : s_joinedName;
}

void CSaveJoinDlg::buildControls()
{
    m_folderButton = new QPushButton(tr("文件目录"), this);
    m_folderButton->setAutoDefault(false);
    m_folderLabel = new QLabel(this);
    m_folderLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_nameEdit = new QLineEdit(this);
    m_formatCombo = new QComboBox(this);
    m_formatCombo->setEditable(true);
    m_formatCombo->addItems({ QStringLiteral("BMP"), QStringLiteral("GIF"), QStringLiteral("JPG"),
                              QStringLiteral("PNG") });
    m_formatCombo->setCurrentText(QStringLiteral("JPG"));
    m_autoClearBox = new QCheckBox(tr("自动清除用于拼接的图片"), this);
    m_autoClearBox->setChecked(true);
    m_saveButton = new QPushButton(tr("确认保存"), this);
    m_saveButton->setDefault(true);
    m_cancelButton = new QPushButton(tr("取 消"), this);
    m_cancelButton->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_folderButton, 0, 0);
    layout->addWidget(m_folderLabel, 0, 1, 1, 3);
    layout->addWidget(new QLabel(tr("拼接图片名:"), this), 1, 0);
    layout->addWidget(m_nameEdit, 1, 1, 1, 2);
    layout->addWidget(m_formatCombo, 1, 3);
    layout->addWidget(m_saveButton, 2, 0);
    layout->addWidget(m_autoClearBox, 2, 1, Qt::AlignHCenter);
    layout->addWidget(m_cancelButton, 2, 3);
    layout->setColumnStretch(1, 1);
    setMinimumWidth(480);

    connect(m_folderButton, &QPushButton::clicked, this, &CSaveJoinDlg::chooseFolder);
    connect(m_saveButton, &QPushButton::clicked, this, &CSaveJoinDlg::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString CSaveJoinDlg::targetPath() const
{
    const QString file = m_nameEdit->text() + QLatin1Char('.') + m_formatCombo->currentText();
    return QDir(s_saveDir).filePath(file);
}

void CSaveJoinDlg::chooseFolder()
{
    const QString folder = m_chooseFolder ? m_chooseFolder(this) : QString();
    if (folder.isEmpty())
        return;
    s_saveDir = folder;
    m_folderLabel->setText(QDir::toNativeSeparators(folder));
    QStringList errors;
    const auto connection = connect(&m_engine, &CImgJoinEngine::errorOccurred, this,
                                    [&errors](const QString& message) { errors << message; });
    const bool stored = m_engine.SetSettingString(CImgJoinEngine::SettingJoinDir, folder);
    disconnect(connection);
    if (!stored)
        m_prompts.tell(this, tr("文件目录"),
                       tr("这个目录只在本次运行中使用, 无法记入设置:\n%1").arg(errors.join('\n')));
}

bool CSaveJoinDlg::checkInput()
{
    const QString name = m_nameEdit->text();
    QString problem;
    if (name.trimmed().isEmpty())
        problem = tr("请输入图片名。");
    else if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        problem = tr("图片名不能包含路径分隔符 / 或 \\。");
    bool served = false;
    ImageCodec::formatForSuffix(m_formatCombo->currentText(), &served);
    if (problem.isEmpty() && !served)
        problem = tr("不能保存为 %1 格式, 请选择 BMP、GIF、JPG 或 PNG。")
                      .arg(m_formatCombo->currentText());
    if (problem.isEmpty())
        return true;
    m_prompts.tell(this, windowTitle(), problem);
    return false;
}

bool CSaveJoinDlg::writeFile(const QString& path)
{
    QStringList errors;
    const auto connection = connect(&m_engine, &CImgJoinEngine::errorOccurred, this,
                                    [&errors](const QString& message) { errors << message; });
    const QString format = m_formatCombo->currentText();
    const bool saved = m_variant == VariantOutput ? saveOutput(format, path, errors)
                                                  : saveJoined(format, path, errors);
    disconnect(connection);
    if (!saved) {
        if (errors.isEmpty())
            errors << tr("无法保存 %1").arg(QDir::toNativeSeparators(path));
        m_prompts.tell(this, tr("保存失败"), errors.join('\n'));
    }
    return saved;
}

bool CSaveJoinDlg::writeBehindBox(const std::function<IoStatus()>& write, const QString& busyText,
                                  QStringList& errors)
{
    // A large picture is encoded on a worker, so the window never stops answering.
    IoStatus outcome = IoStatus::failure(tr("图片没有保存"));
    CProgressDlg box([&] { outcome = write(); }, [&busyText] { return busyText; }, this);
    box.runDelayed(ProgressBoxDelayMs);
    if (outcome.ok())
        return true;
    errors << outcome.error;
    return false;
}

bool CSaveJoinDlg::saveJoined(const QString& format, const QString& path, QStringList& errors)
{
    // Composed and compressed band by band on a worker: the joined picture
    // is never held whole, and the window keeps answering.
    JoinSaveJob job = m_engine.beginJoinSave(format, path);
    if (!job.valid())
        return false; // the engine has said why
    writeBehindBox(
        [&job] {
            job.run();
            return ioDone(); // endJoinSave tells of a failure
        },
        tr("正在保存拼接图片..."), errors);
    return m_engine.endJoinSave(job);
}

bool CSaveJoinDlg::saveOutput(const QString& format, const QString& path, QStringList& errors)
{
    // A file already in the chosen format keeps its very bytes; another is
    // decoded and written in the chosen format.
    const ImageCodec::Format wanted = ImageCodec::formatForSuffix(format);
    if (ImageCodec::storedFormat(m_engine.GetOutputFile()) == wanted)
        return m_engine.CopyOutputPicture(path);
    const QImage picture = m_engine.GetOutputImage();
    if (picture.isNull())
        return false; // the engine has said why
    return writeBehindBox([&] { return ImageCodec::write(picture, path, wanted); },
                          tr("正在保存打印输出图片..."), errors);
}

void CSaveJoinDlg::accept()
{
    if (!checkInput())
        return;
    const QString path = targetPath();
    if (QFileInfo::exists(path) &&
        !m_prompts.ask(this, tr("特别提示"), tr("< %1 >已存在!是否更新?").arg(m_nameEdit->text())))
        return;
    if (!writeFile(path))
        return;
    emit fileSaved(path, QFileInfo(path).size());
    if (m_variant != VariantOutput && m_autoClearBox->isChecked())
        m_engine.ClearPictures();
    rememberedName() = m_nameEdit->text();
    QDialog::accept();
}
