#pragma once

// Running the nerio-cli program itself in the tests: the run and its output,
// the system's messages, the demo units' records and parameter files.
// NERIO_CLI_PATH is the path of the program.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <initializer_list>
#include <utility>

using namespace Qt::StringLiterals;

inline const QString kWrongDevice = u"You tried to communicate with the wrong device. Please select another one."_s;
inline const QString kNoProductId = u"Could not read a product ID from the device. Probably no connection."_s;
inline const QString kNoResponse = u"No response from device."_s;
inline const QString kWriteFailed = u"Could not write to the device. Probably no connection."_s;
inline const QString kFileReadFailed = u"An error occured while reading a parameter file."_s;
inline const QString kFileWriteFailed = u"An error occured while writing a parameter file."_s;
inline const QString kWritten = u"Parameters are successfully written."_s;

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

inline QByteArray parameterFile(const QByteArray &root, const QList<std::pair<QByteArray, QByteArray>> &elements)
{
    QByteArray bytes = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<" + root + ">\r\n";
    for (const auto &[name, value] : elements)
        bytes += "<" + name + ">" + value + "</" + name + ">\r\n";
    return bytes + "</" + root + ">";
}

// Startup volume 3, side tone 12, mic sensitivity 5.
inline QByteArray bodypackFile(const QByteArray &id, const QByteArray &rfPower, const QByteArray &extraElement = {})
{
    QList<std::pair<QByteArray, QByteArray>> elements{
        {"Unique_ID", id}, {"RF_Power", rfPower}, {"Startup_Volume", "3"}, {"Side_Tone", "12"}, {"Mic_Sensitivity", "5"}};
    if (!extraElement.isEmpty())
        elements.append({extraElement, "1"});
    return parameterFile("Body_Parameters", elements);
}

inline QByteArray aircraftPackFile()
{
    return parameterFile("Aicraft_Parameters", {{"Unique_ID", "500"}, {"RF_Power", "100"}, {"Startup_Volume", "2"}});
}

// A folder of parameter files for one test program.
class FixtureFolder
{
public:
    bool isValid() const { return m_dir.isValid(); }
    QString path(const char *name) const { return QDir(m_dir.path()).filePath(QString::fromUtf8(name)); }
    // False unless the file was written whole.
    bool write(const char *name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private:
    QTemporaryDir m_dir;
};
