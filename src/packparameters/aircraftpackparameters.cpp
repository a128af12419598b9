#include "aircraftpackparameters.h"

#include "idencoding.h"
#include "packexchange.h"
#include "packnumbers.h"
#include "parameterfile.h"

namespace {

const QString kAircraftPackProductId = QString::fromLatin1(ProductIds::aircraftPack);

} // namespace

void C_Aircraftpackparameters::read_params(std::uint16_t device_index, Aircraft_cfg_params &aircraft_params,
                                           Errortype &error)
{
    param.emplace(device_index);
    // Reading accepts the product ID in capitals too; writing does not.
    if (error.status || !unitIsOfKind(*param, kAircraftPackProductId, Qt::CaseInsensitive, error))
        return;
    using namespace PackNumbers;
    PackReader reader(*param, error);
    reader.number(id, aircraft_params.id) && reader.number(rfPower, aircraft_params.rf_power)
        && reader.number(startupVolume, aircraft_params.startup_volume)
        && reader.text(softwareVersion, aircraft_params.sv)
        && reader.battery(batteryVoltage, aircraft_params.batt_voltage) && reader.number(rssi, aircraft_params.rssi);
}

void C_Aircraftpackparameters::write_params(std::uint16_t device_index, const Aircraft_cfg_params &aircraft_params,
                                            Errortype &error)
{
    param.emplace(device_index);
    if (error.status || !idIsStorable(aircraft_params.id, error)
        || !unitIsOfKind(*param, kAircraftPackProductId, Qt::CaseSensitive, error))
        return;
    using namespace PackNumbers;
    param->write(id, dottedId(aircraft_params.id), error);
    param->write(rfPower, QString::number(aircraft_params.rf_power), error);
    param->write(startupVolume, QString::number(aircraft_params.startup_volume), error);
    param->command(closingCommand, QString::fromLatin1(closingCommandValue), error);
}

void C_Aircraftpackparameters::save_to_file(const QString &filename, const Aircraft_cfg_params &aircraft_params,
                                            Errortype &error)
{
    using namespace FileElements;
    const FileValue values[] = {
        {id, aircraft_params.id},
        {rfPower, aircraft_params.rf_power},
        {startupVolume, aircraft_params.startup_volume},
    };
    writeParameterFile(filename, aircraftPackRoot, values, error);
}

void C_Aircraftpackparameters::load_from_file(const QString &filename, Aircraft_cfg_params &aircraft_params,
                                              Errortype &error)
{
    using namespace FileElements;
    const FileField fields[] = {
        {id, kIdMinimum, kIdMaximum, [&](int value) { aircraft_params.id = std::int16_t(value); }},
        {rfPower, 0, kByteMaximum, [&](int value) { aircraft_params.rf_power = std::uint8_t(value); }},
        {startupVolume, 0, kByteMaximum, [&](int value) { aircraft_params.startup_volume = std::uint8_t(value); }},
    };
    readParameterFile(filename, aircraftPackRoot, fields, error);
}
