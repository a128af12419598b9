#pragma once

// Turns the command line into a request, with QCommandLineParser doing the
// parsing; every option value is checked here, before any unit is touched.

#include "clirequest.h"
#include "packparameters/packsettings.h"

#include <QString>
#include <QStringList>

#include <variant>

// --help or --version: the text to print before ending with success.
struct CliText
{
    QString text;
};

// A command line that cannot be run; the text says why, in one line.
struct CliUsageProblem
{
    QString text;
};

using ParsedArguments = std::variant<CliRequest, CliText, CliUsageProblem>;

ParsedArguments parseArguments(const QStringList &arguments);

// "--mic-sensitivity, --side-tone and --ptt are bodypack settings." when
// `settings` gives a value to any setting that `kind` lacks.
std::optional<QString> settingsOfOtherKinds(PackKind kind, const PackSettings &settings);
