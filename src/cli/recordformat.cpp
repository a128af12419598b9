#include "recordformat.h"

#include "packparameters/versiontext.h"
#include "packtraits.h"

#include <QJsonDocument>

#include <algorithm>
#include <utility>

namespace {

using Rows = QList<std::pair<QString, QString>>;

// The captions of the window's fields and labels, as the window shows them.
namespace Caption {
const QString device = QStringLiteral("Device:");
const QString kind = QStringLiteral("Kind:");
const QString id = QStringLiteral("ID:");
const QString rfPower = QStringLiteral("RF Power (0-127):");
const QString startupVolume = QStringLiteral("Startup Volume (0-9):");
const QString sideTone = QStringLiteral("Side Tone (0-24):");
const QString micSensitivity = QStringLiteral("Mic sensivity (0-15):");
const QString ptt = QStringLiteral("PTT Control:");
const QString version = QStringLiteral("Software Version:");
const QString battery = QStringLiteral("Battery Voltage:");
const QString rssi = QStringLiteral("RSSI:");
} // namespace Caption

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

QString pttText(std::uint8_t ptt_sel)
{
    return ptt_sel < kPttSelectionNames.size() ? kPttSelectionNames[ptt_sel] : QString::number(ptt_sel);
}

template <typename Record>
Rows commonSettingRows(const Record &record)
{
    return {{Caption::kind, packKindCaption(PackTraits<Record>::kind)},
            {Caption::id, QString::number(record.id)},
            {Caption::rfPower, QString::number(record.rf_power)},
            {Caption::startupVolume, QString::number(record.startup_volume)}};
}

Rows settingRows(const Aircraft_cfg_params &record)
{
    return commonSettingRows(record);
}

Rows settingRows(const Body_cfg_params &record)
{
    // The window shows the side tone negated.
    return commonSettingRows(record)
           + Rows{{Caption::sideTone, QString::number(-int(record.side_tone))},
                  {Caption::micSensitivity, QString::number(record.mic_sensitivity)}};
}

Rows pttRows(const Aircraft_cfg_params &)
{
    return {};
}

Rows pttRows(const Body_cfg_params &record)
{
    return {{Caption::ptt, pttText(record.ptt_sel)}};
}

template <typename Record>
QString recordText(std::uint16_t device, const Record &record)
{
    return aligned(Rows{{Caption::device, QString::number(device)}} + settingRows(record) + pttRows(record)
                   + Rows{{Caption::version, dottedVersionText(record.sv).value_or(record.sv)},
                          {Caption::battery, record.batt_voltage.toString() + QStringLiteral(" V")},
                          {Caption::rssi, QString::number(record.rssi)}});
}

template <typename Record>
QJsonObject commonSettingsJson(const Record &record)
{
    return {{QStringLiteral("kind"), packKindName(PackTraits<Record>::kind)},
            {QStringLiteral("id"), record.id},
            {QStringLiteral("rf_power"), record.rf_power},
            {QStringLiteral("startup_volume"), record.startup_volume}};
}

template <typename Record>
QJsonObject recordJson(std::uint16_t device, const Record &record)
{
    QJsonObject object = fileSettingsJson(record);
    const auto version = dottedVersionText(record.sv);
    object.insert(QStringLiteral("device"), device);
    object.insert(QStringLiteral("sv"), record.sv);
    object.insert(QStringLiteral("version"), version ? QJsonValue(*version) : QJsonValue(QJsonValue::Null));
    object.insert(QStringLiteral("batt_voltage"), record.batt_voltage.toString());
    object.insert(QStringLiteral("rssi"), record.rssi);
    return object;
}

QString kindText(const ListedUnit &unit)
{
    if (unit.kind)
        return packKindCaption(*unit.kind);
    return unit.productId.isEmpty() ? QStringLiteral("unknown (no product ID)")
                                    : QStringLiteral("unknown (%1)").arg(unit.productId);
}

} // namespace

QString unitRecordText(std::uint16_t device, const Body_cfg_params &record)
{
    return recordText(device, record);
}

QString unitRecordText(std::uint16_t device, const Aircraft_cfg_params &record)
{
    return recordText(device, record);
}

QJsonObject unitRecordJson(std::uint16_t device, const Body_cfg_params &record)
{
    QJsonObject object = recordJson(device, record);
    object.insert(QStringLiteral("ptt_sel"), record.ptt_sel);
    return object;
}

QJsonObject unitRecordJson(std::uint16_t device, const Aircraft_cfg_params &record)
{
    return recordJson(device, record);
}

QString fileSettingsText(const Body_cfg_params &record)
{
    return aligned(settingRows(record));
}

QString fileSettingsText(const Aircraft_cfg_params &record)
{
    return aligned(settingRows(record));
}

QJsonObject fileSettingsJson(const Body_cfg_params &record)
{
    QJsonObject object = commonSettingsJson(record);
    object.insert(QStringLiteral("mic_sensitivity"), record.mic_sensitivity);
    object.insert(QStringLiteral("side_tone"), record.side_tone);
    return object;
}

QJsonObject fileSettingsJson(const Aircraft_cfg_params &record)
{
    return commonSettingsJson(record);
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
                                 {QStringLiteral("kind"), unit.kind ? packKindName(*unit.kind) : QStringLiteral("unknown")},
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
        .arg(packKindCaption(kind))
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
