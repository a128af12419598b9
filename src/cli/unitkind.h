#pragma once

#include "common/errortype.h"
#include "packparameters/packkinds.h"

#include <cstdint>
#include <optional>

// The kind that the unit's product ID names. std::nullopt with the failure
// recorded when the product ID cannot be read or names no pack kind (the
// wrong-device message, as when a pack class finds a unit of another kind).
std::optional<PackKind> kindOfUnit(std::uint16_t device, Errortype &error);
