#include "fleetcommands.h"

#include "commandsteps.h"
#include "common/outcometexts.h"
#include "csvtable.h"
#include "parameterfiles.h"
#include "recordformat.h"
#include "unitread.h"
#include "unitwrite.h"

#include <QDir>

#include <algorithm>

namespace {

// The attached units of `kind`, or all whose product ID names a kind.
QList<ListedUnit> fleetOf(std::optional<PackKind> kind)
{
    QList<ListedUnit> fleet = listUnits();
    fleet.removeIf([kind](const ListedUnit &unit) { return !kindOf(unit) || (kind && kindOf(unit) != kind); });
    return fleet;
}

// A table row of the record's values under `columns`; empty where it has none.
QStringList tableRow(const QStringList &columns, const QJsonObject &record)
{
    QStringList row;
    for (const QString &column : columns) {
        const QJsonValue value = record.value(column);
        row.append(value.isDouble() ? QString::number(value.toInteger()) : value.toString());
    }
    return row;
}

// Writes the table when one was asked for; false when it could not be written.
bool saveTable(const QString &path, const QList<QStringList> &rows, Console &console)
{
    if (path.isEmpty())
        return true;
    Errortype error;
    saveCsv(path, rows, error);
    if (error.status)
        unitFailure(console, error.message);
    return !error.status;
}

} // namespace

int runReadAll(const CliRequest &request, Console &console)
{
    const QList<ListedUnit> fleet = fleetOf(request.kind);
    const QStringList columns = recordColumns() << RecordKeys::error;
    QList<QStringList> table{columns};
    QJsonArray records;
    bool allRead = true;
    bool recordPrinted = false;
    for (const ListedUnit &unit : fleet) {
        const PackKind kind = *kindOf(unit);
        Errortype error;
        const auto reading = readUnit(unit.device, kind, error);
        if (reading) {
            const QJsonObject record = unitRecordJson(*reading);
            records.append(record);
            table.append(tableRow(columns, record));
            if (!request.json)
                console.out << (recordPrinted ? QStringLiteral("\n") : QString()) << unitRecordText(*reading)
                            << Qt::flush;
            recordPrinted = true;
            continue;
        }
        allRead = false;
        const QJsonObject failed{{RecordKeys::device, unit.device}, {RecordKeys::error, error.message}};
        records.append(failed);
        QJsonObject row = failed;
        row.insert(RecordKeys::kind, qText(packKind(kind).name));
        table.append(tableRow(columns, row));
        console.err << deviceText(unit.device) << QStringLiteral(": ") << error.message << Qt::endl;
    }
    if (request.json)
        console.out << jsonLine(records);
    else if (fleet.isEmpty())
        console.out << (request.kind ? QStringLiteral("No %1 is attached.\n").arg(qText(packKind(*request.kind).caption))
                                     : QStringLiteral("No units attached.\n"));
    const bool tableSaved = saveTable(request.csvFile, table, console);
    return allRead && tableSaved ? kExitSuccess : kExitFailure;
}

int runWriteAll(const CliRequest &request, Console &console)
{
    const PackKind kind = *request.kind;
    Errortype error;
    const auto file = loadParameterFile(request.fromFile, kind, error);
    if (error.status)
        return unitFailure(console, error.message);
    const PackSettings &fromFile = file->settings;
    if (const auto problem = settingsProblem(fromFile))
        return usageFailure(console, request.fromFile + QStringLiteral(": ") + *problem);

    const QList<ListedUnit> fleet = fleetOf(kind);
    if (fleet.isEmpty())
        return unitFailure(console, QStringLiteral("No %1 is attached.").arg(qText(packKind(kind).caption)));

    // Every unit's ID is planned and checked before the first unit is written.
    QList<int> ids;
    for (qsizetype position = 0; position < fleet.size(); ++position) {
        const int id = request.idStart ? *request.idStart + int(position) : *fromFile.value(Setting::Id);
        PackSettings planned;
        planned.set(Setting::Id, id);
        if (const auto problem = settingsProblem(planned))
            return usageFailure(console, QStringLiteral("%1 would get the ID %2: %3")
                                             .arg(deviceText(fleet[position].device))
                                             .arg(id)
                                             .arg(*problem));
        ids.append(id);
    }

    QList<FleetResult> results;
    QList<QStringList> report{{RecordKeys::device, RecordKeys::kind, QStringLiteral("old_id"),
                               QStringLiteral("new_id"), QStringLiteral("result"), RecordKeys::backup}};
    for (qsizetype position = 0; position < fleet.size(); ++position) {
        const std::uint16_t device = fleet[position].device;
        PackSettings settings = fromFile;
        settings.set(Setting::Id, ids[position]);
        QString backup;
        const UnitWriteResult written =
            writeUnit(device, kind, settings, {{}, backupBeforeWrite(request, console, backup)});
        const bool ok = written.outcome == UnitWriteResult::Outcome::Written;
        const FleetResult result{device, ids[position], ok, ok ? OutcomeTexts::writtenToDevice : written.message,
                                 backup};
        results.append(result);
        const auto oldId = written.asRead ? written.asRead->settings.value(Setting::Id) : std::nullopt;
        report.append({QString::number(device), qText(packKind(kind).name),
                       oldId ? QString::number(*oldId) : QString(), QString::number(result.id), result.message,
                       QDir::toNativeSeparators(backup)});
        if (!request.json)
            console.out << fleetResultText(result) << Qt::flush;
        if (!ok)
            console.err << deviceText(device) << QStringLiteral(": ") << result.message << Qt::endl;
    }
    console.out << (request.json ? jsonLine(fleetResultsJson(results)) : fleetSummaryText(results, kind));
    const bool reportSaved = saveTable(request.reportFile, report, console);
    const bool allWritten = std::all_of(results.begin(), results.end(), [](const FleetResult &r) { return r.ok; });
    return allWritten && reportSaved ? kExitSuccess : kExitFailure;
}
