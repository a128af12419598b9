// Times nerio-cli's fleet commands on fleets of 1, 5 and 20 bodypacks, emulated
// on USB (umockdev) under the libusb backend and, to tell the command's own
// cost from the transport's, simulated in-process: the inventory (read --all), fleet
// programming with a backup of each unit (write --all) and without one
// (--no-backup), and for reference the read of one unit among the others.
// Each command runs in-process as nerio-cli runs it, from its arguments to its
// exit status, with a new backend each time. Each figure is the median of the
// rounds: the wall-clock time, and the CPU time of the whole process, which
// holds the emulated units' side of every exchange too and which other work
// on a busy machine disturbs far less. The time per unit should not grow with
// the fleet.
//
// Usage: bench_fleet [rounds]. It restarts itself under umockdev-wrapper when
// it does not run under it already. Times under umockdev measure the
// emulation, not units on a real bus.

#include "cli/backups.h"
#include "cli/clirun.h"
#include "devicelink/simulated/simulatedbridge.h"
#include "devicelink/usb/libusbbridge.h"
#include "support/fixtures.h"
#include "umockdevrestart.h"
#include "usb/emulatedunits.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <map>
#include <span>
#include <vector>

namespace {

QTextStream out(stdout);

constexpr int kFleetSizes[] = {1, 5, 20};

struct FleetCommand
{
    const char *name;
    QStringList arguments;
    bool wholeFleet = true; // false: the figure is for one unit whatever the fleet
};

struct Times
{
    double wallMs;
    double cpuMs;
};

double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// The median times of a run of the command; std::nullopt when a run failed.
std::optional<Times> timeCommand(const QStringList &arguments, const BridgeBackendFactory &backend, int rounds)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int round = 0; round < rounds; ++round) {
        QString printed;
        QString messages;
        QTextStream printedStream(&printed);
        QTextStream messageStream(&messages);
        Console console{printedStream, messageStream};
        QElapsedTimer timer;
        const double cpuStart = processCpuMs();
        timer.start();
        const int exitCode =
            runCli(QStringList{QStringLiteral("nerio-cli")} + arguments, std::nullopt, backend, console);
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(processCpuMs() - cpuStart);
        if (exitCode != 0) {
            messageStream.flush();
            out << arguments.join(u' ') << ": exit " << exitCode << ": " << messages << Qt::endl;
            return std::nullopt;
        }
    }
    return Times{median(wall), median(cpu)};
}

// Attached units, and the backend through which a command reaches them.
struct Fleet
{
    std::shared_ptr<void> units;
    BridgeBackendFactory backend;
};

Fleet emulatedFleet(int size)
{
    auto units = std::make_shared<EmulatedUnits>();
    for (int unit = 0; unit < size; ++unit)
        units->plug(SimulatedUnit::demoBodypack(), {1 + unit / 10, 1 + unit % 10});
    return {units, [] { return makeLibusbBridge(); }};
}

Fleet simulatedFleet(int size)
{
    auto bridge = std::make_shared<SimulatedBridge>();
    for (int unit = 0; unit < size; ++unit)
        bridge->plug(SimulatedUnit::demoBodypack());
    return {bridge, [bridge] { return bridge; }};
}

// Runs each command on fleets of each size and prints a row each, then how
// the time per unit at the largest fleet compares with that at one unit.
bool measure(const char *transport, Fleet (*attach)(int size), std::span<const FleetCommand> commands, int rounds)
{
    out << transport << Qt::endl;
    out << "                                    wall time           CPU time" << Qt::endl;
    out << "units  command                   per command  per unit  per command  per unit" << Qt::endl;
    std::map<QString, std::map<int, Times>> perUnit;
    bool ok = true;
    for (const int size : kFleetSizes) {
        const Fleet fleet = attach(size);
        for (const FleetCommand &command : commands) {
            const auto times = timeCommand(command.arguments, fleet.backend, rounds);
            if (!times) {
                ok = false;
                continue;
            }
            const double units = command.wholeFleet ? size : 1;
            const Times unit{times->wallMs / units, times->cpuMs / units};
            perUnit[QLatin1String(command.name)][size] = unit;
            out << qSetFieldWidth(5) << Qt::right << size << qSetFieldWidth(0) << "  " << qSetFieldWidth(24)
                << Qt::left << command.name << Qt::right << qSetFieldWidth(12) << QString::number(times->wallMs, 'f', 2)
                << qSetFieldWidth(10) << QString::number(unit.wallMs, 'f', 2) << qSetFieldWidth(13)
                << QString::number(times->cpuMs, 'f', 2) << qSetFieldWidth(10) << QString::number(unit.cpuMs, 'f', 2)
                << qSetFieldWidth(0) << Qt::endl;
        }
    }
    out << "per unit at " << kFleetSizes[2] << " units against " << kFleetSizes[0] << " unit (wall, CPU):" << Qt::endl;
    for (const FleetCommand &command : commands) {
        const auto &times = perUnit[QLatin1String(command.name)];
        if (!times.contains(kFleetSizes[0]) || !times.contains(kFleetSizes[2]))
            continue;
        const Times &one = times.at(kFleetSizes[0]);
        const Times &many = times.at(kFleetSizes[2]);
        out << "  " << qSetFieldWidth(24) << Qt::left << command.name << qSetFieldWidth(0) << "x"
            << QString::number(many.wallMs / one.wallMs, 'f', 2) << "  x" << QString::number(many.cpuMs / one.cpuMs, 'f', 2)
            << Qt::endl;
    }
    out << Qt::endl;
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    ensureUnderUmockdev(argv);
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    FixtureFolder files;
    if (!files.isValid() || !files.write("crew.bpack", bodypackFile("1234", "80")))
        return 1;
    qputenv(kBackupFolderVariable, files.path("backups").toUtf8());
    const FleetCommand commands[] = {
        {"read --all", {QStringLiteral("read"), QStringLiteral("--all")}},
        {"write --all", {QStringLiteral("write"), QStringLiteral("--all"), QStringLiteral("--kind"),
                         QStringLiteral("bodypack"), QStringLiteral("--id-start"), QStringLiteral("200"),
                         QStringLiteral("--from"), files.path("crew.bpack")}},
        {"write --all --no-backup", {QStringLiteral("write"), QStringLiteral("--all"), QStringLiteral("--no-backup"),
                                     QStringLiteral("--kind"), QStringLiteral("bodypack"), QStringLiteral("--id-start"),
                                     QStringLiteral("200"), QStringLiteral("--from"), files.path("crew.bpack")}},
        {"read (device 0 only)", {QStringLiteral("read")}, false},
    };

    out << "nerio-cli fleet commands on bodypacks, median of " << rounds << " rounds; times in ms" << Qt::endl
        << Qt::endl;
    bool ok = measure("libusb on umockdev", emulatedFleet, commands, rounds);
    ok = measure("simulated units", simulatedFleet, commands, rounds) && ok;
    return ok ? 0 : 1;
}
