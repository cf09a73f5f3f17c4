#pragma once

#include <QString>

#include <map>
#include <string_view>

namespace korvex {

// Every user-visible text, looked up by key in the application's string
// table and translated for the user's language (Translations.h). A key
// without an entry shows the key itself.
QString localizedString(std::string_view key);

// Key -> English text: the source of every translation.
const std::map<std::string_view, const char*, std::less<>>& englishStrings();

// The translation context of every text in the table.
inline constexpr const char* translationContext = "Korvex";

}  // namespace korvex
