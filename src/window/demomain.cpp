// nerio-config-demo: the configuration tool on simulated units, a bodypack
// and an aircraft pack, so that it can be tried without hardware.

#include "configurationtool.h"
#include "devicelink/simulated/simulatedbridge.h"

int main(int argc, char **argv)
{
    return runConfigurationTool(argc, argv, [] { return SimulatedBridge::withDemoUnits(); });
}
