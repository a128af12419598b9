#pragma once

// One unit's write as the command line does it: a whole-set read first, so
// that what no option or file sets stays as the unit has it.

#include "packparameters/packsettings.h"
#include "recordformat.h"

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
    // The unit as written (settings laid over what it held, the raw version
    // text as read); what was read when the write failed or was refused.
    UnitReading unit;
};

// Reads the unit as a `kind`, lays `settings` over what it holds, checks every
// value against the window's ranges and writes the whole set. The decision on
// version-dependent settings uses the version just read from this unit.
UnitWriteResult writeUnit(std::uint16_t device, PackKind kind, const PackSettings &settings);
