#pragma once

#include "packparameters.h"

// Moves a whole bodypack parameter set between a unit or a file and a record.
using C_Bodypackparameters = PackParameters<Body_cfg_params>;
