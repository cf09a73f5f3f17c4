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

std::optional<std::string> SettingsDefaults::stringForKey(std::string_view key) const
{
    const QVariant value = settings_.value(keyString(key));
    if (!value.isValid())
        return std::nullopt;
    return value.toString().toStdString();
}

void SettingsDefaults::setInteger(std::string_view key, int value)
{
    settings_.setValue(keyString(key), value);
}

void SettingsDefaults::setBool(std::string_view key, bool value)
{
    settings_.setValue(keyString(key), value);
}

void SettingsDefaults::setString(std::string_view key, std::string_view value)
{
    settings_.setValue(keyString(key), keyString(value));
}

}  // namespace korvex
