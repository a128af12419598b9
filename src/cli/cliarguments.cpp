#include "cliarguments.h"

#include "packparameters/settingranges.h"
#include "simulatedunits.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <limits>
#include <set>

namespace {

namespace Option {
const QString json = QStringLiteral("json");
const QString trace = QStringLiteral("trace");
const QString simulate = QStringLiteral("simulate");
const QString device = QStringLiteral("device");
const QString kind = QStringLiteral("kind");
const QString save = QStringLiteral("save");
const QString from = QStringLiteral("from");
const QString id = QStringLiteral("id");
const QString rfPower = QStringLiteral("rf-power");
const QString startupVolume = QStringLiteral("startup-volume");
const QString micSensitivity = QStringLiteral("mic-sensitivity");
const QString sideTone = QStringLiteral("side-tone");
const QString ptt = QStringLiteral("ptt");
const QString all = QStringLiteral("all");
const QString idStart = QStringLiteral("id-start");
} // namespace Option

const QString kDescription = QStringLiteral(
    "Reads and writes the settings of Nerio bodypacks and aircraft packs over USB,\n"
    "with the same frames and parameter files as the Nerio Configuration window.\n"
    "\n"
    "Commands:\n"
    "  list                    The attached units: device number, kind, description.\n"
    "  read                    Read all settings of a unit [--device] [--kind] [--save].\n"
    "  write                   Read a unit, lay the file's settings (--from) and the\n"
    "                          setting options over them, and write the whole set.\n"
    "  write --all             Write a file's settings to every unit of --kind, in\n"
    "                          device order, with IDs from --id-start.\n"
    "  show FILE               Check a parameter file and print its settings.");

const QString kEpilogue = QStringLiteral(
    "\n"
    "Exit status: 0 success; 1 a unit or file operation failed (its message on\n"
    "stderr); 2 bad usage or a value out of range.\n"
    "\n"
    "With --simulate, %1 may list other simulated units,\n"
    "e.g. \"bodypack,bodypack:unplug-at=10,aircraft\" (see docs/cli.md).\n");

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();

    Parser()
    {
        parser.setApplicationDescription(kDescription);
        parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("list, read, write or show."));
        parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The parameter file that show checks."),
                                     QStringLiteral("[FILE]"));
        parser.addOptions({
            {Option::json, QStringLiteral("Print machine-readable JSON.")},
            {Option::trace, QStringLiteral("Print every frame sent and received, in hex with times, to stderr.")},
            {Option::simulate, QStringLiteral("Use the built-in simulated units instead of USB.")},
            {Option::device, QStringLiteral("The unit's device number, as list shows it (default 0)."),
             QStringLiteral("N")},
            {Option::kind, QStringLiteral("bodypack or aircraft; by default the kind the unit reports."),
             QStringLiteral("K")},
            {Option::save, QStringLiteral("read: also save the settings to a parameter file."), QStringLiteral("FILE")},
            {Option::from, QStringLiteral("write: the parameter file whose settings are written."),
             QStringLiteral("FILE")},
            {Option::id, QStringLiteral("write: the ID, 0 to 9999."), QStringLiteral("N")},
            {Option::rfPower, QStringLiteral("write: the RF power, 0 to 127."), QStringLiteral("N")},
            {Option::startupVolume, QStringLiteral("write: the startup volume, 0 to 9."), QStringLiteral("N")},
            {Option::micSensitivity, QStringLiteral("write: the microphone sensitivity, 0 to 15 (bodypack)."),
             QStringLiteral("N")},
            {Option::sideTone,
             QStringLiteral("write: the side tone as its magnitude, 0 to 24 (the window shows 0 to -24; bodypack)."),
             QStringLiteral("N")},
            {Option::ptt, QStringLiteral("write: the PTT control, aircraft or microphone (bodypack); by default the "
                                         "unit keeps its own."),
             QStringLiteral("P")},
            {Option::all, QStringLiteral("write: every attached unit of --kind, with the settings of --from.")},
            {Option::idStart, QStringLiteral("write --all: consecutive IDs from N, in device order."),
             QStringLiteral("N")},
        });
    }

    QString helpText() const
    {
        return parser.helpText() + kEpilogue.arg(QLatin1String(kSimulatedUnitsVariable));
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
        return CliCommand::Read;
    if (name == u"write")
        return all ? CliCommand::WriteAll : CliCommand::Write;
    if (name == u"show")
        return CliCommand::Show;
    return std::nullopt;
}

std::set<QString> optionsOf(CliCommand command)
{
    using namespace Option;
    switch (command) {
    case CliCommand::List:
    case CliCommand::Show:
        return {};
    case CliCommand::Read:
        return {device, kind, save};
    case CliCommand::Write:
        return {device, kind, from, id, rfPower, startupVolume, micSensitivity, sideTone, ptt};
    case CliCommand::WriteAll:
        return {all, kind, from, idStart};
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
    case CliCommand::Write:
        return QStringLiteral("write");
    case CliCommand::WriteAll:
        return QStringLiteral("write --all");
    case CliCommand::Show:
        return QStringLiteral("show");
    }
    return {};
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
    SettingOverrides overrides;
    std::optional<int> device;
    std::optional<int> idStart;
    QString failure;
};

OptionValues numberOptions(const QCommandLineParser &parser)
{
    OptionValues values;
    QString &failure = values.failure;
    SettingOverrides &overrides = values.overrides;
    overrides.id = numberOption(parser, Option::id, failure);
    overrides.rfPower = numberOption(parser, Option::rfPower, failure);
    overrides.startupVolume = numberOption(parser, Option::startupVolume, failure);
    overrides.micSensitivity = numberOption(parser, Option::micSensitivity, failure);
    overrides.sideTone = numberOption(parser, Option::sideTone, failure);
    values.device = numberOption(parser, Option::device, failure);
    values.idStart = numberOption(parser, Option::idStart, failure);
    return values;
}

std::optional<int> pttSelection(const QString &name)
{
    if (name == u"aircraft")
        return 0;
    if (name == u"microphone")
        return 1;
    return std::nullopt;
}

} // namespace

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
        return problem(QStringLiteral("No command given; use list, read, write or show."));
    const QString name = positional.takeFirst();
    const auto command = commandNamed(name, parser.isSet(Option::all));
    if (!command)
        return problem(QStringLiteral("Unknown command '%1'; use list, read, write or show.").arg(name));

    CliRequest request;
    request.command = *command;
    request.json = parser.isSet(Option::json);
    request.trace = parser.isSet(Option::trace);
    request.simulate = parser.isSet(Option::simulate);

    if (request.command == CliCommand::Show) {
        if (positional.size() != 1)
            return problem(QStringLiteral("show takes one parameter file."));
        request.showFile = positional.first();
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
        if (*values.device < 0 || *values.device >= std::numeric_limits<std::uint16_t>::max())
            return problem(QStringLiteral("--device takes a device number as list shows it, not %1.")
                               .arg(*values.device));
        request.device = std::uint16_t(*values.device);
    }
    if (parser.isSet(Option::kind)) {
        request.kind = packKindFromName(parser.value(Option::kind));
        if (!request.kind)
            return problem(QStringLiteral("--kind takes bodypack or aircraft, not '%1'.").arg(parser.value(Option::kind)));
    }
    if (parser.isSet(Option::ptt)) {
        values.overrides.pttSel = pttSelection(parser.value(Option::ptt));
        if (!values.overrides.pttSel)
            return problem(QStringLiteral("--ptt takes aircraft or microphone, not '%1'.").arg(parser.value(Option::ptt)));
    }
    if (request.kind == PackKind::Aircraft && values.overrides.hasBodypackOnlySettings())
        return problem(QStringLiteral("--mic-sensitivity, --side-tone and --ptt are bodypack settings."));
    if (const auto rangeProblem = settingsProblem(values.overrides))
        return problem(*rangeProblem);
    request.overrides = values.overrides;
    for (const QString &fileOption : {Option::save, Option::from})
        if (parser.isSet(fileOption) && parser.value(fileOption).isEmpty())
            return problem(QStringLiteral("--%1 takes a file name.").arg(fileOption));
    request.saveFile = parser.value(Option::save);
    request.fromFile = parser.value(Option::from);

    if (request.command == CliCommand::WriteAll) {
        if (!request.kind || request.fromFile.isEmpty())
            return problem(QStringLiteral("write --all needs --kind and --from."));
        if (values.idStart) {
            SettingOverrides start;
            start.id = values.idStart;
            if (const auto idProblem = settingsProblem(start))
                return problem(QStringLiteral("--id-start: ") + *idProblem);
        }
        request.idStart = values.idStart;
    }
    return request;
}
