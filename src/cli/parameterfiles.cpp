#include "parameterfiles.h"

#include "packtraits.h"

namespace {

template <typename Record>
std::optional<FileRecord> loadAs(const QString &path, Errortype &error)
{
    Record record;
    typename PackTraits<Record>::Pack pack;
    pack.load_from_file(path, record, error);
    if (error.status)
        return std::nullopt;
    return record;
}

} // namespace

std::optional<FileRecord> loadParameterFile(const QString &path, std::optional<PackKind> kind, Errortype &error)
{
    if (kind)
        return withRecordOf(*kind, [&](auto record) { return loadAs<decltype(record)>(path, error); });
    // Each kind's reader accepts only its own root element, so trying both
    // takes the kind from the root without a reader of its own.
    Errortype asBodypack;
    if (auto file = loadAs<Body_cfg_params>(path, asBodypack))
        return file;
    return loadAs<Aircraft_cfg_params>(path, error);
}

PackKind kindOfFile(const FileRecord &file)
{
    return std::visit([](const auto &record) { return PackTraits<std::decay_t<decltype(record)>>::kind; }, file);
}
