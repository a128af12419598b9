#include "unitwrite.h"

#include "packparameters/packexchange.h"
#include "packparameters/packparameters.h"
#include "packparameters/versiontext.h"
#include "unitread.h"

namespace {

using Outcome = UnitWriteResult::Outcome;

// A setting that only newer units have, asked for on a unit too old for it
// (the caller has found it so).
std::optional<QString> versionProblem(PackKind kind, const QString &sv, const PackSettings &settings)
{
    for (const Setting setting : packKind(kind).settings) {
        const SettingInfo &info = settingInfo(setting);
        if (info.versioned && settings.value(setting))
            return QStringLiteral("software version %1 has no %2 selection; leave out --%3.")
                .arg(dottedVersionText(sv).value_or(sv), qText(info.name), qText(info.option));
    }
    return std::nullopt;
}

// A setting that would go back to the unit as the read guessed it.
std::optional<QString> guessedSetting(const UnitReading &asRead, const PackSettings &given)
{
    for (const Setting setting : asRead.guessed) {
        if (given.value(setting))
            continue;
        const SettingInfo &info = settingInfo(setting);
        return QStringLiteral("The unit did not report its %1 in the normal form (%2), so the value read is a "
                              "guess that the write would store; give --%3 to set it.")
            .arg(qText(info.name),
                 normalDataBytes(setting) == 1 ? QStringLiteral("one data byte") : QStringLiteral("two data bytes"),
                 qText(info.option));
    }
    return std::nullopt;
}

void writeSettings(const UnitReading &unit, Errortype &error)
{
    withRecordOf(unit.kind, [&](auto record) {
        unit.settings.applyTo(record);
        // write_params decides about the version-dependent settings from the
        // version as the window shows it, so the raw version goes to it dotted.
        record.sv = dottedVersionText(unit.sv).value_or(QString());
        PackParameters<decltype(record)>().write_params(unit.device, record, error);
    });
}

} // namespace

UnitWriteResult writeUnit(std::uint16_t device, PackKind kind, const PackSettings &settings,
                          const UnitWriteOptions &options)
{
    // Checked before they go into the record's 8-bit fields, where 300 would
    // pass as 44.
    if (const auto problem = settingsProblem(settings))
        return {Outcome::Refused, *problem, {}, {}};
    Errortype error;
    const std::optional<UnitReading> asRead = readUnit(device, kind, error);
    if (!asRead)
        return {Outcome::Failed, error.message, {}, {}};
    auto refused = [&](Outcome outcome, const QString &message) -> UnitWriteResult {
        return {outcome, message, asRead, {}};
    };

    if (!versionedSettingsTakePart(asRead->sv, kRawVersionDigits)
        && options.newerSettings == UnitWriteOptions::NewerSettings::RefuseOnOlderUnits)
        if (const auto problem = versionProblem(kind, asRead->sv, settings))
            return refused(Outcome::Refused, *problem);
    const PackSettings wanted = heldSettings(kind, settings, asRead->sv);
    // The more telling reason first: a guessed value can also be out of range.
    if (const auto guess = guessedSetting(*asRead, wanted))
        return refused(Outcome::Failed, *guess);
    UnitReading written = *asRead;
    written.settings = asRead->settings.overlaidBy(wanted);
    written.guessed.clear();
    if (const auto problem = settingsProblem(written.settings))
        return refused(Outcome::Refused, *problem);
    if (options.beforeWrite)
        if (const auto stop = options.beforeWrite(*asRead))
            return refused(Outcome::Failed, *stop);
    writeSettings(written, error);
    if (error.status)
        return refused(Outcome::Failed, error.message);
    return {Outcome::Written, {}, asRead, written};
}
