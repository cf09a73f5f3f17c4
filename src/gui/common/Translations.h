#pragma once

#include <QTranslator>

class QLocale;

namespace korvex {

// The translations for a locale's languages, installed into the application
// while this lives: Korvex's own texts (embedded under :/i18n) and, where the
// system has them, Qt's own for the standard dialogs and buttons. English
// needs none: it is the source text. Make it before the first window.
class Translations {
public:
    explicit Translations(const QLocale& locale);

    // Whether Korvex's own texts were found for the locale.
    bool hasOwnTexts() const { return ownLoaded_; }
    bool hasQtTexts() const { return qtLoaded_; }

private:
    QTranslator own_;
    QTranslator qt_;
    bool ownLoaded_ = false;
    bool qtLoaded_ = false;
};

}  // namespace korvex
