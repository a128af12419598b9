#pragma once

// Ties each record type to its pack class and kind, so that a command can be
// written once for both kinds.

#include "packkind.h"
#include "packparameters/aircraftpackparameters.h"
#include "packparameters/bodypackparameters.h"

template <typename Record>
struct PackTraits;

template <>
struct PackTraits<Body_cfg_params>
{
    using Pack = C_Bodypackparameters;
    static constexpr PackKind kind = PackKind::Bodypack;
};

template <>
struct PackTraits<Aircraft_cfg_params>
{
    using Pack = C_Aircraftpackparameters;
    static constexpr PackKind kind = PackKind::Aircraft;
};

// Calls `f` with a fresh record of the kind's type and returns what it returns.
template <typename F>
decltype(auto) withRecordOf(PackKind kind, F &&f)
{
    if (kind == PackKind::Bodypack)
        return f(Body_cfg_params{});
    return f(Aircraft_cfg_params{});
}
