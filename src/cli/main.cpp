// nerio-cli: the settings of bodypacks and aircraft packs from the command line.

#include "clirun.h"
#include "devicelink/usb/libusbbridge.h"
#include "simulatedunits.h"

#include <QCoreApplication>

namespace {

std::shared_ptr<BridgeBackend> usbBackend()
{
    return makeLibusbBridge();
}

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
