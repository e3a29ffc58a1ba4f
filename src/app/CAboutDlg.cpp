#include "CAboutDlg.h"

#include "CImgJoinEngine.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr char AskLetter = ' ';
constexpr int IconSize = 48;

} // namespace

CAboutDlg::CAboutDlg(CImgJoinEngine& engine, GlobalHotKey::State hotKeyState, QWidget* parent)
    : QDialog(parent)
    , m_engine(engine)
{
    setWindowTitle(tr("Lumo图片拼接及打印软件"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(IconSize, IconSize));
    icon->setAlignment(Qt::AlignTop);
    top->addWidget(icon);
    auto* description = new QLabel(descriptionLines().join(QLatin1Char('\n')), this);
    description->setObjectName(QStringLiteral("description"));
    top->addWidget(description, 1);
    layout->addLayout(top);

    auto* version =
        new QLabel(tr("版本 %1，使用 Qt %2 编译")
                       .arg(QStringLiteral(JOIN_VERSION), QStringLiteral(QT_VERSION_STR)),
                   this);
    version->setObjectName(QStringLiteral("version"));
    layout->addWidget(version);

    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(new QLabel(tr("截取屏幕热键(Ctrl+"), this));
    m_letterBox = new QComboBox(this);
    m_letterBox->setEditable(true);
    m_letterBox->setInsertPolicy(QComboBox::NoInsert);
    m_letterBox->addItems(letters());
    m_hotKey = QString(QChar::fromLatin1(m_engine.HotKeyLetter(AskLetter)));
    m_letterBox->setCurrentIndex(int(letters().indexOf(m_hotKey)));
    m_letterBox->setEditText(m_hotKey);
    keyRow->addWidget(m_letterBox);
    m_confirmButton = new QPushButton(tr("确认修改热键"), this);
    m_confirmButton->setEnabled(false);
    keyRow->addWidget(m_confirmButton);
    keyRow->addStretch(1);
    layout->addLayout(keyRow);

    m_noteLabel = new QLabel(hotKeyNote(hotKeyState), this);
    m_noteLabel->setWordWrap(true);
    m_noteLabel->setVisible(!m_noteLabel->text().isEmpty());
    layout->addWidget(m_noteLabel);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole);
    layout->addWidget(buttons);

    connect(m_letterBox, &QComboBox::activated, this, &CAboutDlg::chooseLetter);
    connect(m_confirmButton, &QPushButton::clicked, this, &CAboutDlg::confirmLetter);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

QStringList CAboutDlg::letters()
{
    QStringList list;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        list.append(QString(QChar::fromLatin1(letter)));
    list.append(QStringLiteral(","));
    return list;
}

QStringList CAboutDlg::descriptionLines()
{
    return { tr("这是一个专门面向工程应用的图片拼接及打印软件。拼接图片可以随意旋转，"),
             tr("拉伸，移动。可以通过“透明图片+窗口修剪”拼接图片，也可以用设置修剪线的"),
             tr("方式拼接图片，拼接图片可以保存为指定的格式。图片打印可以处理为彩色或是"),
             tr("黑白灰度方式。"),
             tr("软件可以在最小化时，用Ctrl+G热键截取屏幕图。软件也提供了背景音乐的播"),
             tr("放及摄像头的拍照功能。") };
}

QString CAboutDlg::hotKeyNote(GlobalHotKey::State state)
{
    switch (state) {
        case GlobalHotKey::State::Unavailable:
            return tr("这个桌面不提供全局热键，请用“控制设置”菜单或工具栏中的“截取屏幕”截图。");
        case GlobalHotKey::State::Taken:
            return tr("截取屏幕热键已被其他程序占用，请选择另一个字母，下次启动时生效。");
        default: return {};
    }
}

void CAboutDlg::chooseLetter(int index)
{
    m_hotKey = m_letterBox->itemText(index);
    m_letterBox->setEditText(m_hotKey);
    m_confirmButton->setEnabled(true);
}

void CAboutDlg::confirmLetter()
{
    if (!m_hotKey.isEmpty())
        m_engine.HotKeyLetter(m_hotKey.at(0).toLatin1());
    m_confirmButton->setEnabled(false);
}
