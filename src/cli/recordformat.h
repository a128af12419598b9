#pragma once

// How records, file settings, unit lists and fleet results are printed: as
// aligned "caption: value" lines in the window's captions and forms, or as JSON.

#include "packkind.h"
#include "packparameters/packrecords.h"
#include "unitlisting.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <cstdint>

// A unit's record as read or written: the settings, then the info values.
QString unitRecordText(std::uint16_t device, const Body_cfg_params &record);
QString unitRecordText(std::uint16_t device, const Aircraft_cfg_params &record);
QJsonObject unitRecordJson(std::uint16_t device, const Body_cfg_params &record);
QJsonObject unitRecordJson(std::uint16_t device, const Aircraft_cfg_params &record);

// The settings that a parameter file carries.
QString fileSettingsText(const Body_cfg_params &record);
QString fileSettingsText(const Aircraft_cfg_params &record);
QJsonObject fileSettingsJson(const Body_cfg_params &record);
QJsonObject fileSettingsJson(const Aircraft_cfg_params &record);

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
