#pragma once

#include "core/compose/UserDefaults.h"

#include <QSettings>

namespace korvex {

// The user defaults of the desktop program, kept by QSettings under the
// organisation and application name "Korvex".
class SettingsDefaults : public UserDefaults {
public:
    std::optional<int> integerForKey(std::string_view key) const override;
    std::optional<bool> boolForKey(std::string_view key) const override;
    std::optional<std::string> stringForKey(std::string_view key) const override;
    void setInteger(std::string_view key, int value) override;
    void setBool(std::string_view key, bool value) override;
    void setString(std::string_view key, std::string_view value) override;

private:
    mutable QSettings settings_;
};

}  // namespace korvex
