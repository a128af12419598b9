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
    // The settings whose reply did not have its normal number of data bytes:
    // their values above are the read's guesses.
    QList<Setting> guessed;
};

// The keys of a unit's record in JSON.
namespace RecordKeys {
inline const QString device = QStringLiteral("device");
inline const QString kind = QStringLiteral("kind");
inline const QString sv = QStringLiteral("sv");
inline const QString version = QStringLiteral("version");
inline const QString battVoltage = QStringLiteral("batt_voltage");
inline const QString rssi = QStringLiteral("rssi");
// Beside a record: why a unit could not be read or written, and the backup
// saved before its write.
inline const QString error = QStringLiteral("error");
inline const QString backup = QStringLiteral("backup");
} // namespace RecordKeys

// Every key that a unit's record of any kind can hold, in a table's column
// order: device, kind, the settings, then the values the unit reports.
QStringList recordColumns();

// The kind's settings in the order in which records show them: those of a
// parameter file in the file's order, then the others.
QList<Setting> shownSettings(PackKind kind);

template <typename Record>
UnitReading readingOf(std::uint16_t device, const Record &record)
{
    return {device, kRecordKind<Record>, editableSettings(record), record.sv, record.batt_voltage, record.rssi, {}};
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
    QString backup;  // the backup's path; empty when none was saved
};

// Unit-supplied text made harmless for a terminal: control and format
// characters, and the backslash, as C-style escapes ("\x1b", "\u202e", "\\").
QString printableText(const QString &text);

// One setting that two sources hold with different values.
struct SettingDifference
{
    Setting setting;
    int a;
    int b;
};

// "RF Power (0-127): 90 -> 100", a line per difference, values as the window shows them.
QString differencesText(const QList<SettingDifference> &differences);
QJsonObject differencesJson(const QList<SettingDifference> &differences);

QString fleetResultText(const FleetResult &result);
QString fleetSummaryText(const QList<FleetResult> &results, PackKind kind);
QJsonArray fleetResultsJson(const QList<FleetResult> &results);

// One JSON document per line, so that scripts can read the output line by line.
QString jsonLine(const QJsonObject &object);
QString jsonLine(const QJsonArray &array);
