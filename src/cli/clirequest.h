#pragma once

// What the command line asks for, once it has been understood and checked.

#include "packparameters/packsettings.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

enum class CliCommand { List, Read, ReadAll, Write, WriteAll, Restore, Diff, Show };

// One side of a diff: a unit, read live ("device:N"), or a file.
struct SettingsSource
{
    std::optional<std::uint16_t> device;
    QString file;
};

struct CliRequest
{
    CliCommand command = CliCommand::List;
    bool json = false;
    bool trace = false;
    bool simulate = false;
    bool backup = true;          // write, write --all and restore; --no-backup
    std::uint16_t device = 0;
    std::optional<PackKind> kind;
    QString saveFile;            // read --save
    QString csvFile;             // read --all --csv
    QString fromFile;            // write --from
    QString reportFile;          // write --all --report
    QString file;                // show FILE, restore BACKUP
    QList<SettingsSource> sources; // diff A B
    PackSettings overrides;      // write's setting options
    std::optional<int> idStart;  // write --all --id-start
};
