#pragma once

// One unit's write as the command line does it: a whole-set read first, so
// that what no option or file sets stays as the unit has it.

#include "packparameters/packrecords.h"
#include "settingoverrides.h"

#include <QString>

#include <cstdint>

struct UnitWriteResult
{
    enum class Outcome {
        Written,
        Failed,  // a unit operation failed; `message` is the system's own
        Refused, // the set cannot go to this unit; nothing was written
    };
    Outcome outcome = Outcome::Failed;
    QString message;
};

// Reads the unit, lays `settings` over what it holds, checks every value
// against the window's ranges and writes the whole set. The PTT decision uses
// the version just read from this unit. `record` ends as the set written, with
// the raw version text as read.
UnitWriteResult writeUnit(std::uint16_t device, const SettingOverrides &settings, Body_cfg_params &record);
UnitWriteResult writeUnit(std::uint16_t device, const SettingOverrides &settings, Aircraft_cfg_params &record);
