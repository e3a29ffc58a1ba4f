#include "StartOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

StartOptions::Outcome StartOptions::parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("StartOptions", "Lumo图片拼接及打印软件"));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption dataDirOption(
        QStringLiteral("data-dir"),
        QCoreApplication::translate("StartOptions",
                                    "设置文件和临时文件夹放在 <文件夹> 中（没有时自动建立）。"),
        QCoreApplication::translate("StartOptions", "文件夹"));
    const QCommandLineOption userDataOption(
        QStringLiteral("user-data"),
        QCoreApplication::translate("StartOptions",
                                    "设置文件和临时文件夹放在本用户的程序数据文件夹中。"));
    parser.addOption(dataDirOption);
    parser.addOption(userDataOption);
    m_helpText = parser.helpText();

    if (!parser.parse(arguments)) {
        m_errorText = parser.errorText();
        return Outcome::Failed;
    }
    if (parser.isSet(helpOption))
        return Outcome::ShowHelp;
    if (!parser.positionalArguments().isEmpty()) {
        m_errorText = QCoreApplication::translate("StartOptions", "多余的参数: %1")
                          .arg(parser.positionalArguments().join(QLatin1Char(' ')));
        return Outcome::Failed;
    }
    if (parser.isSet(dataDirOption) && parser.isSet(userDataOption)) {
        m_errorText =
            QCoreApplication::translate("StartOptions", "--data-dir 和 --user-data 只能选一个");
        return Outcome::Failed;
    }

    m_dataDirChosen = true;
    if (parser.isSet(dataDirOption)) {
        const QString folder = parser.value(dataDirOption);
        if (folder.isEmpty()) {
            m_errorText = QCoreApplication::translate("StartOptions", "--data-dir 缺少文件夹");
            return Outcome::Failed;
        }
        m_dataDir = QDir(folder).absolutePath();
    } else if (parser.isSet(userDataOption)) {
        m_dataDir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    } else {
        m_dataDirChosen = false;
        m_dataDir = QDir::currentPath();
    }
    return Outcome::Run;
}

bool StartOptions::prepareDataDir()
{
    if (!m_dataDirChosen)
        return true;
    if (!QDir().mkpath(m_dataDir) || !QDir::setCurrent(m_dataDir)) {
        m_errorText = QCoreApplication::translate("StartOptions", "无法建立或进入数据文件夹 %1")
                          .arg(QDir::toNativeSeparators(m_dataDir));
        return false;
    }
    return true;
}
