#include "gui/app/SettingsDefaults.h"

namespace korvex {

namespace {
QString keyString(std::string_view key)
{
    return QString::fromUtf8(key.data(), qsizetype(key.size()));
}
}  // namespace

std::optional<int> SettingsDefaults::integerForKey(std::string_view key) const
{
    const QVariant value = settings_.value(keyString(key));
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

std::optional<bool> SettingsDefaults::boolForKey(std::string_view key) const
{
    const QVariant value = settings_.value(keyString(key));
    if (!value.isValid())
        return std::nullopt;
    return value.toBool();
}

void SettingsDefaults::setInteger(std::string_view key, int value)
{
    settings_.setValue(keyString(key), value);
}

void SettingsDefaults::setBool(std::string_view key, bool value)
{
    settings_.setValue(keyString(key), value);
}

}  // namespace korvex
