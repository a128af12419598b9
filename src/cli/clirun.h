#pragma once

// nerio-cli from its command line to its exit status: the arguments, the
// bridge backend (simulated units or real ones) and the command.

#include "clicommands.h"
#include "devicelink/siusbbridge.h"

#include <QString>
#include <QStringList>

#include <optional>

// `simulatedUnitList` is the value of NERIO_SIMULATED_UNITS, std::nullopt when
// it is not set; it counts only with --simulate. `usbBackend` makes the
// backend for real units.
int runCli(const QStringList &arguments, const std::optional<QString> &simulatedUnitList,
           const BridgeBackendFactory &usbBackend, Console &console);
