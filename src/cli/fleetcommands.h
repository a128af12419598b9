#pragma once

// The commands over every attached unit: the inventory (read --all) and fleet
// programming (write --all). Units are taken one after another in device
// order; one that fails does not stop the others.

#include "clicommands.h"

int runReadAll(const CliRequest &request, Console &console);
int runWriteAll(const CliRequest &request, Console &console);
