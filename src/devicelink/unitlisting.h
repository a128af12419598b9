#pragma once

// The attached units as the bridge enumerates them: the one listing that the
// window's search and the command line both show.

#include <QList>
#include <QString>

#include <cstdint>

struct ListedUnit
{
    std::uint16_t device = 0;
    // The unit's description, or a text that says it could not be fetched.
    QString description;
    QString productId; // empty when it cannot be read
};

// Every device number the bridge counts, also those whose texts cannot be
// fetched, so that a listed device number always addresses that unit.
QList<ListedUnit> listUnits();
