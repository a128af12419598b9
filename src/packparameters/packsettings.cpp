#include "packsettings.h"

#include "idencoding.h"

bool PackSettings::any(std::span<const Setting> which) const
{
    for (const Setting setting : which)
        if (value(setting))
            return true;
    return false;
}

PackSettings PackSettings::overlaidBy(const PackSettings &other) const
{
    PackSettings result = *this;
    for (const SettingInfo &info : settings())
        if (const auto given = other.value(info.setting))
            result.set(info.setting, given);
    return result;
}

std::optional<QString> rangeProblem(Setting setting, int value)
{
    const SettingInfo &info = settingInfo(setting);
    if (info.contains(value))
        return std::nullopt;
    return QStringLiteral("%1 must be from %2 to %3, not %4.")
        .arg(qText(info.name))
        .arg(info.minimum)
        .arg(info.maximum)
        .arg(value);
}

std::optional<QString> settingsProblem(const PackSettings &settings)
{
    for (const SettingInfo &info : ::settings())
        if (const auto given = settings.value(info.setting))
            if (auto problem = rangeProblem(info.setting, *given))
                return problem;
    if (const auto id = settings.value(Setting::Id))
        return unstorableIdMessage(*id);
    return std::nullopt;
}
