#include "cliarguments.h"

#include "backups.h"
#include "simulatedunits.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <limits>
#include <set>

using namespace Qt::StringLiterals;

namespace {

namespace Option {
const QString json = QStringLiteral("json");
const QString trace = QStringLiteral("trace");
const QString simulate = QStringLiteral("simulate");
const QString device = QStringLiteral("device");
const QString kind = QStringLiteral("kind");
const QString save = QStringLiteral("save");
const QString from = QStringLiteral("from");
const QString all = QStringLiteral("all");
const QString idStart = QStringLiteral("id-start");
const QString noBackup = QStringLiteral("no-backup");
const QString csv = QStringLiteral("csv");
const QString report = QStringLiteral("report");

QString of(Setting setting)
{
    return qText(settingInfo(setting).option);
}
} // namespace Option

// "--mic-sensitivity, --side-tone and --ptt": the options of the settings.
QString optionList(const QList<Setting> &settings)
{
    QStringList options;
    for (const Setting setting : settings)
        options.append(u"--"_s + Option::of(setting));
    const QString last = options.takeLast();
    return options.isEmpty() ? last : options.join(u", "_s) + u" and "_s + last;
}


// The kinds that have the setting, when not every kind has it: " (bodypack)".
QString kindsWith(Setting setting)
{
    QStringList owners;
    for (const PackKindInfo &kind : packKinds())
        if (kind.has(setting))
            owners.append(qText(kind.name));
    return owners.size() == qsizetype(packKinds().size()) ? QString() : u" ("_s + owners.join(u", "_s) + u')';
}

QString settingHelp(const SettingInfo &info)
{
    QString values;
    if (info.choices.empty()) {
        values = QStringLiteral("%1 to %2").arg(info.minimum).arg(info.maximum);
    } else {
        QStringList options;
        for (const SettingChoice &choice : info.choices)
            options.append(qText(choice.option));
        values = options.join(u" or "_s);
    }
    QString help = u"write: "_s + qText(info.name) + u", "_s + values;
    if (info.shownNegated)
        help += QStringLiteral(", its magnitude (the window shows 0 to -%1)").arg(info.maximum);
    help += kindsWith(info.setting);
    if (info.versioned)
        help += u"; by default the unit keeps its own"_s;
    return help + u'.';
}

const QString kDescription = QStringLiteral(
    "Reads and writes the settings of Nerio bodypacks and aircraft packs over USB,\n"
    "with the same frames and parameter files as the Nerio Configuration window.\n"
    "\n"
    "Commands:\n"
    "  list                    The attached units: device number, kind, description.\n"
    "  read                    Read all settings of a unit [--device] [--kind] [--save].\n"
    "  read --all              Read every attached unit (of --kind) in device order;\n"
    "                          --csv FILE also puts them in a table.\n"
    "  write                   Read a unit, lay the file's settings (--from) and the\n"
    "                          setting options over them, and write the whole set.\n"
    "  write --all             Write a file's settings to every unit of --kind, in\n"
    "                          device order, with IDs from --id-start; --report FILE\n"
    "                          puts each unit's outcome in a table.\n"
    "  restore BACKUP          Write a backup's settings back to a unit [--device].\n"
    "  diff A B                Compare the settings of two sources, each a parameter\n"
    "                          file, a backup or device:N (the unit, read live).\n"
    "  show FILE               Check a parameter file and print its settings.");

const QString kEpilogue = QStringLiteral(
    "\n"
    "Backups: write, write --all and restore first save the settings read from\n"
    "each unit, as read --json prints them, to $%1, else to\n"
    "$XDG_STATE_HOME/nerio-config/backups, else to ~/.local/state/nerio-config/backups,\n"
    "and print \"Backup: PATH\". When the backup cannot be saved, nothing is\n"
    "written. --no-backup skips it.\n"
    "\n"
    "Undoing a wrong write:\n"
    "  nerio-cli write --device 0 --from wrong.bpack   # prints Backup: PATH\n"
    "  nerio-cli diff PATH device:0                    # what the write changed\n"
    "  nerio-cli restore PATH --device 0\n"
    "\n"
    "Exit status: 0 success; 1 a unit or file operation failed (its message on\n"
    "stderr); 2 bad usage or a value out of range. diff: 0 the same, 1 different,\n"
    "2 trouble.\n"
    "\n"
    "With --simulate, %2 may list other simulated units,\n"
    "e.g. \"bodypack,bodypack:unplug-at=10,aircraft\" (see docs/cli.md).\n");

const QString kCommandNames = QStringLiteral("list, read, write, restore, diff or show");

QString kindNames()
{
    QStringList names;
    for (const PackKindInfo &kind : packKinds())
        names.append(qText(kind.name));
    return names.join(u" or "_s);
}

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();

    Parser()
    {
        parser.setApplicationDescription(kDescription);
        parser.addPositionalArgument(QStringLiteral("command"), kCommandNames + u'.');
        parser.addPositionalArgument(QStringLiteral("files"),
                                     QStringLiteral("show: a parameter file; restore: a backup; diff: two sources."),
                                     QStringLiteral("[FILE...]"));
        parser.addOptions({
            {Option::json, QStringLiteral("Print machine-readable JSON.")},
            {Option::trace, QStringLiteral("Print every frame sent and received, in hex with times, to stderr.")},
            {Option::simulate, QStringLiteral("Use the built-in simulated units instead of USB.")},
            {Option::device, QStringLiteral("The unit's device number, as list shows it (default 0)."),
             QStringLiteral("N")},
            {Option::kind, kindNames() + QStringLiteral("; by default the kind the unit reports."),
             QStringLiteral("K")},
            {Option::save, QStringLiteral("read: also save the settings to a parameter file."), QStringLiteral("FILE")},
            {Option::from, QStringLiteral("write: the parameter file whose settings are written."),
             QStringLiteral("FILE")},
            {Option::all, QStringLiteral("read: every attached unit (of --kind); write: every attached unit of "
                                         "--kind, with the settings of --from.")},
            {Option::idStart, QStringLiteral("write --all: consecutive IDs from N, in device order."),
             QStringLiteral("N")},
            {Option::csv, QStringLiteral("read --all: also write the units to a CSV table."), QStringLiteral("FILE")},
            {Option::report, QStringLiteral("write --all: also write each unit's outcome to a CSV table."),
             QStringLiteral("FILE")},
            {Option::noBackup, QStringLiteral("write, write --all, restore: save no backup of the unit first.")},
        });
        for (const SettingInfo &info : settings())
            parser.addOption({qText(info.option), settingHelp(info),
                              info.choices.empty() ? QStringLiteral("N") : QStringLiteral("P")});
    }

    QString helpText() const
    {
        // Qt names the program by the path it was started with; the help names it as users call it.
        QString text = parser.helpText();
        const QString usage = u"Usage: "_s;
        const QString startedAs = QCoreApplication::arguments().value(0);
        if (!startedAs.isEmpty() && text.startsWith(usage + startedAs))
            text.replace(usage.size(), startedAs.size(), QCoreApplication::applicationName());
        return text + kEpilogue.arg(QLatin1String(kBackupFolderVariable), QLatin1String(kSimulatedUnitsVariable));
    }
};

CliUsageProblem problem(const QString &text)
{
    return {text};
}

std::optional<CliCommand> commandNamed(const QString &name, bool all)
{
    if (name == u"list")
        return CliCommand::List;
    if (name == u"read")
        return all ? CliCommand::ReadAll : CliCommand::Read;
    if (name == u"write")
        return all ? CliCommand::WriteAll : CliCommand::Write;
    if (name == u"restore")
        return CliCommand::Restore;
    if (name == u"diff")
        return CliCommand::Diff;
    if (name == u"show")
        return CliCommand::Show;
    return std::nullopt;
}

std::set<QString> optionsOf(CliCommand command)
{
    using namespace Option;
    switch (command) {
    case CliCommand::List:
    case CliCommand::Diff:
    case CliCommand::Show:
        return {};
    case CliCommand::Read:
        return {device, kind, save};
    case CliCommand::ReadAll:
        return {all, kind, csv};
    case CliCommand::Write: {
        std::set<QString> options{device, kind, from, noBackup};
        for (const SettingInfo &info : settings())
            options.insert(of(info.setting));
        return options;
    }
    case CliCommand::WriteAll:
        return {all, kind, from, idStart, noBackup, report};
    case CliCommand::Restore:
        return {device, noBackup};
    }
    return {};
}

QString commandText(CliCommand command)
{
    switch (command) {
    case CliCommand::List:
        return QStringLiteral("list");
    case CliCommand::Read:
        return QStringLiteral("read");
    case CliCommand::ReadAll:
        return QStringLiteral("read --all");
    case CliCommand::Write:
        return QStringLiteral("write");
    case CliCommand::WriteAll:
        return QStringLiteral("write --all");
    case CliCommand::Restore:
        return QStringLiteral("restore");
    case CliCommand::Diff:
        return QStringLiteral("diff");
    case CliCommand::Show:
        return QStringLiteral("show");
    }
    return {};
}

// A device number as list shows it: the highest 16-bit number stands for no selection.
std::optional<std::uint16_t> deviceNumber(int number)
{
    if (number < 0 || number >= std::numeric_limits<std::uint16_t>::max())
        return std::nullopt;
    return std::uint16_t(number);
}

// "device:N" names a unit, anything else a file.
std::optional<SettingsSource> settingsSource(const QString &text)
{
    const QString devicePrefix = QStringLiteral("device:");
    if (!text.startsWith(devicePrefix))
        return SettingsSource{std::nullopt, text};
    bool ok = false;
    const int number = text.mid(devicePrefix.size()).toInt(&ok, 10);
    const auto device = ok ? deviceNumber(number) : std::nullopt;
    if (!device)
        return std::nullopt;
    return SettingsSource{device, {}};
}

// A whole number as the option's value; std::nullopt with `failure` set otherwise.
std::optional<int> numberOption(const QCommandLineParser &parser, const QString &name, QString &failure)
{
    if (!parser.isSet(name))
        return std::nullopt;
    const QString text = parser.value(name);
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        failure = QStringLiteral("--%1 takes a whole number, not '%2'.").arg(name, text);
    return ok ? std::optional<int>(value) : std::nullopt;
}

struct OptionValues
{
    PackSettings overrides;
    std::optional<int> device;
    std::optional<int> idStart;
    QString failure;
};

OptionValues numberOptions(const QCommandLineParser &parser)
{
    OptionValues values;
    QString &failure = values.failure;
    for (const SettingInfo &info : settings())
        if (info.choices.empty())
            values.overrides.set(info.setting, numberOption(parser, Option::of(info.setting), failure));
    values.device = numberOption(parser, Option::device, failure);
    values.idStart = numberOption(parser, Option::idStart, failure);
    return values;
}

// A choice by its option name; `failure` set when the name is none of them.
void choiceOption(const QCommandLineParser &parser, const SettingInfo &info, PackSettings &values, QString &failure)
{
    const QString name = Option::of(info.setting);
    if (!parser.isSet(name))
        return;
    QStringList known;
    for (std::size_t position = 0; position < info.choices.size(); ++position) {
        known.append(qText(info.choices[position].option));
        if (parser.value(name) == known.last())
            values.set(info.setting, int(position));
    }
    if (!values.value(info.setting))
        failure = QStringLiteral("--%1 takes %2, not '%3'.").arg(name, known.join(u" or "_s), parser.value(name));
}

} // namespace

std::optional<QString> settingsOfOtherKinds(PackKind kind, const PackSettings &settings)
{
    QList<Setting> lacking;
    QStringList owners;
    for (const SettingInfo &info : ::settings()) {
        if (packKind(kind).has(info.setting))
            continue;
        lacking.append(info.setting);
        for (const PackKindInfo &other : packKinds())
            if (other.has(info.setting) && !owners.contains(qText(other.caption)))
                owners.append(qText(other.caption));
    }
    if (!settings.any(lacking))
        return std::nullopt;
    // All of them at once, so the user sees what goes with which kind.
    return optionList(lacking) + u" are "_s + owners.join(u" and "_s) + u" settings."_s;
}

ParsedArguments parseArguments(const QStringList &arguments)
{
    Parser setup;
    QCommandLineParser &parser = setup.parser;
    if (!parser.parse(arguments))
        return problem(parser.errorText());
    if (parser.isSet(setup.help))
        return CliText{setup.helpText()};
    if (parser.isSet(setup.version))
        return CliText{QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n'};

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return problem(QStringLiteral("No command given; use %1.").arg(kCommandNames));
    const QString name = positional.takeFirst();
    const auto command = commandNamed(name, parser.isSet(Option::all));
    if (!command)
        return problem(QStringLiteral("Unknown command '%1'; use %2.").arg(name, kCommandNames));

    CliRequest request;
    request.command = *command;
    request.json = parser.isSet(Option::json);
    request.trace = parser.isSet(Option::trace);
    request.simulate = parser.isSet(Option::simulate);
    request.backup = !parser.isSet(Option::noBackup);

    if (request.command == CliCommand::Show || request.command == CliCommand::Restore) {
        if (positional.size() != 1)
            return problem(request.command == CliCommand::Show ? QStringLiteral("show takes one parameter file.")
                                                               : QStringLiteral("restore takes one backup."));
        request.file = positional.first();
    } else if (request.command == CliCommand::Diff) {
        if (positional.size() != 2)
            return problem(QStringLiteral("diff takes two sources: parameter files, backups or device:N."));
        for (const QString &text : positional) {
            const auto source = settingsSource(text);
            if (!source)
                return problem(QStringLiteral("diff takes a device as device:N, N as list shows it, not '%1'.")
                                   .arg(text));
            request.sources.append(*source);
        }
    } else if (!positional.isEmpty()) {
        return problem(QStringLiteral("%1 takes no argument '%2'.").arg(name, positional.first()));
    }

    const std::set<QString> globalOptions{Option::json, Option::trace, Option::simulate};
    const std::set<QString> allowed = optionsOf(request.command);
    for (const QString &option : parser.optionNames())
        if (!globalOptions.contains(option) && !allowed.contains(option))
            return problem(QStringLiteral("--%1 does not go with %2.").arg(option, commandText(request.command)));

    OptionValues values = numberOptions(parser);
    if (!values.failure.isEmpty())
        return problem(values.failure);
    if (values.device) {
        const auto device = deviceNumber(*values.device);
        if (!device)
            return problem(QStringLiteral("--device takes a device number as list shows it, not %1.")
                               .arg(*values.device));
        request.device = *device;
    }
    if (parser.isSet(Option::kind)) {
        request.kind = packKindNamed(parser.value(Option::kind).toStdString());
        if (!request.kind)
            return problem(QStringLiteral("--kind takes %1, not '%2'.").arg(kindNames(), parser.value(Option::kind)));
    }
    for (const SettingInfo &info : settings())
        if (!info.choices.empty())
            choiceOption(parser, info, values.overrides, values.failure);
    if (!values.failure.isEmpty())
        return problem(values.failure);
    if (request.kind)
        if (const auto foreign = settingsOfOtherKinds(*request.kind, values.overrides))
            return problem(*foreign);
    if (const auto rangeProblem = settingsProblem(values.overrides))
        return problem(*rangeProblem);
    request.overrides = values.overrides;
    for (const QString &fileOption : {Option::save, Option::from, Option::csv, Option::report})
        if (parser.isSet(fileOption) && parser.value(fileOption).isEmpty())
            return problem(QStringLiteral("--%1 takes a file name.").arg(fileOption));
    request.saveFile = parser.value(Option::save);
    request.fromFile = parser.value(Option::from);
    request.csvFile = parser.value(Option::csv);
    request.reportFile = parser.value(Option::report);

    if (request.command == CliCommand::WriteAll) {
        if (!request.kind || request.fromFile.isEmpty())
            return problem(QStringLiteral("write --all needs --kind and --from."));
        if (values.idStart) {
            PackSettings start;
            start.set(Setting::Id, values.idStart);
            if (const auto idProblem = settingsProblem(start))
                return problem(QStringLiteral("--id-start: ") + *idProblem);
        }
        request.idStart = values.idStart;
    }
    return request;
}
