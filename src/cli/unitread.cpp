#include "unitread.h"

#include "devicelink/cparameter.h"
#include "packparameters/packexchange.h"
#include "packparameters/packparameters.h"
#include "packparameters/versiontext.h"
#include "replyshapes.h"

std::optional<PackKind> kindOfUnit(std::uint16_t device, Errortype &error)
{
    const QString productId = CParameter(device).GetProductID(error);
    if (error.status)
        return std::nullopt;
    const auto kind = packKindReadAs(productId.toStdString());
    if (!kind)
        error.fail(PackMessages::wrongDevice);
    return kind;
}

std::optional<UnitReading> readUnit(std::uint16_t device, std::optional<PackKind> kind, Errortype &error)
{
    if (!kind)
        kind = kindOfUnit(device, error);
    if (error.status)
        return std::nullopt;
    return withRecordOf(*kind, [&](auto record) -> std::optional<UnitReading> {
        const ReplyShapeWatch replies;
        PackParameters<decltype(record)>().read_params(device, record, error);
        if (error.status)
            return std::nullopt;
        UnitReading reading = readingOf(device, record);
        const PackSettings held = heldSettings(*kind, reading.settings, reading.sv);
        for (const Setting setting : packKind(*kind).settings)
            if (held.value(setting)
                && replies.dataBytes(device, settingInfo(setting).parameter) != normalDataBytes(setting))
                reading.guessed.append(setting);
        return reading;
    });
}

PackSettings heldSettings(PackKind kind, const PackSettings &settings, const QString &sv)
{
    if (versionedSettingsTakePart(sv, kRawVersionDigits))
        return settings;
    PackSettings held = settings;
    for (const Setting setting : packKind(kind).settings)
        if (settingInfo(setting).versioned)
            held.set(setting, std::nullopt);
    return held;
}
