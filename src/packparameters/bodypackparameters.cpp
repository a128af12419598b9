#include "bodypackparameters.h"

#include "idencoding.h"
#include "packexchange.h"
#include "packnumbers.h"
#include "parameterfile.h"

namespace {

const QString kBodypackProductId = QString::fromLatin1(ProductIds::bodypack);

} // namespace

void C_Bodypackparameters::read_params(std::uint16_t device_index, Body_cfg_params &body_params, Errortype &error)
{
    param.emplace(device_index);
    if (error.status || !unitIsOfKind(*param, kBodypackProductId, Qt::CaseSensitive, error))
        return;
    using namespace PackNumbers;
    PackReader reader(*param, error);
    const bool complete = reader.number(id, body_params.id) && reader.number(rfPower, body_params.rf_power)
                          && reader.number(startupVolume, body_params.startup_volume)
                          && reader.number(micSensitivity, body_params.mic_sensitivity)
                          && reader.number(sideTone, body_params.side_tone)
                          && reader.text(softwareVersion, body_params.sv)
                          && reader.battery(batteryVoltage, body_params.batt_voltage)
                          && reader.number(rssi, body_params.rssi);
    if (complete && pttTakesPart(body_params.sv, kRawVersionDigits))
        reader.number(pttSelection, body_params.ptt_sel);
}

void C_Bodypackparameters::write_params(std::uint16_t device_index, const Body_cfg_params &body_params,
                                        Errortype &error)
{
    param.emplace(device_index);
    const bool withPtt = write_sends_ptt_sel(body_params);
    if (error.status || !idIsStorable(body_params.id, error))
        return;
    if (withPtt && body_params.ptt_sel > 1) {
        error.fail(PackMessages::invalidPttSelection(body_params.ptt_sel));
        return;
    }
    if (!unitIsOfKind(*param, kBodypackProductId, Qt::CaseSensitive, error))
        return;
    // Each step is issued whatever happened before: after the first failure the
    // protocol sends nothing more, so the closing command only follows a clean set.
    using namespace PackNumbers;
    param->write(id, dottedId(body_params.id), error);
    param->write(rfPower, QString::number(body_params.rf_power), error);
    param->write(startupVolume, QString::number(body_params.startup_volume), error);
    param->write(micSensitivity, QString::number(body_params.mic_sensitivity), error);
    param->write(sideTone, QString::number(body_params.side_tone), error);
    if (withPtt)
        param->write(pttSelection, QString::number(body_params.ptt_sel), error);
    param->command(closingCommand, QString::fromLatin1(closingCommandValue), error);
}

bool C_Bodypackparameters::write_sends_ptt_sel(const Body_cfg_params &body_params)
{
    return pttTakesPart(body_params.sv, kDottedVersionDigits);
}

void C_Bodypackparameters::save_to_file(const QString &filename, const Body_cfg_params &body_params, Errortype &error)
{
    using namespace FileElements;
    const FileValue values[] = {
        {id, body_params.id},
        {rfPower, body_params.rf_power},
        {startupVolume, body_params.startup_volume},
        {sideTone, body_params.side_tone},
        {micSensitivity, body_params.mic_sensitivity},
    };
    writeParameterFile(filename, bodypackRoot, values, error);
}

void C_Bodypackparameters::load_from_file(const QString &filename, Body_cfg_params &body_params, Errortype &error)
{
    using namespace FileElements;
    const FileField fields[] = {
        {id, kIdMinimum, kIdMaximum, [&](int value) { body_params.id = std::int16_t(value); }},
        {rfPower, 0, kByteMaximum, [&](int value) { body_params.rf_power = std::uint8_t(value); }},
        {startupVolume, 0, kByteMaximum, [&](int value) { body_params.startup_volume = std::uint8_t(value); }},
        {sideTone, 0, kByteMaximum, [&](int value) { body_params.side_tone = std::uint8_t(value); }},
        {micSensitivity, 0, kByteMaximum, [&](int value) { body_params.mic_sensitivity = std::uint8_t(value); }},
    };
    readParameterFile(filename, bodypackRoot, fields, error);
}
