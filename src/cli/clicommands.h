#pragma once

// The commands of nerio-cli, each from a checked request to its output and
// exit status. The bridge backend is installed before any of them runs.

#include "clirequest.h"

#include <QString>
#include <QTextStream>

enum CliExit : int {
    kExitSuccess = 0,
    kExitFailure = 1, // a unit or file operation failed
    kExitUsage = 2,   // bad usage or a value out of range
    // diff's, as diff(1) has them
    kDiffSame = 0,
    kDiffDifferent = 1,
    kDiffTrouble = 2, // a unit or file failed, or bad usage
};

struct Console
{
    QTextStream &out;
    QTextStream &err;
};

// Prints the problem in one line with a pointer to --help.
int usageFailure(Console &console, const QString &problem);

int runCommand(const CliRequest &request, Console &console);
