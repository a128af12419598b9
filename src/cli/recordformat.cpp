#include "recordformat.h"

#include "packparameters/versiontext.h"

#include <QJsonDocument>

#include <algorithm>
#include <utility>

namespace {

using Rows = QList<std::pair<QString, QString>>;

const QString kDeviceCaption = QStringLiteral("Device:");
const QString kKindCaption = QStringLiteral("Kind:");

QString aligned(const Rows &rows)
{
    qsizetype width = 0;
    for (const auto &row : rows)
        width = std::max(width, row.first.size());
    QString text;
    for (const auto &[caption, value] : rows)
        text += caption.leftJustified(width + 1) + value + u'\n';
    return text;
}

// A value as the window's field shows it: the side tone negated, a choice by
// its caption.
QString shownValue(Setting setting, int value)
{
    const SettingInfo &info = settingInfo(setting);
    if (!info.choices.empty())
        return value >= 0 && std::size_t(value) < info.choices.size() ? qText(info.choices[std::size_t(value)].caption)
                                                                      : QString::number(value);
    return QString::number(info.shownNegated ? -value : value);
}

Rows settingRows(const PackSettings &settings, std::span<const Setting> which)
{
    Rows rows;
    for (const Setting setting : which)
        if (const auto value = settings.value(setting))
            rows.append({qText(settingInfo(setting).caption), shownValue(setting, *value)});
    return rows;
}

// The file's settings first, in the file's order, then those no file carries.
Rows unitSettingRows(PackKind kind, const PackSettings &settings)
{
    const PackKindInfo &info = packKind(kind);
    Rows rows = settingRows(settings, info.fileSettings);
    for (const Setting setting : info.settings)
        if (std::find(info.fileSettings.begin(), info.fileSettings.end(), setting) == info.fileSettings.end())
            rows += settingRows(settings, std::span(&setting, 1));
    return rows;
}

void insertSettings(QJsonObject &object, const PackSettings &settings, std::span<const Setting> which)
{
    for (const Setting setting : which)
        if (const auto value = settings.value(setting))
            object.insert(qText(settingInfo(setting).key), *value);
}

QString kindText(const ListedUnit &unit)
{
    if (const auto kind = kindOf(unit))
        return qText(packKind(*kind).caption);
    return unit.productId.isEmpty() ? QStringLiteral("unknown (no product ID)")
                                    : QStringLiteral("unknown (%1)").arg(unit.productId);
}

} // namespace

QString unitRecordText(const UnitReading &reading)
{
    return aligned(Rows{{kDeviceCaption, QString::number(reading.device)},
                        {kKindCaption, qText(packKind(reading.kind).caption)}}
                   + unitSettingRows(reading.kind, reading.settings)
                   + Rows{{qText(InfoCaptions::softwareVersion), dottedVersionText(reading.sv).value_or(reading.sv)},
                          {qText(InfoCaptions::batteryVoltage), reading.batt_voltage.toString() + QStringLiteral(" V")},
                          {qText(InfoCaptions::rssi), QString::number(reading.rssi)}});
}

QJsonObject unitRecordJson(const UnitReading &reading)
{
    QJsonObject object{{QStringLiteral("kind"), qText(packKind(reading.kind).name)}};
    insertSettings(object, reading.settings, packKind(reading.kind).settings);
    const auto version = dottedVersionText(reading.sv);
    object.insert(QStringLiteral("device"), reading.device);
    object.insert(QStringLiteral("sv"), reading.sv);
    object.insert(QStringLiteral("version"), version ? QJsonValue(*version) : QJsonValue(QJsonValue::Null));
    object.insert(QStringLiteral("batt_voltage"), reading.batt_voltage.toString());
    object.insert(QStringLiteral("rssi"), reading.rssi);
    return object;
}

QString fileSettingsText(PackKind kind, const PackSettings &settings)
{
    return aligned(Rows{{kKindCaption, qText(packKind(kind).caption)}}
                   + settingRows(settings, packKind(kind).fileSettings));
}

QJsonObject fileSettingsJson(PackKind kind, const PackSettings &settings)
{
    QJsonObject object{{QStringLiteral("kind"), qText(packKind(kind).name)}};
    insertSettings(object, settings, packKind(kind).fileSettings);
    return object;
}

std::optional<PackKind> kindOf(const ListedUnit &unit)
{
    return packKindReadAs(unit.productId.toStdString());
}

QString unitListText(const QList<ListedUnit> &units)
{
    if (units.isEmpty())
        return QStringLiteral("No units attached.\n");
    qsizetype kindWidth = 0;
    for (const ListedUnit &unit : units)
        kindWidth = std::max(kindWidth, kindText(unit).size());
    QString text;
    for (const ListedUnit &unit : units)
        text += QString::number(unit.device).leftJustified(4) + kindText(unit).leftJustified(kindWidth + 2)
                + unit.description + u'\n';
    return text;
}

QJsonArray unitListJson(const QList<ListedUnit> &units)
{
    QJsonArray array;
    for (const ListedUnit &unit : units)
        array.append(QJsonObject{{QStringLiteral("device"), unit.device},
                                 {QStringLiteral("kind"), kindOf(unit) ? qText(packKind(*kindOf(unit)).name)
                                                                       : QStringLiteral("unknown")},
                                 {QStringLiteral("product_id"), unit.productId},
                                 {QStringLiteral("description"), unit.description}});
    return array;
}

QString fleetResultText(const FleetResult &result)
{
    return QStringLiteral("device %1, ID %2: %3\n").arg(result.device).arg(result.id).arg(result.message);
}

QString fleetSummaryText(const QList<FleetResult> &results, PackKind kind)
{
    const auto written = std::count_if(results.begin(), results.end(), [](const FleetResult &r) { return r.ok; });
    return QStringLiteral("%1 of %2 %3 units written, %4 failed.\n")
        .arg(written)
        .arg(results.size())
        .arg(qText(packKind(kind).caption))
        .arg(results.size() - written);
}

QJsonArray fleetResultsJson(const QList<FleetResult> &results)
{
    QJsonArray array;
    for (const FleetResult &result : results)
        array.append(QJsonObject{{QStringLiteral("device"), result.device},
                                 {QStringLiteral("id"), result.id},
                                 {QStringLiteral("ok"), result.ok},
                                 {QStringLiteral("message"), result.message}});
    return array;
}

QString jsonLine(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + u'\n';
}

QString jsonLine(const QJsonArray &array)
{
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)) + u'\n';
}
