#pragma once

// Loading a parameter file of either kind.

#include "common/errortype.h"
#include "packkind.h"
#include "packparameters/packrecords.h"

#include <QString>

#include <optional>
#include <variant>

using FileRecord = std::variant<Body_cfg_params, Aircraft_cfg_params>;

// The file's settings in a record of its kind: the given one, or else the one
// its root element names. On a failure the reading message is recorded.
std::optional<FileRecord> loadParameterFile(const QString &path, std::optional<PackKind> kind, Errortype &error);

PackKind kindOfFile(const FileRecord &file);
