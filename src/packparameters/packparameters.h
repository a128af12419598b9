#pragma once

#include "common/errortype.h"
#include "devicelink/cparameter.h"
#include "packrecords.h"

#include <QString>

#include <cstdint>
#include <optional>

// Moves a whole parameter set of one kind between a unit or a file and a
// record. Both kinds go by the same steps, which the kind table orders.
template <typename Record>
class PackParameters
{
public:
    void read_params(std::uint16_t device_index, Record &params, Errortype &error);
    void write_params(std::uint16_t device_index, const Record &params, Errortype &error);
    void save_to_file(const QString &filename, const Record &params, Errortype &error);
    void load_from_file(const QString &filename, Record &params, Errortype &error);

private:
    // The protocol of the current whole-set read or write, made anew for each.
    std::optional<CParameter> param;
};

extern template class PackParameters<Body_cfg_params>;
extern template class PackParameters<Aircraft_cfg_params>;
