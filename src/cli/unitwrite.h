#pragma once

// One unit's write as the command line does it: a whole-set read first, so
// that what no option or file sets stays as the unit has it.

#include "packparameters/packsettings.h"
#include "recordformat.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

struct UnitWriteOptions
{
    // Settings that only newer units have, given for an older unit: refused
    // (a write's options), or left out (a restore, whose backup holds them all).
    enum class NewerSettings { RefuseOnOlderUnits, SkipOnOlderUnits };
    NewerSettings newerSettings = NewerSettings::RefuseOnOlderUnits;
    // Called with the unit as read once every check has passed, before the
    // first write frame; a message it returns stops the write.
    std::function<std::optional<QString>(const UnitReading &asRead)> beforeWrite;
};

struct UnitWriteResult
{
    enum class Outcome {
        Written,
        Failed,  // a unit operation failed, or nothing was sent for the reason given
        Refused, // the set cannot go to this unit; nothing was written
    };
    Outcome outcome = Outcome::Failed;
    QString message;
    std::optional<UnitReading> asRead; // when the read succeeded
    // The settings laid over what the unit held, the raw version text as read;
    // when the write was made.
    std::optional<UnitReading> written;
};

// Reads the unit as a `kind`, lays `settings` over what it holds, checks every
// value against the window's ranges and writes the whole set. A setting that
// would go back as read, though the unit did not report it in its normal form,
// stops the write. The decision on version-dependent settings uses the version
// just read from this unit.
UnitWriteResult writeUnit(std::uint16_t device, PackKind kind, const PackSettings &settings,
                          const UnitWriteOptions &options = {});
