#pragma once

// The simulated units that --simulate attaches. By default they are the demo's
// bodypack and aircraft pack; for tests and support the variable
// NERIO_SIMULATED_UNITS lists others, in device order, separated by commas:
//
//   unit  = kind { ":" fault }      kind = "bodypack" | "aircraft"
//   fault = "silent-from=" N        no reply from exchange N on (counted from 0)
//         | "unplug-at=" N          the unit is gone when frame N is written
//         | "product-id=" TEXT      reports TEXT as its product ID
//         | "version=" A.B.C        its software version bytes
//
// e.g. NERIO_SIMULATED_UNITS="bodypack,bodypack:unplug-at=10,aircraft". The
// empty text attaches no unit. Each unit starts with its kind's demo settings.

#include "devicelink/simulated/simulatedbridge.h"

#include <QString>

#include <memory>
#include <optional>

inline constexpr const char *kSimulatedUnitsVariable = "NERIO_SIMULATED_UNITS";

struct SimulatedUnitsSetup
{
    std::shared_ptr<SimulatedBridge> bridge; // empty when the text is not understood
    QString problem;
};

// The demo's units for std::nullopt, otherwise the units the text lists.
SimulatedUnitsSetup simulatedUnits(const std::optional<QString> &unitList);
