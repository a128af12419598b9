#include "packparameters.h"

#include "packexchange.h"
#include "parameterfile.h"

template <typename Record>
void PackParameters<Record>::read_params(std::uint16_t device_index, Record &params, Errortype &error)
{
    param.emplace(device_index);
    readPack(*param, params, error);
}

template <typename Record>
void PackParameters<Record>::write_params(std::uint16_t device_index, const Record &params, Errortype &error)
{
    param.emplace(device_index);
    writePack(*param, params, error);
}

template <typename Record>
void PackParameters<Record>::save_to_file(const QString &filename, const Record &params, Errortype &error)
{
    saveParameterFile(filename, params, error);
}

template <typename Record>
void PackParameters<Record>::load_from_file(const QString &filename, Record &params, Errortype &error)
{
    loadParameterFile(filename, params, error);
}

template class PackParameters<Body_cfg_params>;
template class PackParameters<Aircraft_cfg_params>;
