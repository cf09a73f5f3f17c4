#include "gui/common/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

// Q_INIT_RESOURCE names a function in the global namespace.
static void initTranslationResources()
{
    Q_INIT_RESOURCE(translations);
}

namespace korvex {

namespace {

// QTranslator removes itself from the application when destroyed.
bool install(QTranslator& translator, const QLocale& locale, const QString& name, const QString& directory)
{
    if (!translator.load(locale, name, QStringLiteral("_"), directory))
        return false;
    QCoreApplication::installTranslator(&translator);
    return true;
}

}  // namespace

Translations::Translations(const QLocale& locale)
{
    initTranslationResources();
    qtLoaded_ = install(qt_, locale, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    // Installed last, so it is asked first.
    ownLoaded_ = install(own_, locale, QStringLiteral("korvex"), QStringLiteral(":/i18n"));
}

}  // namespace korvex
