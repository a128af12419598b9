#include "unitwrite.h"

#include "packparameters/packexchange.h"
#include "packparameters/versiontext.h"
#include "packtraits.h"

namespace {

using Outcome = UnitWriteResult::Outcome;

// write_params decides about the PTT selection from the version as the window
// shows it, so the raw version just read goes to it dotted.
Body_cfg_params forWrite(Body_cfg_params record)
{
    record.sv = dottedVersionText(record.sv).value_or(QString());
    return record;
}

const Aircraft_cfg_params &forWrite(const Aircraft_cfg_params &record)
{
    return record;
}

std::optional<QString> pttProblem(const Body_cfg_params &record, const SettingOverrides &settings)
{
    if (!settings.pttSel || pttTakesPart(record.sv, kRawVersionDigits))
        return std::nullopt;
    return QStringLiteral("software version %1 has no PTT control selection; leave out --ptt.")
        .arg(dottedVersionText(record.sv).value_or(record.sv));
}

std::optional<QString> pttProblem(const Aircraft_cfg_params &, const SettingOverrides &)
{
    return std::nullopt;
}

template <typename Record>
UnitWriteResult writeWhole(std::uint16_t device, const SettingOverrides &settings, Record &record)
{
    // Checked before they go into the record's 8-bit fields, where 300
    // would pass as 44.
    if (const auto problem = settingsProblem(settings))
        return {Outcome::Refused, *problem};
    typename PackTraits<Record>::Pack pack;
    Errortype error;
    pack.read_params(device, record, error);
    if (error.status)
        return {Outcome::Failed, error.message};
    if (const auto problem = pttProblem(record, settings))
        return {Outcome::Refused, *problem};
    settings.applyTo(record);
    if (const auto problem = settingsProblem(editableSettings(record)))
        return {Outcome::Refused, *problem};
    pack.write_params(device, forWrite(record), error);
    if (error.status)
        return {Outcome::Failed, error.message};
    return {Outcome::Written, {}};
}

} // namespace

UnitWriteResult writeUnit(std::uint16_t device, const SettingOverrides &settings, Body_cfg_params &record)
{
    return writeWhole(device, settings, record);
}

UnitWriteResult writeUnit(std::uint16_t device, const SettingOverrides &settings, Aircraft_cfg_params &record)
{
    return writeWhole(device, settings, record);
}
