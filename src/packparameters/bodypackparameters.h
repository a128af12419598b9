#pragma once

#include "common/errortype.h"
#include "devicelink/cparameter.h"
#include "packrecords.h"

#include <optional>

// Moves a whole bodypack parameter set between a unit or a file and a record.
class C_Bodypackparameters
{
public:
    void read_params(std::uint16_t device_index, Body_cfg_params &body_params, Errortype &error);
    void write_params(std::uint16_t device_index, const Body_cfg_params &body_params, Errortype &error);
    void save_to_file(const QString &filename, const Body_cfg_params &body_params, Errortype &error);
    void load_from_file(const QString &filename, Body_cfg_params &body_params, Errortype &error);

    // Whether write_params sends the PTT control selection of `body_params`:
    // only when the dotted version in its `sv` (1.0.5, or "x.x.x") is above 100.
    static bool write_sends_ptt_sel(const Body_cfg_params &body_params);

private:
    std::optional<CParameter> param;
};
