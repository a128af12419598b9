#include "settingoverrides.h"

#include "packparameters/idencoding.h"
#include "packparameters/settingranges.h"

namespace {

template <typename Field>
void store(const std::optional<int> &value, Field &field)
{
    if (value)
        field = Field(*value);
}

std::optional<QString> rangeProblem(const SettingRange &range, const std::optional<int> &value)
{
    if (!value || range.contains(*value))
        return std::nullopt;
    return QStringLiteral("%1 must be from %2 to %3, not %4.")
        .arg(QLatin1String(range.name))
        .arg(range.minimum)
        .arg(range.maximum)
        .arg(*value);
}

} // namespace

SettingOverrides SettingOverrides::overlaidBy(const SettingOverrides &other) const
{
    SettingOverrides result = *this;
    for (auto member : {&SettingOverrides::id, &SettingOverrides::rfPower, &SettingOverrides::startupVolume,
                        &SettingOverrides::micSensitivity, &SettingOverrides::sideTone, &SettingOverrides::pttSel})
        if (other.*member)
            result.*member = other.*member;
    return result;
}

bool SettingOverrides::hasBodypackOnlySettings() const
{
    return micSensitivity || sideTone || pttSel;
}

void SettingOverrides::applyTo(Body_cfg_params &record) const
{
    store(id, record.id);
    store(rfPower, record.rf_power);
    store(startupVolume, record.startup_volume);
    store(micSensitivity, record.mic_sensitivity);
    store(sideTone, record.side_tone);
    store(pttSel, record.ptt_sel);
}

void SettingOverrides::applyTo(Aircraft_cfg_params &record) const
{
    store(id, record.id);
    store(rfPower, record.rf_power);
    store(startupVolume, record.startup_volume);
}

SettingOverrides editableSettings(const Body_cfg_params &record)
{
    return {record.id, record.rf_power, record.startup_volume, record.mic_sensitivity, record.side_tone,
            record.ptt_sel};
}

SettingOverrides editableSettings(const Aircraft_cfg_params &record)
{
    return {record.id, record.rf_power, record.startup_volume, {}, {}, {}};
}

SettingOverrides fileSettings(const Body_cfg_params &record)
{
    SettingOverrides settings = editableSettings(record);
    settings.pttSel.reset();
    return settings;
}

SettingOverrides fileSettings(const Aircraft_cfg_params &record)
{
    return editableSettings(record);
}

std::optional<QString> settingsProblem(const SettingOverrides &settings)
{
    using namespace SettingRanges;
    for (const auto &problem : {rangeProblem(SettingRanges::id, settings.id), rangeProblem(rfPower, settings.rfPower),
                                rangeProblem(startupVolume, settings.startupVolume),
                                rangeProblem(sideTone, settings.sideTone),
                                rangeProblem(micSensitivity, settings.micSensitivity),
                                rangeProblem(pttSelection, settings.pttSel)})
        if (problem)
            return problem;
    if (settings.id)
        return unstorableIdMessage(*settings.id);
    return std::nullopt;
}
