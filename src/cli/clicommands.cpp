#include "clicommands.h"

#include "cliarguments.h"
#include "common/outcometexts.h"
#include "packparameters/packparameters.h"
#include "parameterfiles.h"
#include "recordformat.h"
#include "unitkind.h"
#include "unitwrite.h"

#include <algorithm>

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

QString indefiniteArticle(PackKind kind)
{
    return std::string_view("aeiou").find(packKind(kind).caption.front()) != std::string_view::npos
               ? QStringLiteral("an")
               : QStringLiteral("a");
}

void printUnitRecord(Console &console, const CliRequest &request, const UnitReading &reading)
{
    console.out << (request.json ? jsonLine(unitRecordJson(reading)) : unitRecordText(reading));
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
        PackParameters<decltype(record)> pack;
        pack.read_params(request.device, record, error);
        if (error.status)
            return failure(console, error.message);
        printUnitRecord(console, request, readingOf(request.device, record));
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
    std::optional<FileSettings> file;
    if (!request.fromFile.isEmpty()) {
        file = loadParameterFile(request.fromFile, request.kind, error);
        if (error.status)
            return failure(console, error.message);
        if (const auto problem = settingsProblem(file->settings))
            return usageFailure(console, request.fromFile + QStringLiteral(": ") + *problem);
    }

    std::optional<PackKind> kind = request.kind;
    if (!kind && file)
        kind = file->kind;
    if (!kind)
        kind = kindOfUnit(request.device, error);
    if (error.status)
        return failure(console, error.message);
    if (const auto foreign = settingsOfOtherKinds(*kind, request.overrides))
        return usageFailure(console, QStringLiteral("%1 is written as %2 %3; %4")
                                         .arg(deviceText(request.device), indefiniteArticle(*kind),
                                              qText(packKind(*kind).caption), *foreign));

    const PackSettings settings = (file ? file->settings : PackSettings()).overlaidBy(request.overrides);
    const UnitWriteResult result = writeUnit(request.device, *kind, settings);
    switch (result.outcome) {
    case UnitWriteResult::Outcome::Failed:
        return failure(console, result.message);
    case UnitWriteResult::Outcome::Refused:
        return usageFailure(console, deviceText(request.device) + QStringLiteral(": ") + result.message);
    case UnitWriteResult::Outcome::Written:
        break;
    }
    printUnitRecord(console, request, result.unit);
    if (!request.json)
        console.out << OutcomeTexts::writtenToDevice << Qt::endl;
    return kExitSuccess;
}

int runWriteAll(const CliRequest &request, Console &console)
{
    const PackKind kind = *request.kind;
    Errortype error;
    const auto file = loadParameterFile(request.fromFile, kind, error);
    if (error.status)
        return failure(console, error.message);
    const PackSettings &fromFile = file->settings;
    if (const auto problem = settingsProblem(fromFile))
        return usageFailure(console, request.fromFile + QStringLiteral(": ") + *problem);

    QList<ListedUnit> fleet = listUnits();
    fleet.removeIf([kind](const ListedUnit &unit) { return kindOf(unit) != kind; });
    if (fleet.isEmpty())
        return failure(console, QStringLiteral("No %1 is attached.").arg(qText(packKind(kind).caption)));

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
    for (qsizetype position = 0; position < fleet.size(); ++position) {
        const std::uint16_t device = fleet[position].device;
        PackSettings settings = fromFile;
        settings.set(Setting::Id, ids[position]);
        const UnitWriteResult written = writeUnit(device, kind, settings);
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
    console.out << (request.json ? jsonLine(fileSettingsJson(file->kind, file->settings))
                                 : fileSettingsText(file->kind, file->settings));
    // A file the tool could not write to a unit is no valid file.
    if (const auto problem = settingsProblem(file->settings))
        return usageFailure(console, request.showFile + QStringLiteral(": ") + *problem);
    return kExitSuccess;
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
