#pragma once

#include "common/errortype.h"
#include "devicelink/cparameter.h"
#include "packrecords.h"

#include <optional>

// Moves a whole aircraft pack parameter set between a unit or a file and a record.
class C_Aircraftpackparameters
{
public:
    void read_params(std::uint16_t device_index, Aircraft_cfg_params &aircraft_params, Errortype &error);
    void write_params(std::uint16_t device_index, const Aircraft_cfg_params &aircraft_params, Errortype &error);
    void save_to_file(const QString &filename, const Aircraft_cfg_params &aircraft_params, Errortype &error);
    void load_from_file(const QString &filename, Aircraft_cfg_params &aircraft_params, Errortype &error);

private:
    std::optional<CParameter> param;
};
