// nerio-cli: the settings of bodypacks and aircraft packs from the command line.

#include "clirun.h"
#include "simulatedunits.h"

#include <QCoreApplication>

#ifdef _WIN32
#include "devicelink/windows/dllbridge.h"

#include <cstdio>
#else
#include "devicelink/usb/libusbbridge.h"
#endif

namespace {

#ifdef _WIN32
// Without the vendor's bridge library every command on units fails; say once
// what to install.
std::shared_ptr<BridgeBackend> usbBackend()
{
    auto bridge = std::make_shared<DllBridge>();
    if (const auto &problem = bridge->loadProblem())
        std::fprintf(stderr, "nerio-cli: %s\n", problem->c_str());
    return bridge;
}
#else
std::shared_ptr<BridgeBackend> usbBackend()
{
    return makeLibusbBridge();
}
#endif

std::optional<QString> simulatedUnitList()
{
    if (!qEnvironmentVariableIsSet(kSimulatedUnitsVariable))
        return std::nullopt;
    return qEnvironmentVariable(kSimulatedUnitsVariable);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nerio-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NERIO_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    Console console{out, err};
    return runCli(QCoreApplication::arguments(), simulatedUnitList(), usbBackend, console);
}
