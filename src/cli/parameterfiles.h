#pragma once

// Loading a parameter file of either kind.

#include "common/errortype.h"
#include "packparameters/packsettings.h"

#include <QString>

#include <optional>

struct FileSettings
{
    PackKind kind;
    PackSettings settings;
};

// The file's settings as a file of the given kind, or else of the kind its
// root element names. On a failure the reading message is recorded.
std::optional<FileSettings> loadParameterFile(const QString &path, std::optional<PackKind> kind, Errortype &error);

// Saves those of the settings that a parameter file of the kind carries.
void saveParameterFile(const QString &path, PackKind kind, const PackSettings &settings, Errortype &error);
