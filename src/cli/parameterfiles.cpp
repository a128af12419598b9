#include "parameterfiles.h"

#include "packparameters/packparameters.h"
#include "packparameters/parameterfile.h"

namespace {

std::optional<FileSettings> loadAs(PackKind kind, const QString &path, Errortype &error)
{
    return withRecordOf(kind, [&](auto record) -> std::optional<FileSettings> {
        PackParameters<decltype(record)>().load_from_file(path, record, error);
        if (error.status)
            return std::nullopt;
        return FileSettings{kind, fileSettings(record)};
    });
}

} // namespace

std::optional<FileSettings> loadParameterFile(const QString &path, std::optional<PackKind> kind, Errortype &error)
{
    if (kind)
        return loadAs(*kind, path, error);
    // Each kind's reader accepts only its own root element, so trying each
    // takes the kind from the root without a reader of its own.
    for (const PackKindInfo &candidate : packKinds()) {
        Errortype asCandidate;
        if (auto file = loadAs(candidate.kind, path, asCandidate))
            return file;
    }
    error.fail(FileMessages::readFailed);
    return std::nullopt;
}

void saveParameterFile(const QString &path, PackKind kind, const PackSettings &settings, Errortype &error)
{
    withRecordOf(kind, [&](auto record) {
        settings.applyTo(record);
        PackParameters<decltype(record)>().save_to_file(path, record, error);
    });
}
