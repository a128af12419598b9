#pragma once

// A whole parameter set between a unit and a record, for either kind: the
// product ID check, the read and write orders of the kind table, the
// version-dependent settings and the closing command.

#include "common/errortype.h"
#include "devicelink/cparameter.h"
#include "packrecords.h"

#include <QString>

#include <cstdint>

namespace PackMessages {
inline const QString wrongDevice =
    QStringLiteral("You tried to communicate with the wrong device. Please select another one.");
QString invalidChoice(Setting setting, int value);
QString valueOutOfRange(std::uint8_t par_number, const QString &reply);
} // namespace PackMessages

// True when the unit's product ID names `kind` as `match` compares it.
// Otherwise records the wrong-device message, unless the product ID could not
// be read at all.
bool unitIsOfKind(CParameter &param, PackKind kind, ProductIdMatch match, Errortype &error);

// Reads the kind's settings, then the version, battery voltage and RSSI, then
// the settings that only newer units have. Ends at the first failure: the
// fields read so far keep the unit's values, the others their own.
template <typename Record>
void readPack(CParameter &param, Record &record, Errortype &error);

// Writes the kind's settings in order and closes with the closing command.
// After the first failure the protocol sends nothing more, so the closing
// command only follows a clean set. The version-dependent settings go along
// when the dotted version in `record.sv` is above 100.
template <typename Record>
void writePack(CParameter &param, const Record &record, Errortype &error);

// The number of data bytes in which a unit reports a setting: two for the ID
// (its encoding), one for every other setting.
int normalDataBytes(Setting setting);

// Whether writePack sends the version-dependent settings of this record.
template <typename Record>
bool writeSendsVersionedSettings(const Record &record);
