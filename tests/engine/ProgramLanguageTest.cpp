#include "ProgramLanguage.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using Language = ProgramLanguage::Language;

namespace {

QString translated(const char* context, const char* text)
{
    return QCoreApplication::translate(context, text);
}

const char* const QuitText = "退出(&X)";

// One message of a translation file.
struct Message
{
    QString context;
    QString source;
    QString translation;
    bool finished = true;
};

QList<Message> messagesOf(const QString& path)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            message = Message();
            message.context = context;
        } else if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            message.translation = xml.readElementText();
            messages.append(message);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return messages;
}

// The %1, %2... a text fills in, each once.
QSet<QString> placeholdersOf(const QString& text)
{
    static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
    QSet<QString> found;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(text))
        found.insert(match.captured());
    return found;
}

// The accelerator marks of a menu text; "&&" is a plain ampersand.
int acceleratorsIn(QString text)
{
    return int(text.remove(QStringLiteral("&&")).count(QLatin1Char('&')));
}

bool hasChinese(const QString& text)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return text.contains(han);
}

} // namespace

TEST(ProgramLanguage, ChineseForChineseUsersAndForNoLanguageEnglishForOthers)
{
    EXPECT_EQ(ProgramLanguage::choose(QLocale(QStringLiteral("zh_CN"))), Language::Chinese);
    // Traditional script and other regions read the program's simplified
    // texts more easily than English.
    EXPECT_EQ(ProgramLanguage::choose(QLocale(QStringLiteral("zh_TW"))), Language::Chinese);
    EXPECT_EQ(ProgramLanguage::choose(QLocale(QStringLiteral("zh_HK"))), Language::Chinese);
    EXPECT_EQ(ProgramLanguage::choose(QLocale(QStringLiteral("en_US"))), Language::English);
    EXPECT_EQ(ProgramLanguage::choose(QLocale(QStringLiteral("en_GB"))), Language::English);
    EXPECT_EQ(ProgramLanguage::choose(QLocale(QStringLiteral("de_DE"))), Language::English);
    EXPECT_EQ(ProgramLanguage::choose(QLocale(QStringLiteral("ja_JP"))), Language::English);
    // The C locale names no language: the program's own.
    EXPECT_EQ(ProgramLanguage::choose(QLocale::c()), Language::Chinese);
    EXPECT_EQ(ProgramLanguage::choose(QStringList()), Language::Chinese);

    // The first of Chinese and English in the user's order wins, past
    // languages the program does not speak.
    EXPECT_EQ(ProgramLanguage::choose(QStringList{ "de-DE", "de", "zh-Hans-CN", "en" }),
              Language::Chinese);
    EXPECT_EQ(ProgramLanguage::choose(QStringList{ "fr", "en-US", "zh-CN" }), Language::English);
    EXPECT_EQ(ProgramLanguage::choose(QStringList{ "ZH_cn" }), Language::Chinese);
    // "zhx" or "eng" are not Chinese or English.
    EXPECT_EQ(ProgramLanguage::choose(QStringList{ "zhx", "eng" }), Language::English);
}

TEST(ProgramLanguage, EnglishIsInstalledAndRemovedAgain)
{
    ASSERT_EQ(translated("CViewCommands", QuitText), QString::fromUtf8(QuitText));
    {
        ProgramLanguage language;
        ASSERT_EQ(language.install(Language::English), Language::English);
        EXPECT_EQ(translated("CViewCommands", QuitText), QStringLiteral("E&xit"));
        // English keeps Qt's own texts.
        EXPECT_TRUE(language.qtCatalogues().isEmpty());

        // Switching over leaves no English behind.
        ASSERT_EQ(language.install(Language::Chinese), Language::Chinese);
        EXPECT_EQ(translated("CViewCommands", QuitText), QString::fromUtf8(QuitText));
        ASSERT_EQ(language.install(Language::English), Language::English);
    }
    EXPECT_EQ(translated("CViewCommands", QuitText), QString::fromUtf8(QuitText));
}

TEST(ProgramLanguage, MissingQtTranslationsLeaveTheProgramInChinese)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    ProgramLanguage language;
    language.setQtTranslationsDir(empty.path());
    EXPECT_EQ(language.install(Language::Chinese), Language::Chinese);
    EXPECT_TRUE(language.qtCatalogues().isEmpty());
    EXPECT_EQ(translated("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    EXPECT_EQ(translated("CViewCommands", QuitText), QString::fromUtf8(QuitText));
}

// The translation file as the repository holds it: every text has a finished
// translation that fills in the same placeholders and keeps one accelerator
// where the source has one, and no English text is left in Chinese.
TEST(ProgramLanguage, EveryEnglishTextIsFinishedAndFillsTheSamePlaceholders)
{
    const QList<Message> messages = messagesOf(QStringLiteral(JOIN_ENGLISH_TS));
    ASSERT_GT(messages.size(), 100);
    for (const Message& message : messages) {
        const std::string where =
            message.context.toStdString() + ": " + message.source.toStdString();
        EXPECT_TRUE(message.finished) << where;
        EXPECT_FALSE(message.translation.trimmed().isEmpty()) << where;
        EXPECT_FALSE(hasChinese(message.translation)) << where;
        EXPECT_EQ(placeholdersOf(message.translation), placeholdersOf(message.source)) << where;
        EXPECT_EQ(acceleratorsIn(message.translation), acceleratorsIn(message.source)) << where;
    }
}
