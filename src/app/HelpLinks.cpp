#include "HelpLinks.h"

#include "CommandIds.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace {

constexpr const char* ManualPage = "index.html";

} // namespace

HelpLinks::HelpLinks()
    : HelpLinks([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
}

HelpLinks::HelpLinks(Opener opener)
    : m_opener(std::move(opener))
{
}

QUrl HelpLinks::homePage()
{
    return QUrl(QStringLiteral(JOIN_HOME_PAGE));
}

QUrl HelpLinks::onlineManual()
{
    return QUrl(QStringLiteral(JOIN_ONLINE_MANUAL));
}

QUrl HelpLinks::manualDownload()
{
    return QUrl(QStringLiteral(JOIN_MANUAL_DOWNLOAD));
}

QString HelpLinks::homePageHost()
{
    return homePage().host();
}

QString HelpLinks::localManualFile(const QString& executableDir)
{
    const QStringList candidates = {
        QDir(executableDir)
            .filePath(QStringLiteral("../" JOIN_MANUAL_INSTALL_DIR "/") + ManualPage),
        QDir(QStringLiteral(JOIN_MANUAL_SOURCE_DIR)).filePath(ManualPage),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

QString HelpLinks::open(int commandId, const QString& executableDir) const
{
    QUrl target;
    switch (commandId) {
        case CommandId::OnlineManual: target = onlineManual(); break;
        case CommandId::ManualDownload: target = manualDownload(); break;
        case CommandId::WebSite: target = homePage(); break;
        case CommandId::LocalManual: {
            const QString manual = localManualFile(executableDir);
            if (manual.isEmpty())
                return QCoreApplication::translate("HelpLinks", "找不到软件操作说明");
            target = QUrl::fromLocalFile(manual);
            break;
        }
        default: return {};
    }
    if (!m_opener(target))
        return QCoreApplication::translate("HelpLinks", "无法打开 %1")
            .arg(target.isLocalFile() ? QDir::toNativeSeparators(target.toLocalFile())
                                      : target.toString());
    return {};
}
