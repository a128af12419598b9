#include "settingsources.h"

#include "backups.h"
#include "unitread.h"

#include <QFile>

namespace {

// A backup is JSON, a parameter file XML: the first character that is no
// white space tells them apart.
bool looksLikeBackup(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.peek(256).trimmed().startsWith('{');
}

} // namespace

std::optional<FileSettings> loadSettings(const SettingsSource &source, Errortype &error)
{
    if (source.device) {
        const auto reading = readUnit(*source.device, std::nullopt, error);
        if (!reading)
            return std::nullopt;
        return FileSettings{reading->kind, heldSettings(reading->kind, reading->settings, reading->sv)};
    }
    if (looksLikeBackup(source.file))
        return loadBackup(source.file, error);
    return loadParameterFile(source.file, std::nullopt, error);
}

QList<SettingDifference> differingSettings(const FileSettings &a, const FileSettings &b)
{
    QList<SettingDifference> differences;
    for (const Setting setting : shownSettings(a.kind)) {
        const auto valueA = a.settings.value(setting);
        const auto valueB = b.settings.value(setting);
        if (valueA && valueB && *valueA != *valueB)
            differences.append({setting, *valueA, *valueB});
    }
    return differences;
}
