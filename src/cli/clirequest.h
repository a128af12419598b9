#pragma once

// What the command line asks for, once it has been understood and checked.

#include "packparameters/packsettings.h"

#include <QString>

#include <cstdint>
#include <optional>

enum class CliCommand { List, Read, Write, WriteAll, Show };

struct CliRequest
{
    CliCommand command = CliCommand::List;
    bool json = false;
    bool trace = false;
    bool simulate = false;
    std::uint16_t device = 0;
    std::optional<PackKind> kind;
    QString saveFile;            // read --save
    QString fromFile;            // write --from
    QString showFile;            // show FILE
    PackSettings overrides;      // write's setting options
    std::optional<int> idStart;  // write --all --id-start
};
