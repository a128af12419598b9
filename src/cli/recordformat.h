#pragma once

// How records, file settings, unit lists and fleet results are printed: as
// aligned "caption: value" lines in the window's captions and forms, or as JSON.

#include "devicelink/unitlisting.h"
#include "packparameters/packsettings.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <cstdint>

// What one unit reported in a whole-set read, whatever its kind.
struct UnitReading
{
    std::uint16_t device = 0;
    PackKind kind = PackKind::Bodypack;
    PackSettings settings;
    QString sv; // raw, as read
    BatteryVoltage batt_voltage;
    std::uint8_t rssi = 0;
};

template <typename Record>
UnitReading readingOf(std::uint16_t device, const Record &record)
{
    return {device, kRecordKind<Record>, editableSettings(record), record.sv, record.batt_voltage, record.rssi};
}

// A unit's record as read or written: the settings, then the info values.
QString unitRecordText(const UnitReading &reading);
QJsonObject unitRecordJson(const UnitReading &reading);

// The settings that a parameter file carries.
QString fileSettingsText(PackKind kind, const PackSettings &settings);
QJsonObject fileSettingsJson(PackKind kind, const PackSettings &settings);

// The kind a listed unit's product ID names, if any.
std::optional<PackKind> kindOf(const ListedUnit &unit);
QString unitListText(const QList<ListedUnit> &units);
QJsonArray unitListJson(const QList<ListedUnit> &units);

struct FleetResult
{
    std::uint16_t device = 0;
    int id = 0;
    bool ok = false;
    QString message; // the success text or the failure's message
};

QString fleetResultText(const FleetResult &result);
QString fleetSummaryText(const QList<FleetResult> &results, PackKind kind);
QJsonArray fleetResultsJson(const QList<FleetResult> &results);

// One JSON document per line, so that scripts can read the output line by line.
QString jsonLine(const QJsonObject &object);
QString jsonLine(const QJsonArray &array);
