#pragma once

// What the commands share: how a failure is told, how a unit is named in
// messages, and the backup that goes before each unit's write.

#include "clicommands.h"
#include "recordformat.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// A unit or file failure: the system's own message on stderr.
int unitFailure(Console &console, const QString &message);

// "device 3"
QString deviceText(std::uint16_t device);

// What a write calls before its first frame: saves the unit as read unless
// --no-backup was given, sets `path` and, in text output, prints
// "Backup: PATH" at once. A message when the backup cannot be saved.
using BeforeWrite = std::function<std::optional<QString>(const UnitReading &asRead)>;
BeforeWrite backupBeforeWrite(const CliRequest &request, Console &console, QString &path);
