#include "clirun.h"

#include "cliarguments.h"
#include "devicelink/frametrace.h"
#include "simulatedunits.h"

namespace {

// Installs the units the command works with; false when the simulated units
// are not understood (the problem already reported).
bool installUnits(const CliRequest &request, const std::optional<QString> &simulatedUnitList,
                  const BridgeBackendFactory &usbBackend, Console &console)
{
    if (request.simulate) {
        const SimulatedUnitsSetup setup = simulatedUnits(simulatedUnitList);
        if (!setup.bridge) {
            usageFailure(console, setup.problem);
            return false;
        }
        installBridgeBackend(setup.bridge);
        return true;
    }
    installBridgeBackend(usbBackend());
    return true;
}

} // namespace

int runCli(const QStringList &arguments, const std::optional<QString> &simulatedUnitList,
           const BridgeBackendFactory &usbBackend, Console &console)
{
    const ParsedArguments parsed = parseArguments(arguments);
    if (const auto *text = std::get_if<CliText>(&parsed)) {
        console.out << text->text << Qt::flush;
        return kExitSuccess;
    }
    if (const auto *problem = std::get_if<CliUsageProblem>(&parsed))
        return usageFailure(console, problem->text);

    const CliRequest &request = std::get<CliRequest>(parsed);
    if (request.command != CliCommand::Show && !installUnits(request, simulatedUnitList, usbBackend, console))
        return kExitUsage;
    if (request.trace)
        enableFrameTrace(FrameTraceTimes::On);
    return runCommand(request, console);
}
