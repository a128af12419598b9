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
                                    : QStringLiteral("unknown (%1)").arg(printableText(unit.productId));
}

QString escapedCodePoint(char32_t codePoint)
{
    switch (codePoint) {
    case U'\\':
        return QStringLiteral("\\\\");
    case U'\n':
        return QStringLiteral("\\n");
    case U'\r':
        return QStringLiteral("\\r");
    case U'\t':
        return QStringLiteral("\\t");
    }
    if (codePoint < 0x80)
        return QStringLiteral("\\x%1").arg(uint(codePoint), 2, 16, QLatin1Char('0'));
    if (codePoint <= 0xFFFF)
        return QStringLiteral("\\u%1").arg(uint(codePoint), 4, 16, QLatin1Char('0'));
    return QStringLiteral("\\U%1").arg(uint(codePoint), 8, 16, QLatin1Char('0'));
}

} // namespace

QStringList recordColumns()
{
    QStringList columns{RecordKeys::device, RecordKeys::kind};
    for (const PackKindInfo &kind : packKinds())
        for (const Setting setting : kind.settings)
            if (!columns.contains(qText(settingInfo(setting).key)))
                columns.append(qText(settingInfo(setting).key));
    return columns + QStringList{RecordKeys::sv, RecordKeys::version, RecordKeys::battVoltage, RecordKeys::rssi};
}

QList<Setting> shownSettings(PackKind kind)
{
    const PackKindInfo &info = packKind(kind);
    QList<Setting> shown(info.fileSettings.begin(), info.fileSettings.end());
    for (const Setting setting : info.settings)
        if (!shown.contains(setting))
            shown.append(setting);
    return shown;
}

QString unitRecordText(const UnitReading &reading)
{
    const QList<Setting> shown = shownSettings(reading.kind);
    return aligned(Rows{{kDeviceCaption, QString::number(reading.device)},
                        {kKindCaption, qText(packKind(reading.kind).caption)}}
                   + settingRows(reading.settings, shown)
                   + Rows{{qText(InfoCaptions::softwareVersion), dottedVersionText(reading.sv).value_or(reading.sv)},
                          {qText(InfoCaptions::batteryVoltage), reading.batt_voltage.toString() + QStringLiteral(" V")},
                          {qText(InfoCaptions::rssi), QString::number(reading.rssi)}});
}

QJsonObject unitRecordJson(const UnitReading &reading)
{
    QJsonObject object{{RecordKeys::kind, qText(packKind(reading.kind).name)}};
    insertSettings(object, reading.settings, packKind(reading.kind).settings);
    const auto version = dottedVersionText(reading.sv);
    object.insert(RecordKeys::device, reading.device);
    object.insert(RecordKeys::sv, reading.sv);
    object.insert(RecordKeys::version, version ? QJsonValue(*version) : QJsonValue(QJsonValue::Null));
    object.insert(RecordKeys::battVoltage, reading.batt_voltage.toString());
    object.insert(RecordKeys::rssi, reading.rssi);
    return object;
}

QString fileSettingsText(PackKind kind, const PackSettings &settings)
{
    return aligned(Rows{{kKindCaption, qText(packKind(kind).caption)}}
                   + settingRows(settings, packKind(kind).fileSettings));
}

QJsonObject fileSettingsJson(PackKind kind, const PackSettings &settings)
{
    QJsonObject object{{RecordKeys::kind, qText(packKind(kind).name)}};
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
                + printableText(unit.description) + u'\n';
    return text;
}

QJsonArray unitListJson(const QList<ListedUnit> &units)
{
    QJsonArray array;
    for (const ListedUnit &unit : units)
        array.append(QJsonObject{{RecordKeys::device, unit.device},
                                 {RecordKeys::kind, kindOf(unit) ? qText(packKind(*kindOf(unit)).name)
                                                                       : QStringLiteral("unknown")},
                                 {QStringLiteral("product_id"), unit.productId},
                                 {QStringLiteral("description"), unit.description}});
    return array;
}

QString printableText(const QString &text)
{
    QString shown;
    for (const char32_t codePoint : text.toUcs4()) {
        const auto category = QChar::category(codePoint);
        if (codePoint == U'\\' || category == QChar::Other_Control || category == QChar::Other_Format)
            shown += escapedCodePoint(codePoint);
        else
            shown += QString::fromUcs4(&codePoint, 1);
    }
    return shown;
}

QString differencesText(const QList<SettingDifference> &differences)
{
    QString text;
    for (const SettingDifference &difference : differences)
        text += QStringLiteral("%1 %2 -> %3\n")
                    .arg(qText(settingInfo(difference.setting).caption), shownValue(difference.setting, difference.a),
                         shownValue(difference.setting, difference.b));
    return text;
}

QJsonObject differencesJson(const QList<SettingDifference> &differences)
{
    QJsonArray array;
    for (const SettingDifference &difference : differences)
        array.append(QJsonObject{{QStringLiteral("setting"), qText(settingInfo(difference.setting).key)},
                                 {QStringLiteral("a"), difference.a},
                                 {QStringLiteral("b"), difference.b}});
    return {{QStringLiteral("same"), differences.isEmpty()}, {QStringLiteral("differences"), array}};
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
    for (const FleetResult &result : results) {
        QJsonObject object{{RecordKeys::device, result.device},
                           {QStringLiteral("id"), result.id},
                           {QStringLiteral("ok"), result.ok},
                           {QStringLiteral("message"), result.message}};
        if (!result.backup.isEmpty())
            object.insert(RecordKeys::backup, result.backup);
        array.append(object);
    }
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
