#pragma once

#include <QCoreApplication>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QTranslator;

// The language the program speaks. Its texts are written in Chinese and an
// English translation is built in. Chinese is spoken when the user's
// languages name Chinese (any script or region) before English, and when
// they name no language at all (the C locale); a list that names neither
// gets English, the one translation most other readers can follow. In
// Chinese, Qt's own dialogs and buttons are translated as well, from Qt's
// installed translation files; in English they keep Qt's own texts.
//
// An object installs its translators into the running application and
// removes them again when it goes; it must not outlive the application.
class ProgramLanguage
{
    Q_DECLARE_TR_FUNCTIONS(ProgramLanguage)

public:
    enum class Language
    {
        Chinese,
        English
    };

    // The language for the user's languages, most preferred first, as
    // QLocale::uiLanguages() lists them ("zh-CN", "en-US", "de"...).
    static Language choose(const QStringList& uiLanguages);
    static Language choose(const QLocale& locale);

    // Where the English translation lies among the program's resources.
    static QString englishCatalogue();

    ProgramLanguage();
    ~ProgramLanguage();
    ProgramLanguage(const ProgramLanguage&) = delete;
    ProgramLanguage& operator=(const ProgramLanguage&) = delete;

    // The folder of Qt's own translation files; Qt's installed ones unless
    // set before install().
    void setQtTranslationsDir(const QString& dir) { m_qtTranslationsDir = dir; }

    // Installs the translators for language in place of any this object
    // installed before, and returns the language the program now speaks:
    // Chinese when the English translation cannot be loaded.
    Language install(Language language);
    // install(choose(QLocale::system())).
    Language installForSystem();

    // The files of Qt's own translations now installed.
    QStringList qtCatalogues() const { return m_qtCatalogues; }

private:
    bool add(const QString& file);
    void removeAll();

    QString m_qtTranslationsDir;
    std::vector<std::unique_ptr<QTranslator>> m_translators;
    QStringList m_qtCatalogues;
};
