#pragma once

// The program's entry, shared by the real tool and the demo: they differ only
// in the bridge backend through which the window reaches units.

#include "devicelink/siusbbridge.h"

#include <functional>
#include <memory>

// Gives the backend to install, or nullptr for none (then no unit is listed).
using BridgeBackendFactory = std::function<std::shared_ptr<BridgeBackend>()>;

// Shows the window until it is closed. The command line is left to Qt; the
// exit code is always 0.
int runConfigurationTool(int &argc, char **argv, const BridgeBackendFactory &makeBackend);
