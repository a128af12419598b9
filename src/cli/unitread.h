#pragma once

// A unit's whole-set read as the command line does it, for either kind.

#include "common/errortype.h"
#include "packparameters/packkinds.h"
#include "recordformat.h"

#include <cstdint>
#include <optional>

// The kind that the unit's product ID names. std::nullopt with the failure
// recorded when the product ID cannot be read or names no pack kind (the
// wrong-device message, as when a pack class finds a unit of another kind).
std::optional<PackKind> kindOfUnit(std::uint16_t device, Errortype &error);

// Reads the unit as a `kind`, or as the kind its product ID names, and notes
// which settings it did not report in their normal form. std::nullopt with
// the failure recorded when the read fails.
std::optional<UnitReading> readUnit(std::uint16_t device, std::optional<PackKind> kind, Errortype &error);

// Those of `settings` that a unit of version `sv` (raw, as read) holds: the
// settings that only newer units have are left out for an older one.
PackSettings heldSettings(PackKind kind, const PackSettings &settings, const QString &sv);
