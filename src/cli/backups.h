#pragma once

// The copies of a unit's settings that every write of the command line saves
// before it touches the unit, and how they are read back.

#include "common/errortype.h"
#include "parameterfiles.h"
#include "recordformat.h"

#include <QDateTime>
#include <QString>

#include <optional>

inline constexpr const char *kBackupFolderVariable = "NERIO_BACKUP_DIR";

// $NERIO_BACKUP_DIR when set; otherwise $XDG_STATE_HOME/nerio-config/backups
// (an absolute $XDG_STATE_HOME only, as the base directory rules ask);
// otherwise ~/.local/state/nerio-config/backups.
QString backupFolder();

// Saves what `read --json` prints for the unit, plus "saved_at", as a new file
// in `folder`, which is made with mode 0700 when missing: e.g.
// 20261211T154507Z-bodypack-device0-id1234.json, with -2, -3... added when a
// backup of that name exists. The file is complete on disk when this returns
// its path. On a failure the message names the folder.
std::optional<QString> saveBackup(const QString &folder, const UnitReading &reading, const QDateTime &savedAt,
                                  Errortype &error);

// The kind and the settings that a backup holds (without the settings that only
// newer units have when the backed-up unit was older). Values are not checked
// against their ranges here. On a failure the message says why the file is no
// backup, for the caller to put after the file's name.
std::optional<FileSettings> loadBackup(const QString &path, Errortype &error);
