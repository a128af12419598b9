#include "unitwrite.h"

#include "packparameters/packexchange.h"
#include "packparameters/packparameters.h"
#include "packparameters/versiontext.h"

namespace {

using Outcome = UnitWriteResult::Outcome;

// A setting that only newer units have, asked for on a unit too old for it.
std::optional<QString> versionProblem(PackKind kind, const QString &sv, const PackSettings &settings)
{
    if (versionedSettingsTakePart(sv, kRawVersionDigits))
        return std::nullopt;
    for (const Setting setting : packKind(kind).settings) {
        const SettingInfo &info = settingInfo(setting);
        if (info.versioned && settings.value(setting))
            return QStringLiteral("software version %1 has no %2 selection; leave out --%3.")
                .arg(dottedVersionText(sv).value_or(sv), qText(info.name), qText(info.option));
    }
    return std::nullopt;
}

} // namespace

UnitWriteResult writeUnit(std::uint16_t device, PackKind kind, const PackSettings &settings)
{
    return withRecordOf(kind, [&](auto record) -> UnitWriteResult {
        // Checked before they go into the record's 8-bit fields, where 300
        // would pass as 44.
        if (const auto problem = settingsProblem(settings))
            return {Outcome::Refused, *problem, {}};
        PackParameters<decltype(record)> pack;
        Errortype error;
        pack.read_params(device, record, error);
        if (error.status)
            return {Outcome::Failed, error.message, {}};
        if (const auto problem = versionProblem(kind, record.sv, settings))
            return {Outcome::Refused, *problem, readingOf(device, record)};
        settings.applyTo(record);
        if (const auto problem = settingsProblem(editableSettings(record)))
            return {Outcome::Refused, *problem, readingOf(device, record)};
        // write_params decides about the version-dependent settings from the
        // version as the window shows it, so the raw version goes to it dotted.
        auto written = record;
        written.sv = dottedVersionText(record.sv).value_or(QString());
        pack.write_params(device, written, error);
        if (error.status)
            return {Outcome::Failed, error.message, readingOf(device, record)};
        return {Outcome::Written, {}, readingOf(device, record)};
    });
}
