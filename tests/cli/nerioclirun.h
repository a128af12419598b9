#pragma once

// Running nerio-cli in the tests: the run and its output, the demo units'
// records. runNerioCli starts the program itself, at NERIO_CLI_PATH; tests
// that run the commands in-process leave that undefined.

#include "support/fixtures.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <utility>

using namespace Qt::StringLiterals;

// What the demo units hold (SimulatedUnit::demoBodypack and demoAircraftPack).
inline const QJsonObject kDemoBodypack{
    {u"device"_s, 0},         {u"kind"_s, u"bodypack"_s},   {u"id"_s, 1234},       {u"rf_power"_s, 90},
    {u"startup_volume"_s, 6}, {u"mic_sensitivity"_s, 7},    {u"side_tone"_s, 10},  {u"ptt_sel"_s, 1},
    {u"sv"_s, u"105"_s},      {u"version"_s, u"1.0.5"_s},   {u"batt_voltage"_s, u"3.7"_s}, {u"rssi"_s, 57},
};
inline const QJsonObject kDemoAircraftPack{
    {u"device"_s, 1},     {u"kind"_s, u"aircraft"_s},  {u"id"_s, 38},
    {u"rf_power"_s, 127}, {u"startup_volume"_s, 4},    {u"sv"_s, u"210"_s},
    {u"version"_s, u"2.1.0"_s}, {u"batt_voltage"_s, u"4.1"_s}, {u"rssi"_s, 63},
};

inline QStringList args(std::initializer_list<const char *> words)
{
    QStringList list;
    for (const char *word : words)
        list.append(QString::fromUtf8(word));
    return list;
}

inline QJsonObject with(QJsonObject object, std::initializer_list<std::pair<const char *, QJsonValue>> changes)
{
    for (const auto &[key, value] : changes)
        object.insert(QLatin1String(key), value);
    return object;
}

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;

    // stderr without the frame trace.
    QStringList messages() const
    {
        QStringList lines = err.split(u'\n', Qt::SkipEmptyParts);
        lines.removeIf([](const QString &line) { return line.startsWith(u"nerio: "_s); });
        return lines;
    }
    bool sent(const QString &frame) const { return err.contains(u"-> "_s + frame + u'\n'); }
    bool sentStartingWith(const QString &frame) const { return err.contains(u"-> "_s + frame); }
    // A write or command frame: the unit was changed.
    bool sentAnyWrite() const
    {
        static const QRegularExpression writeOrCommand(u"-> [0-9a-f]{2} (57|43) "_s);
        return err.contains(writeOrCommand);
    }
    QJsonValue json() const
    {
        const QJsonDocument document = QJsonDocument::fromJson(out.toUtf8());
        return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    }
};

#ifdef NERIO_CLI_PATH
// Runs nerio-cli to its end in `process`, which the caller has set up (its
// environment). A run that hangs is killed with the process.
inline Run runNerioCli(QProcess &process, const QStringList &arguments)
{
    process.start(QStringLiteral(NERIO_CLI_PATH), arguments);
    Run run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        run.err = u"nerio-cli did not end normally: "_s + QString::fromUtf8(process.readAllStandardError());
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
#endif
