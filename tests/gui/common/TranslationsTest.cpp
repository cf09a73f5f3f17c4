// The translations: complete, consistent with the English texts, and in use
// by a window made under a German locale.
#include "gui/common/Translations.h"

#include "core/compose/MemoryDefaults.h"
#include "gui/common/Strings.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

using namespace korvex;

namespace {

const QLocale german(QLocale::German, QLocale::Germany);

std::multiset<QString> placeholders(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%\\d"));
    std::multiset<QString> found;
    for (const auto& match : marker.globalMatch(text))
        found.insert(match.captured());
    return found;
}

// The accelerator letter of a menu text ("Speichern &unter" -> 'u'); null for none.
QChar accelerator(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toLower();
        ++i;  // "&&" is a plain ampersand
    }
    return {};
}

// Every item of a menu (or the menu bar) has an accelerator of its own within
// it, and so within each submenu; returns the clashes found.
QStringList acceleratorClashes(const QList<QAction*>& items)
{
    QStringList clashes;
    std::map<QChar, QString> taken;
    for (const QAction* item : items) {
        const QChar letter = accelerator(item->text());
        if (!letter.isNull()) {
            const auto [at, fresh] = taken.emplace(letter, item->text());
            if (!fresh)
                clashes << at->second + QStringLiteral(" / ") + item->text();
        }
        if (item->menu())
            clashes << acceleratorClashes(item->menu()->actions());
    }
    return clashes;
}

}  // namespace

TEST(Translations, GermanHasEveryTextWithItsPlaceholdersAndAccelerator)
{
    QTranslator translator;
    ASSERT_TRUE(translator.load(QStringLiteral(":/i18n/korvex_de.qm")));
    QStringList missing;
    for (const auto& [key, english] : englishStrings()) {
        const QString source = QString::fromUtf8(english);
        const QString text = translator.translate(translationContext, english, key.data());
        if (text.isEmpty()) {
            missing << QString::fromUtf8(key.data(), qsizetype(key.size()));
            continue;
        }
        const QString where = QString::fromUtf8(key.data(), qsizetype(key.size())) + QStringLiteral(": ") + text;
        EXPECT_EQ(placeholders(text), placeholders(source)) << where.toStdString();
        // A menu item keeps a keyboard accelerator, and gets one only where the English has one.
        EXPECT_EQ(accelerator(text).isNull(), accelerator(source).isNull()) << where.toStdString();
    }
    EXPECT_TRUE(missing.isEmpty()) << "no German text (run scripts/update-translations, then translate): "
                                   << missing.join(QStringLiteral(", ")).toStdString();
}

TEST(Translations, EnglishIsTheSourceTextItself)
{
    const Translations english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_FALSE(english.hasOwnTexts());
    for (const auto& [key, text] : englishStrings())
        EXPECT_EQ(localizedString(key), QString::fromUtf8(text)) << key;
    EXPECT_EQ(localizedString("NoSuchKey"), QStringLiteral("NoSuchKey"));
}

TEST(Translations, AGermanWindowHasGermanMenusWithoutClashingAccelerators)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
    MemoryDefaults defaults;
    DocumentController controller(defaults);
    {
        const Translations translations(german);
        ASSERT_TRUE(translations.hasOwnTexts());
        EXPECT_EQ(localizedString("MenuSaveAs"), QStringLiteral("Speichern &unter \u2026"));
        MyDocument* document = controller.openUntitledDocument(false);
        QStringList titles;
        for (const QAction* menu : document->menuBar()->actions())
            titles << menu->text();
        EXPECT_TRUE(titles.contains(QStringLiteral("&Datei"))) << titles.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(titles.contains(QStringLiteral("&Ansicht")));
        EXPECT_EQ(acceleratorClashes(document->menuBar()->actions()), QStringList());
        document->closeWithoutAsking();
    }
    // Gone with the translations.
    EXPECT_EQ(localizedString("MenuSaveAs"), QStringLiteral("Save &As..."));
}

TEST(Translations, GermanStandardButtonsComeFromQt)
{
    const QString qtGerman = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm");
    if (!QFileInfo::exists(qtGerman))
        GTEST_SKIP() << "Qt's German translations are not installed (Debian: qt6-translations-l10n)";
    const Translations translations(german);
    EXPECT_TRUE(translations.hasQtTexts());
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
}
