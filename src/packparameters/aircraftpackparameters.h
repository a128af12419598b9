#pragma once

#include "packparameters.h"

// Moves a whole aircraft pack parameter set between a unit or a file and a record.
using C_Aircraftpackparameters = PackParameters<Aircraft_cfg_params>;
