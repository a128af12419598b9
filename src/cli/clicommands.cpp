#include "clicommands.h"

#include "common/outcometexts.h"
#include "packparameters/packexchange.h"
#include "packtraits.h"
#include "parameterfiles.h"
#include "recordformat.h"
#include "unitlisting.h"
#include "unitwrite.h"

namespace {

// A unit or file failure: the system's own message, as the window shows it.
int failure(Console &console, const QString &message)
{
    console.err << message << Qt::endl;
    return kExitFailure;
}

QString deviceText(std::uint16_t device)
{
    return QStringLiteral("device %1").arg(device);
}

template <typename Record>
void printUnitRecord(Console &console, const CliRequest &request, std::uint16_t device, const Record &record)
{
    console.out << (request.json ? jsonLine(unitRecordJson(device, record)) : unitRecordText(device, record));
}

SettingOverrides settingsOfFile(const std::optional<FileRecord> &file)
{
    if (!file)
        return {};
    return std::visit([](const auto &record) { return fileSettings(record); }, *file);
}

int runList(const CliRequest &request, Console &console)
{
    const QList<ListedUnit> units = listUnits();
    console.out << (request.json ? jsonLine(unitListJson(units)) : unitListText(units));
    return kExitSuccess;
}

int runRead(const CliRequest &request, Console &console)
{
    Errortype error;
    const auto kind = request.kind ? request.kind : kindOfUnit(request.device, error);
    if (error.status)
        return failure(console, error.message);
    return withRecordOf(*kind, [&](auto record) {
        typename PackTraits<decltype(record)>::Pack pack;
        pack.read_params(request.device, record, error);
        if (error.status)
            return failure(console, error.message);
        printUnitRecord(console, request, request.device, record);
        if (request.saveFile.isEmpty())
            return int(kExitSuccess);
        pack.save_to_file(request.saveFile, record, error);
        if (error.status)
            return failure(console, error.message);
        if (!request.json)
            console.out << OutcomeTexts::savedToFile << Qt::endl;
        return int(kExitSuccess);
    });
}

int runWrite(const CliRequest &request, Console &console)
{
    // The file and every value in it are checked before the unit is touched.
    Errortype error;
    std::optional<FileRecord> file;
    if (!request.fromFile.isEmpty()) {
        file = loadParameterFile(request.fromFile, request.kind, error);
        if (error.status)
            return failure(console, error.message);
    }
    const SettingOverrides fromFile = settingsOfFile(file);
    if (const auto problem = settingsProblem(fromFile))
        return usageFailure(console, request.fromFile + QStringLiteral(": ") + *problem);

    std::optional<PackKind> kind = request.kind;
    if (!kind && file)
        kind = kindOfFile(*file);
    if (!kind)
        kind = kindOfUnit(request.device, error);
    if (error.status)
        return failure(console, error.message);
    if (*kind == PackKind::Aircraft && request.overrides.hasBodypackOnlySettings())
        return usageFailure(console, QStringLiteral("%1 is written as an aircraft pack; --mic-sensitivity, "
                                                    "--side-tone and --ptt are bodypack settings.")
                                         .arg(deviceText(request.device)));

    const SettingOverrides settings = fromFile.overlaidBy(request.overrides);
    return withRecordOf(*kind, [&](auto record) {
        const UnitWriteResult result = writeUnit(request.device, settings, record);
        switch (result.outcome) {
        case UnitWriteResult::Outcome::Failed:
            return failure(console, result.message);
        case UnitWriteResult::Outcome::Refused:
            return usageFailure(console, deviceText(request.device) + QStringLiteral(": ") + result.message);
        case UnitWriteResult::Outcome::Written:
            break;
        }
        printUnitRecord(console, request, request.device, record);
        if (!request.json)
            console.out << OutcomeTexts::writtenToDevice << Qt::endl;
        return int(kExitSuccess);
    });
}

int runWriteAll(const CliRequest &request, Console &console)
{
    const PackKind kind = *request.kind;
    Errortype error;
    const auto file = loadParameterFile(request.fromFile, kind, error);
    if (error.status)
        return failure(console, error.message);
    const SettingOverrides fromFile = settingsOfFile(file);
    if (const auto problem = settingsProblem(fromFile))
        return usageFailure(console, request.fromFile + QStringLiteral(": ") + *problem);

    QList<ListedUnit> fleet = listUnits();
    fleet.removeIf([kind](const ListedUnit &unit) { return unit.kind != kind; });
    if (fleet.isEmpty())
        return failure(console, QStringLiteral("No %1 is attached.").arg(packKindCaption(kind)));

    // Every unit's ID is planned and checked before the first unit is written.
    QList<int> ids;
    for (qsizetype position = 0; position < fleet.size(); ++position) {
        const int id = request.idStart ? *request.idStart + int(position) : *fromFile.id;
        if (const auto problem = settingsProblem(SettingOverrides{.id = id}))
            return usageFailure(console, QStringLiteral("%1 would get the ID %2: %3")
                                             .arg(deviceText(fleet[position].device))
                                             .arg(id)
                                             .arg(*problem));
        ids.append(id);
    }

    QList<FleetResult> results;
    for (qsizetype position = 0; position < fleet.size(); ++position) {
        const std::uint16_t device = fleet[position].device;
        SettingOverrides settings = fromFile;
        settings.id = ids[position];
        const UnitWriteResult written =
            withRecordOf(kind, [&](auto record) { return writeUnit(device, settings, record); });
        const bool ok = written.outcome == UnitWriteResult::Outcome::Written;
        const FleetResult result{device, ids[position], ok, ok ? OutcomeTexts::writtenToDevice : written.message};
        results.append(result);
        if (!request.json)
            console.out << fleetResultText(result) << Qt::flush;
        if (!ok)
            console.err << deviceText(device) << QStringLiteral(": ") << result.message << Qt::endl;
    }
    console.out << (request.json ? jsonLine(fleetResultsJson(results)) : fleetSummaryText(results, kind));
    const bool allWritten = std::all_of(results.begin(), results.end(), [](const FleetResult &r) { return r.ok; });
    return allWritten ? kExitSuccess : kExitFailure;
}

int runShow(const CliRequest &request, Console &console)
{
    Errortype error;
    const auto file = loadParameterFile(request.showFile, std::nullopt, error);
    if (error.status)
        return failure(console, error.message);
    return std::visit(
        [&](const auto &record) {
            console.out << (request.json ? jsonLine(fileSettingsJson(record)) : fileSettingsText(record));
            // A file the tool could not write to a unit is no valid file.
            if (const auto problem = settingsProblem(fileSettings(record)))
                return usageFailure(console, request.showFile + QStringLiteral(": ") + *problem);
            return int(kExitSuccess);
        },
        *file);
}

} // namespace

int usageFailure(Console &console, const QString &problem)
{
    console.err << QStringLiteral("nerio-cli: ") << problem << QStringLiteral(" Try 'nerio-cli --help'.") << Qt::endl;
    return kExitUsage;
}

int runCommand(const CliRequest &request, Console &console)
{
    switch (request.command) {
    case CliCommand::List:
        return runList(request, console);
    case CliCommand::Read:
        return runRead(request, console);
    case CliCommand::Write:
        return runWrite(request, console);
    case CliCommand::WriteAll:
        return runWriteAll(request, console);
    case CliCommand::Show:
        return runShow(request, console);
    }
    return kExitUsage;
}
