#pragma once

// The attached units as the bridge enumerates them.

#include "common/errortype.h"
#include "packkind.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

struct ListedUnit
{
    std::uint16_t device = 0;
    QString productId;          // empty when it cannot be read
    std::optional<PackKind> kind; // std::nullopt: no pack kind has this product ID
    QString description;        // empty when it cannot be fetched
};

// Every device number the bridge counts, also those whose texts cannot be
// fetched, so that a listed device number always addresses that unit.
QList<ListedUnit> listUnits();

// The kind that the unit's product ID names. std::nullopt with the failure
// recorded when the product ID cannot be read or names no pack kind (the
// wrong-device message, as when a pack class finds a unit of another kind).
std::optional<PackKind> kindOfUnit(std::uint16_t device, Errortype &error);
