#pragma once

// What several test programs check against: the system's own messages, typed
// once here so that a changed word fails the tests; parameter files, exact to
// the byte or built from elements; a record whose every field differs from
// what units and files hold; and a folder for files.

#include "packparameters/packrecords.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <utility>

namespace Expected {
using namespace Qt::StringLiterals;
inline const QString readFromDevice = u"Parameters are successfully read."_s;
inline const QString written = u"Parameters are successfully written."_s;
inline const QString saved = u"Parameters succesfully saved to file."_s;
inline const QString loaded = u"Parameters successfully read from file."_s;
inline const QString wrongDevice = u"You tried to communicate with the wrong device. Please select another one."_s;
inline const QString noProductId = u"Could not read a product ID from the device. Probably no connection."_s;
inline const QString noResponse = u"No response from device."_s;
inline const QString writeFailed = u"Could not write to the device. Probably no connection."_s;
inline const QString fileReadFailed = u"An error occured while reading a parameter file."_s;
inline const QString fileWriteFailed = u"An error occured while writing a parameter file."_s;
} // namespace Expected

// The bodypack example: ID 1234, RF power 90, startup volume 6, side tone 10,
// mic sensitivity 7; 235 bytes.
inline const QByteArray kBodypackExample = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                                           "<Body_Parameters>\r\n"
                                           "<Unique_ID>1234</Unique_ID>\r\n"
                                           "<RF_Power>90</RF_Power>\r\n"
                                           "<Startup_Volume>6</Startup_Volume>\r\n"
                                           "<Side_Tone>10</Side_Tone>\r\n"
                                           "<Mic_Sensitivity>7</Mic_Sensitivity>\r\n"
                                           "</Body_Parameters>";

// The aircraft pack example: ID 38, RF power 127, startup volume 4; 175 bytes.
inline const QByteArray kAircraftPackExample = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                                               "<Aicraft_Parameters>\r\n"
                                               "<Unique_ID>38</Unique_ID>\r\n"
                                               "<RF_Power>127</RF_Power>\r\n"
                                               "<Startup_Volume>4</Startup_Volume>\r\n"
                                               "</Aicraft_Parameters>";

// A declaration and the root element around `children`, taken as they are.
inline QByteArray xmlDocument(const QByteArray &root, const QByteArray &children)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<" + root + ">" + children + "</" + root + ">";
}

// A file in the layout that the tool writes, with these elements.
inline QByteArray parameterFile(const QByteArray &root, const QList<std::pair<QByteArray, QByteArray>> &elements)
{
    QByteArray bytes = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<" + root + ">\r\n";
    for (const auto &[name, value] : elements)
        bytes += "<" + name + ">" + value + "</" + name + ">\r\n";
    return bytes + "</" + root + ">";
}

// Startup volume 3, side tone 12, mic sensitivity 5; `extraElement` after them.
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

// Fields that differ from every value a demo unit or an example file holds,
// to see which ones an operation has reached.
inline Body_cfg_params sentinelBodypackRecord()
{
    Body_cfg_params record;
    record.id = -1;
    record.rf_power = 201;
    record.startup_volume = 202;
    record.mic_sensitivity = 203;
    record.side_tone = 204;
    record.sv = QStringLiteral("sentinel");
    record.batt_voltage = BatteryVoltage(205);
    record.rssi = 206;
    record.ptt_sel = 207;
    return record;
}

// A folder of files for one test.
class FixtureFolder
{
public:
    bool isValid() const { return m_dir.isValid(); }
    QDir dir() const { return QDir(m_dir.path()); }
    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }
    QString path(const char *name) const { return path(QString::fromUtf8(name)); }
    // False unless the file was written whole.
    bool write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    bool write(const char *name, const QByteArray &bytes) const { return write(QString::fromUtf8(name), bytes); }
    QByteArray contents(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private:
    QTemporaryDir m_dir;
};
