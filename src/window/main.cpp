// nerio-config: the configuration tool for units attached over USB.

#include "configurationtool.h"

#include <cstdio>

int main(int argc, char **argv)
{
    return runConfigurationTool(argc, argv, [] {
        std::fputs("nerio-config: no USB backend is built into this program, so no units can be found.\n", stderr);
        return std::shared_ptr<BridgeBackend>();
    });
}
