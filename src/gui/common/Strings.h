#pragma once

#include <QString>

#include <string_view>

namespace korvex {

// Every user-visible text, looked up by key in the application's string
// table. A key without an entry shows the key itself.
QString localizedString(std::string_view key);

}  // namespace korvex
