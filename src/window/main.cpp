// nerio-config: the configuration tool for units attached over USB.

#include "configurationtool.h"
#include "devicelink/frametrace.h"
#include "devicelink/usb/libusbbridge.h"

int main(int argc, char **argv)
{
    // NERIO_TRACE=1 prints every frame in hex to stderr, for support.
    enableFrameTraceFromEnvironment();
    return runConfigurationTool(argc, argv, makeLibusbBridge);
}
