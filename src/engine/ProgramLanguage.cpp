#include "ProgramLanguage.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <algorithm>

namespace {

// Qt's catalogues for the Chinese program, in the order they are searched:
// the base module's, then the collection that names the other modules'.
// Simplified Chinese throughout, the script of the program's own texts.
const QStringList QtChineseCatalogues = { QStringLiteral("qtbase_zh_CN.qm"),
                                          QStringLiteral("qt_zh_CN.qm") };

} // namespace

ProgramLanguage::Language ProgramLanguage::choose(const QStringList& uiLanguages)
{
    for (const QString& tag : uiLanguages) {
        const QString language =
            tag.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
        if (language.compare(QLatin1String("zh"), Qt::CaseInsensitive) == 0)
            return Language::Chinese;
        if (language.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0)
            return Language::English;
    }
    // No language at all: the program's own one.
    const bool none = std::all_of(uiLanguages.begin(), uiLanguages.end(), [](const QString& tag) {
        return tag.isEmpty() || tag == QLatin1String("C") || tag == QLatin1String("POSIX");
    });
    return none ? Language::Chinese : Language::English;
}

ProgramLanguage::Language ProgramLanguage::choose(const QLocale& locale)
{
    return choose(locale.uiLanguages());
}

QString ProgramLanguage::englishCatalogue()
{
    return QStringLiteral(":/i18n/qznImgSplitJoint_en.qm");
}

ProgramLanguage::ProgramLanguage()
    : m_qtTranslationsDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath))
{
}

ProgramLanguage::~ProgramLanguage()
{
    removeAll();
}

ProgramLanguage::Language ProgramLanguage::install(Language language)
{
    removeAll();
    if (language == Language::English) {
        if (add(englishCatalogue()))
            return Language::English;
        qWarning().noquote() << tr("无法装入英文翻译, 程序以中文显示。");
    }
    for (const QString& name : QtChineseCatalogues) {
        const QString file = QDir(m_qtTranslationsDir).filePath(name);
        if (QFileInfo::exists(file) && add(file))
            m_qtCatalogues.append(file);
    }
    return Language::Chinese;
}

ProgramLanguage::Language ProgramLanguage::installForSystem()
{
    return install(choose(QLocale::system()));
}

bool ProgramLanguage::add(const QString& file)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator.get()))
        return false;
    m_translators.push_back(std::move(translator));
    return true;
}

void ProgramLanguage::removeAll()
{
    for (const std::unique_ptr<QTranslator>& translator : m_translators)
        QCoreApplication::removeTranslator(translator.get());
    m_translators.clear();
    m_qtCatalogues.clear();
}
