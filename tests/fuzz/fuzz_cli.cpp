// The command line's input, called as functions: the input is UTF-8 text
// whose first line is the NERIO_SIMULATED_UNITS list and whose further lines
// are the arguments after the program name.

#include "cli/cliarguments.h"
#include "cli/simulatedunits.h"
#include "fuzzinput.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

void checkUnitList(const QString &unitList)
{
    const SimulatedUnitsSetup setup = simulatedUnits(unitList);
    requireProperty(bool(setup.bridge) == setup.problem.isEmpty(), "a unit list gives units or says why not");
    if (setup.bridge) {
        std::uint32_t count = 0;
        requireProperty(setup.bridge->getNumDevices(count) == kBridgeSuccess
                            && count == std::uint32_t(unitList.isEmpty() ? 0 : unitList.count(u',') + 1),
                        "a unit list attaches one unit per item");
    }
}

void checkArguments(const QStringList &arguments)
{
    const ParsedArguments parsed = parseArguments(arguments);
    if (const auto *problem = std::get_if<CliUsageProblem>(&parsed)) {
        requireProperty(!problem->text.isEmpty() && !problem->text.contains(u'\n'),
                        "a refused command line is told in one line");
        return;
    }
    const auto *request = std::get_if<CliRequest>(&parsed);
    if (!request)
        return;
    requireProperty(request->device < 65535, "the device number is one that a unit can have");
    for (const SettingInfo &info : settings()) {
        const auto value = request->overrides.value(info.setting);
        requireProperty(!value || info.contains(*value), "every setting given is within its range");
    }
    if (request->kind)
        requireProperty(!settingsOfOtherKinds(*request->kind, request->overrides),
                        "no setting is given that the kind lacks");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The help and version texts name the program after the application.
    static int argc = 1;
    static char name[] = "nerio-cli";
    static char *argv[] = {name, nullptr};
    static const QCoreApplication application(argc, argv);

    QStringList lines = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)).split(u'\n');
    checkUnitList(lines.takeFirst());
    checkArguments(QStringList{QStringLiteral("nerio-cli")} + lines);
    return 0;
}
