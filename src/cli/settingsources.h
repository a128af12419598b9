#pragma once

// The settings of whatever two configurations are compared: a parameter file,
// a backup, or a unit read live.

#include "clirequest.h"
#include "common/errortype.h"
#include "parameterfiles.h"
#include "recordformat.h"

#include <optional>

// The settings that the source holds. On a failure the unit's or the file's
// message is recorded.
std::optional<FileSettings> loadSettings(const SettingsSource &source, Errortype &error);

// The settings that both hold with different values, in the order records show
// them. Both are of the same kind.
QList<SettingDifference> differingSettings(const FileSettings &a, const FileSettings &b);
