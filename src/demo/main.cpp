// Runs one read, write, save and load round on the simulated units and says
// what it did, so that the library can be tried without hardware.

#include "devicelink/simulated/simulatedbridge.h"
#include "packparameters/aircraftpackparameters.h"
#include "packparameters/bodypackparameters.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

QTextStream out(stdout);

bool report(const char *step, const Errortype &error)
{
    out << step << ": " << (error.status ? error.message : QStringLiteral("ok")) << Qt::endl;
    return !error.status;
}

} // namespace

int main()
{
    installBridgeBackend(SimulatedBridge::withDemoUnits());
    QTemporaryDir folder;

    Errortype error;
    Body_cfg_params body;
    C_Bodypackparameters bodypack;
    bodypack.read_params(0, body, error);
    if (!report("Read bodypack on device 0", error))
        return 1;
    out << "  ID " << body.id << ", RF power " << body.rf_power << ", startup volume " << body.startup_volume
        << ", mic sensitivity " << body.mic_sensitivity << ", side tone -" << body.side_tone << ", PTT "
        << body.ptt_sel << ", version " << body.sv << ", battery " << body.batt_voltage.toString() << " V, RSSI "
        << body.rssi << Qt::endl;

    body.rf_power = 100;
    body.sv = QStringLiteral("1.0.5");
    bodypack.write_params(0, body, error);
    report("Write bodypack with RF power 100", error);

    const QString bodyFile = QDir(folder.path()).filePath(QStringLiteral("demo.bpack"));
    bodypack.save_to_file(bodyFile, body, error);
    report(qPrintable(QStringLiteral("Save to ") + bodyFile), error);
    Body_cfg_params loaded;
    bodypack.load_from_file(bodyFile, loaded, error);
    report("Load it back", error);
    out << "  ID " << loaded.id << ", RF power " << loaded.rf_power << Qt::endl;

    Aircraft_cfg_params aircraft;
    C_Aircraftpackparameters aircraftPack;
    aircraftPack.read_params(1, aircraft, error);
    report("Read aircraft pack on device 1", error);
    out << "  ID " << aircraft.id << ", RF power " << aircraft.rf_power << ", battery "
        << aircraft.batt_voltage.toString() << " V" << Qt::endl;

    Errortype wrongKind;
    Aircraft_cfg_params notAnAircraftPack;
    aircraftPack.read_params(0, notAnAircraftPack, wrongKind);
    report("Read device 0 as an aircraft pack", wrongKind);
    return error.status ? 1 : 0;
}
