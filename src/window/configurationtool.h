#pragma once

// The program's entry, shared by the real tool and the demo: they differ only
// in the bridge backend through which the window reaches units.

#include "devicelink/siusbbridge.h"

// The backend is installed while the window runs; a factory that gives
// nullptr installs none, and then no unit is listed.
// Shows the window until it is closed. The command line is left to Qt; the
// exit code is always 0.
int runConfigurationTool(int &argc, char **argv, const BridgeBackendFactory &makeBackend);
