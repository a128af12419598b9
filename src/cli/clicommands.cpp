#include "clicommands.h"

#include "backups.h"
#include "cliarguments.h"
#include "commandsteps.h"
#include "common/outcometexts.h"
#include "fleetcommands.h"
#include "parameterfiles.h"
#include "recordformat.h"
#include "settingsources.h"
#include "unitread.h"
#include "unitwrite.h"

namespace {

QString indefiniteArticle(PackKind kind)
{
    return std::string_view("aeiou").find(packKind(kind).caption.front()) != std::string_view::npos
               ? QStringLiteral("an")
               : QStringLiteral("a");
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
    const auto reading = readUnit(request.device, request.kind, error);
    if (!reading)
        return unitFailure(console, error.message);
    console.out << (request.json ? jsonLine(unitRecordJson(*reading)) : unitRecordText(*reading));
    if (request.saveFile.isEmpty())
        return kExitSuccess;
    saveParameterFile(request.saveFile, reading->kind, reading->settings, error);
    if (error.status)
        return unitFailure(console, error.message);
    if (!request.json)
        console.out << OutcomeTexts::savedToFile << Qt::endl;
    return kExitSuccess;
}

// Writes one unit, after its backup, and prints the record written (with the
// backup's path) or the failure (after the backup's path, if it was saved).
int writeAndReport(const CliRequest &request, Console &console, PackKind kind, const PackSettings &settings,
                   UnitWriteOptions options)
{
    QString backup;
    options.beforeWrite = backupBeforeWrite(request, console, backup);
    const UnitWriteResult result = writeUnit(request.device, kind, settings, options);
    switch (result.outcome) {
    case UnitWriteResult::Outcome::Failed:
        if (request.json && !backup.isEmpty())
            console.out << jsonLine(QJsonObject{{RecordKeys::device, request.device},
                                                {RecordKeys::error, result.message},
                                                {RecordKeys::backup, backup}});
        return unitFailure(console, result.message);
    case UnitWriteResult::Outcome::Refused:
        return usageFailure(console, deviceText(request.device) + QStringLiteral(": ") + result.message);
    case UnitWriteResult::Outcome::Written:
        break;
    }
    if (request.json) {
        QJsonObject record = unitRecordJson(*result.written);
        if (!backup.isEmpty())
            record.insert(RecordKeys::backup, backup);
        console.out << jsonLine(record);
    } else {
        console.out << unitRecordText(*result.written) << OutcomeTexts::writtenToDevice << Qt::endl;
    }
    return kExitSuccess;
}

int runWrite(const CliRequest &request, Console &console)
{
    // The file and every value in it are checked before the unit is touched.
    Errortype error;
    std::optional<FileSettings> file;
    if (!request.fromFile.isEmpty()) {
        file = loadParameterFile(request.fromFile, request.kind, error);
        if (error.status)
            return unitFailure(console, error.message);
        if (const auto problem = settingsProblem(file->settings))
            return usageFailure(console, request.fromFile + QStringLiteral(": ") + *problem);
    }

    std::optional<PackKind> kind = request.kind;
    if (!kind && file)
        kind = file->kind;
    if (!kind)
        kind = kindOfUnit(request.device, error);
    if (error.status)
        return unitFailure(console, error.message);
    if (const auto foreign = settingsOfOtherKinds(*kind, request.overrides))
        return usageFailure(console, QStringLiteral("%1 is written as %2 %3; %4")
                                         .arg(deviceText(request.device), indefiniteArticle(*kind),
                                              qText(packKind(*kind).caption), *foreign));

    const PackSettings settings = (file ? file->settings : PackSettings()).overlaidBy(request.overrides);
    return writeAndReport(request, console, *kind, settings, {});
}

int runRestore(const CliRequest &request, Console &console)
{
    Errortype error;
    const auto backup = loadBackup(request.file, error);
    if (!backup)
        return unitFailure(console, request.file + QStringLiteral(": ") + error.message);
    if (const auto problem = settingsProblem(backup->settings))
        return usageFailure(console, request.file + QStringLiteral(": ") + *problem);
    // The backup holds the PTT selection of a newer unit; an older unit has none to take.
    return writeAndReport(request, console, backup->kind, backup->settings,
                          {UnitWriteOptions::NewerSettings::SkipOnOlderUnits, {}});
}

QString sourceText(const SettingsSource &source)
{
    return source.device ? QStringLiteral("device:%1").arg(*source.device) : source.file;
}

int runDiff(const CliRequest &request, Console &console)
{
    QList<FileSettings> sides;
    for (const SettingsSource &source : request.sources) {
        Errortype error;
        const auto settings = loadSettings(source, error);
        if (!settings) {
            console.err << sourceText(source) << QStringLiteral(": ") << error.message << Qt::endl;
            return kDiffTrouble;
        }
        sides.append(*settings);
    }
    if (sides[0].kind != sides[1].kind) {
        console.err << QStringLiteral("%1 holds %2 settings, %3 %4 settings; diff compares settings of one kind.")
                           .arg(sourceText(request.sources[0]), qText(packKind(sides[0].kind).caption),
                                sourceText(request.sources[1]), qText(packKind(sides[1].kind).caption))
                    << Qt::endl;
        return kDiffTrouble;
    }
    const QList<SettingDifference> differences = differingSettings(sides[0], sides[1]);
    console.out << (request.json ? jsonLine(differencesJson(differences)) : differencesText(differences));
    return differences.isEmpty() ? kDiffSame : kDiffDifferent;
}

int runShow(const CliRequest &request, Console &console)
{
    Errortype error;
    const auto file = loadParameterFile(request.file, std::nullopt, error);
    if (error.status)
        return unitFailure(console, error.message);
    console.out << (request.json ? jsonLine(fileSettingsJson(file->kind, file->settings))
                                 : fileSettingsText(file->kind, file->settings));
    // A file the tool could not write to a unit is no valid file.
    if (const auto problem = settingsProblem(file->settings))
        return usageFailure(console, request.file + QStringLiteral(": ") + *problem);
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
    case CliCommand::ReadAll:
        return runReadAll(request, console);
    case CliCommand::Write:
        return runWrite(request, console);
    case CliCommand::WriteAll:
        return runWriteAll(request, console);
    case CliCommand::Restore:
        return runRestore(request, console);
    case CliCommand::Diff:
        return runDiff(request, console);
    case CliCommand::Show:
        return runShow(request, console);
    }
    return kExitUsage;
}
