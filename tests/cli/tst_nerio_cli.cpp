// Runs the nerio-cli program itself against its simulated units and checks
// what it prints and how it ends.

#include "nerioclirun.h"

#include <QTest>

namespace {

// NERIO_SIMULATED_UNITS left unset: the demo's bodypack and aircraft pack.
const QString kDemoUnits = u"demo"_s;

// `units` is the value of NERIO_SIMULATED_UNITS, or kDemoUnits to leave it unset.
Run nerioCli(const QStringList &arguments, const QString &units = kDemoUnits)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"NERIO_SIMULATED_UNITS"_s);
    if (units != kDemoUnits)
        environment.insert(u"NERIO_SIMULATED_UNITS"_s, units);
    QProcess process;
    process.setProcessEnvironment(environment);
    return runNerioCli(process, arguments);
}

Run simulated(const QStringList &arguments, const QString &units = kDemoUnits)
{
    return nerioCli(QStringList{u"--simulate"_s} + arguments, units);
}

} // namespace

class TestNerioCli : public QObject
{
    Q_OBJECT

    FixtureFolder m_files;

    QString path(const char *name) const { return m_files.path(name); }
    QString bodyFile() const { return path("body.bpack"); }
    QString aircraftFile() const { return path("aircraft.apack"); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        qputenv("NERIO_BACKUP_DIR", path("backups").toUtf8());
        QVERIFY(m_files.write("body.bpack", bodypackFile("1234", "80")));
        QVERIFY(m_files.write("aircraft.apack", aircraftPackFile()));
        QVERIFY(m_files.write("notxml.bpack", "this is no parameter file"));
        QVERIFY(m_files.write("extra.bpack", bodypackFile("1234", "80", "Extra")));
        QVERIFY(m_files.write("rf200.bpack", bodypackFile("1234", "200")));
        QVERIFY(m_files.write("id1005.bpack", bodypackFile("1005", "80")));
    }

    void helpListsEveryCommandAndOption()
    {
        const Run run = nerioCli(args({"--help"}));
        QCOMPARE(run.exitCode, 0);
        for (const char *word : {"list", "read", "read --all", "write", "write --all", "restore BACKUP", "diff A B",
                                 "show FILE", "--json", "--trace", "--simulate", "--help", "--version", "--device <N>",
                                 "--kind <K>", "--save <FILE>", "--csv <FILE>", "--from <FILE>", "--id <N>",
                                 "--rf-power <N>", "--startup-volume <N>", "--mic-sensitivity <N>", "--side-tone <N>",
                                 "--ptt <P>", "--all", "--id-start <N>", "--report <FILE>", "--no-backup",
                                 "NERIO_BACKUP_DIR", "XDG_STATE_HOME", "nerio-cli diff PATH device:0",
                                 "nerio-cli restore PATH", "NERIO_SIMULATED_UNITS"})
            QVERIFY2(run.out.contains(QLatin1String(word)), word);

        const Run version = nerioCli(args({"--version"}));
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, u"nerio-cli 1.0.1.0\n"_s);
    }

    void badUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("units");
        QTest::addColumn<QString>("problem");

        auto row = [](const char *name, const QStringList &arguments, const QString &problem,
                      const QString &units = kDemoUnits) { QTest::newRow(name) << arguments << units << problem; };
        // The parsing itself is tested in-process (tst_cliarguments); these show the whole path.
        row("unknown command", args({"frob"}), u"Unknown command 'frob'; use list, read, write, restore, diff or show."_s);
        row("rf power", args({"write", "--rf-power", "128"}), u"RF Power must be from 0 to 127, not 128."_s);
        row("bodypack setting with an aircraft pack file", args({"write", "--side-tone", "3", "--from"}) << aircraftFile(),
            u"device 0 is written as an aircraft pack; --mic-sensitivity, --side-tone and --ptt are bodypack settings."_s);
        row("bodypack setting for the unit's kind", args({"write", "--device", "1", "--mic-sensitivity", "3"}),
            u"device 1 is written as an aircraft pack; --mic-sensitivity, --side-tone and --ptt are bodypack settings."_s);
        row("ptt for a version without it", args({"write", "--ptt", "microphone"}),
            u"device 0: software version 1.0.0 has no PTT Control selection; leave out --ptt."_s,
            u"bodypack:version=1.0.0"_s);

        row("file value out of range", args({"write", "--from"}) << path("rf200.bpack"),
            path("rf200.bpack") + u": RF Power must be from 0 to 127, not 200."_s);
        row("file id unencodable", args({"write", "--from"}) << path("id1005.bpack"),
            path("id1005.bpack") + u": The ID 1005 cannot be stored on the unit:"_s);
        row("fleet id beyond encodable",
            args({"write", "--all", "--kind", "bodypack", "--id-start", "999", "--from"}) << bodyFile(),
            u"device 1 would get the ID 1000: The ID 1000 cannot be stored on the unit:"_s, u"bodypack,bodypack"_s);

        row("simulated units: no kind", args({"list"}),
            u"NERIO_SIMULATED_UNITS: no unit kind in 'toaster'; use bodypack or aircraft."_s, u"bodypack,toaster"_s);
    }

    void badUsage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, units);
        QFETCH(QString, problem);

        const Run run = simulated(QStringList{u"--trace"_s} + arguments, units);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.messages().size(), 1);
        const QString line = run.messages().first();
        QVERIFY2(line.startsWith(u"nerio-cli: "_s + problem), qPrintable(line));
        QVERIFY2(line.endsWith(u" Try 'nerio-cli --help'."_s), qPrintable(line));
        QVERIFY(!run.sentAnyWrite());
    }

    void listUnits_data()
    {
        QTest::addColumn<QString>("units");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QJsonArray>("json");

        auto unit = [](int device, const char *kind, const char *productId, const char *description) {
            return QJsonObject{{u"device"_s, device},
                               {u"kind"_s, QString::fromUtf8(kind)},
                               {u"product_id"_s, QString::fromUtf8(productId)},
                               {u"description"_s, QString::fromUtf8(description)}};
        };
        QTest::newRow("demo") << kDemoUnits
                              << u"0   bodypack       Demo Bodypack\n"
                                 "1   aircraft pack  Demo Aircraft Pack\n"_s
                              << QJsonArray{unit(0, "bodypack", "eab0", "Demo Bodypack"),
                                            unit(1, "aircraft", "eab1", "Demo Aircraft Pack")};
        QTest::newRow("unknown product ID") << u"aircraft,bodypack:product-id=ffff"_s
                                            << u"0   aircraft pack   Demo Aircraft Pack\n"
                                               "1   unknown (ffff)  Demo Bodypack\n"_s
                                            << QJsonArray{unit(0, "aircraft", "eab1", "Demo Aircraft Pack"),
                                                          unit(1, "unknown", "ffff", "Demo Bodypack")};
        QTest::newRow("none") << QString() << u"No units attached.\n"_s << QJsonArray();
    }

    void listUnits()
    {
        QFETCH(QString, units);
        QFETCH(QString, text);
        QFETCH(QJsonArray, json);

        const Run asText = simulated(args({"list"}), units);
        QCOMPARE(asText.exitCode, 0);
        QCOMPARE(asText.out, text);
        QCOMPARE(asText.err, QString());

        const Run asJson = simulated(args({"list", "--json"}), units);
        QCOMPARE(asJson.exitCode, 0);
        QCOMPARE(asJson.json(), QJsonValue(json));
    }

    void readJson_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QJsonObject>("record");

        QTest::newRow("bodypack by its product ID") << QStringList() << kDemoBodypack;
        QTest::newRow("bodypack as asked") << args({"--kind", "bodypack", "--device", "0"}) << kDemoBodypack;
        QTest::newRow("aircraft pack by its product ID") << args({"--device", "1"}) << kDemoAircraftPack;
        QTest::newRow("aircraft pack as asked") << args({"--device", "1", "--kind", "aircraft"}) << kDemoAircraftPack;
    }

    void readJson()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QJsonObject, record);

        const Run run = simulated(args({"read", "--json"}) + arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.json(), QJsonValue(record));
    }

    void readText_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("text");

        QTest::newRow("bodypack") << u"0"_s
                                  << u"Device:               0\n"
                                     "Kind:                 bodypack\n"
                                     "ID:                   1234\n"
                                     "RF Power (0-127):     90\n"
                                     "Startup Volume (0-9): 6\n"
                                     "Side Tone (0-24):     -10\n"
                                     "Mic sensivity (0-15): 7\n"
                                     "PTT Control:          Microphone Switch\n"
                                     "Software Version:     1.0.5\n"
                                     "Battery Voltage:      3.7 V\n"
                                     "RSSI:                 57\n"_s;
        QTest::newRow("aircraft pack") << u"1"_s
                                       << u"Device:               1\n"
                                          "Kind:                 aircraft pack\n"
                                          "ID:                   38\n"
                                          "RF Power (0-127):     127\n"
                                          "Startup Volume (0-9): 4\n"
                                          "Software Version:     2.1.0\n"
                                          "Battery Voltage:      4.1 V\n"
                                          "RSSI:                 63\n"_s;
    }

    void readText()
    {
        QFETCH(QString, device);
        QFETCH(QString, text);

        const Run run = simulated(args({"read", "--device"}) << device);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, text);
    }

    void readSavesWhatShowPrints_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QJsonObject>("record");

        QTest::newRow("bodypack") << u"0"_s << path("saved.bpack") << kDemoBodypack;
        QTest::newRow("aircraft pack") << u"1"_s << path("saved.apack") << kDemoAircraftPack;
    }

    void readSavesWhatShowPrints()
    {
        QFETCH(QString, device);
        QFETCH(QString, file);
        QFETCH(QJsonObject, record);

        const Run read = simulated(args({"read", "--device"}) << device << u"--save"_s << file);
        QCOMPARE(read.exitCode, 0);
        QVERIFY(read.out.endsWith(u"\nParameters succesfully saved to file.\n"_s));

        const Run show = nerioCli(args({"show", "--json"}) << file);
        QCOMPARE(show.exitCode, 0);
        QJsonObject settings = record;
        for (const char *notInFiles : {"device", "sv", "version", "batt_voltage", "rssi", "ptt_sel"})
            settings.remove(QLatin1String(notInFiles));
        QCOMPARE(show.json(), QJsonValue(settings));
    }

    void readWithFailedSaveStillPrintsTheRecord()
    {
        const Run run = simulated(args({"read", "--save"}) << path("no/such/folder/x.bpack"));
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.startsWith(u"Device:               0\n"_s));
        QVERIFY(!run.out.contains(u"saved"_s));
        QCOMPARE(run.err, Expected::fileWriteFailed + u'\n');
    }

    void showFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QJsonObject>("settings");
        QTest::addColumn<QString>("message");

        const QJsonObject body{{u"kind"_s, u"bodypack"_s}, {u"id"_s, 1234},      {u"rf_power"_s, 80},
                               {u"startup_volume"_s, 3},   {u"side_tone"_s, 12}, {u"mic_sensitivity"_s, 5}};
        QTest::newRow("bodypack") << bodyFile() << 0 << body << QString();
        QTest::newRow("aircraft pack") << aircraftFile() << 0
                                       << QJsonObject{{u"kind"_s, u"aircraft"_s}, {u"id"_s, 500}, {u"rf_power"_s, 100},
                                                      {u"startup_volume"_s, 2}}
                                       << QString();
        QTest::newRow("not xml") << path("notxml.bpack") << 1 << QJsonObject() << Expected::fileReadFailed;
        QTest::newRow("missing") << path("missing.bpack") << 1 << QJsonObject() << Expected::fileReadFailed;
        QTest::newRow("extra element") << path("extra.bpack") << 1 << QJsonObject() << Expected::fileReadFailed;
        // Readable, but no window field takes the value: shown, and refused.
        QTest::newRow("value out of range")
            << path("rf200.bpack") << 2 << with(body, {{"rf_power", 200}})
            << u"nerio-cli: "_s + path("rf200.bpack")
                   + u": RF Power must be from 0 to 127, not 200. Try 'nerio-cli --help'."_s;
    }

    void showFile()
    {
        QFETCH(QString, file);
        QFETCH(int, exitCode);
        QFETCH(QJsonObject, settings);
        QFETCH(QString, message);

        const Run run = nerioCli(args({"show", "--json"}) << file);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.messages(), message.isEmpty() ? QStringList() : QStringList{message});
        if (settings.isEmpty())
            QCOMPARE(run.out, QString());
        else
            QCOMPARE(run.json(), QJsonValue(settings));
    }

    void showText()
    {
        const Run run = nerioCli(args({"show"}) << bodyFile());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, u"Kind:                 bodypack\n"
                          "ID:                   1234\n"
                          "RF Power (0-127):     80\n"
                          "Startup Volume (0-9): 3\n"
                          "Side Tone (0-24):     -12\n"
                          "Mic sensivity (0-15): 5\n"_s);
    }

    void deviceFailures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("units");
        QTest::addColumn<QString>("message");

        auto row = [](const char *name, const QStringList &arguments, const QString &message,
                      const QString &units = kDemoUnits) { QTest::newRow(name) << arguments << units << message; };
        row("bodypack read as aircraft pack", args({"read", "--kind", "aircraft"}), Expected::wrongDevice);
        row("aircraft pack read as bodypack", args({"read", "--device", "1", "--kind", "bodypack"}), Expected::wrongDevice);
        row("aircraft pack written as bodypack", args({"write", "--device", "1", "--kind", "bodypack", "--id", "5"}),
            Expected::wrongDevice);
        row("product ID of no kind", args({"read"}), Expected::wrongDevice, u"bodypack:product-id=ffff"_s);
        row("aircraft pack in capitals reads but takes no write", args({"write", "--rf-power", "5"}), Expected::wrongDevice,
            u"aircraft:product-id=EAB1"_s);
        row("file for the other kind of unit", args({"write", "--from"}) << aircraftFile(), Expected::wrongDevice);
        row("no unit at that number", args({"read", "--device", "2"}), Expected::noProductId);
        row("no unit attached", args({"read"}), Expected::noProductId, QString());
        row("no unit attached for a write", args({"write", "--rf-power", "5"}), Expected::noProductId, QString());
        row("no unit of the fleet's kind", args({"write", "--all", "--kind", "aircraft", "--from"}) << aircraftFile(),
            u"No aircraft pack is attached."_s, u"bodypack"_s);
        row("stops answering in a read", args({"read"}), Expected::noResponse, u"bodypack:silent-from=3"_s);
        row("stops answering in a write", args({"write", "--rf-power", "5"}), Expected::noResponse, u"bodypack:silent-from=11"_s);
        row("gone in a write", args({"write", "--device", "1", "--rf-power", "5"}), Expected::writeFailed,
            u"bodypack,aircraft:unplug-at=7"_s);
        row("file of the other kind", args({"write", "--kind", "bodypack", "--from"}) << aircraftFile(), Expected::fileReadFailed);
        row("file that is no parameter file", args({"write", "--from"}) << path("notxml.bpack"), Expected::fileReadFailed);
        row("missing file", args({"write", "--from"}) << path("missing.bpack"), Expected::fileReadFailed);
        row("fleet from a bad file", args({"write", "--all", "--kind", "bodypack", "--from"}) << path("extra.bpack"),
            Expected::fileReadFailed);
    }

    void deviceFailures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, units);
        QFETCH(QString, message);

        const Run run = simulated(arguments, units);
        QCOMPARE(run.exitCode, 1);
        // A write that fails after its read has saved a backup, and says where.
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(lines.isEmpty() || (lines.size() == 1 && lines.first().startsWith(u"Backup: "_s)), qPrintable(run.out));
        QCOMPARE(run.err, message + u'\n');
    }

    void writeUnit_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("units");
        QTest::addColumn<QJsonObject>("record");
        QTest::addColumn<QStringList>("framesSent");
        QTest::addColumn<QStringList>("framesNotSent");

        const QString closing = u"03 43 46 01 46"_s;
        QTest::newRow("options over the unit's settings")
            << args({"--rf-power", "100", "--side-tone", "24"}) << kDemoUnits
            << with(kDemoBodypack, {{"rf_power", 100}, {"side_tone", 24}})
            // The ID as read, RF power, startup volume, mic sensitivity, side
            // tone, the unit's own PTT selection, the closing command.
            << QStringList{u"04 57 34 0c 22 8f"_s, u"03 57 37 64 5a"_s, u"03 57 3a 06 5a"_s, u"03 57 38 07 5a"_s,
                           u"03 57 39 18 5a"_s, u"03 57 40 01 5a"_s, closing}
            << QStringList();
        QTest::newRow("ptt chosen") << args({"--ptt", "aircraft"}) << kDemoUnits
                                    << with(kDemoBodypack, {{"ptt_sel", 0}})
                                    << QStringList{u"03 57 40 00 5a"_s, closing} << QStringList{u"03 57 40 01"_s};
        QTest::newRow("version without ptt")
            << args({"--rf-power", "5"}) << u"bodypack:version=1.0.0"_s
            << with(kDemoBodypack, {{"sv", u"100"_s}, {"version", u"1.0.0"_s}, {"ptt_sel", 0}, {"rf_power", 5}})
            << QStringList{u"03 57 37 05 5a"_s, closing} << QStringList{u"03 57 40"_s};
        QTest::newRow("file, then options")
            << (args({"--id", "77", "--from"}) << bodyFile()) << kDemoUnits
            << with(kDemoBodypack,
                    {{"id", 77}, {"rf_power", 80}, {"startup_volume", 3}, {"side_tone", 12}, {"mic_sensitivity", 5}})
            << QStringList{u"04 57 34 00 4d 8f"_s, u"03 57 37 50 5a"_s, u"03 57 40 01 5a"_s, closing} << QStringList();
        QTest::newRow("aircraft pack, kind from the file")
            << (args({"--device", "1", "--from"}) << aircraftFile()) << kDemoUnits
            << with(kDemoAircraftPack, {{"id", 500}, {"rf_power", 100}, {"startup_volume", 2}})
            << QStringList{u"04 57 34 32 00 8f"_s, u"03 57 37 64 5a"_s, u"03 57 3a 02 5a"_s, closing}
            << QStringList{u"03 57 38"_s, u"03 57 39"_s, u"03 57 40"_s};
    }

    void writeUnit()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, units);
        QFETCH(QJsonObject, record);
        QFETCH(QStringList, framesSent);
        QFETCH(QStringList, framesNotSent);

        const Run run = simulated(args({"write", "--json", "--trace"}) + arguments, units);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.messages(), QStringList());
        QJsonObject written = run.json().toObject();
        QVERIFY(QFile::exists(written.take(u"backup"_s).toString()));
        QCOMPARE(written, record);
        for (const QString &frame : framesSent)
            QVERIFY2(run.sent(frame), qPrintable(frame));
        for (const QString &frame : framesNotSent)
            QVERIFY2(!run.sentStartingWith(frame), qPrintable(frame));
    }

    void writeText()
    {
        const Run run = simulated(args({"write", "--device", "1", "--startup-volume", "9"}));
        QCOMPARE(run.exitCode, 0);
        const QString backupLine = run.out.section(u'\n', 0, 0);
        QVERIFY(backupLine.startsWith(u"Backup: "_s + path("backups") + u"/"_s));
        QVERIFY(QFile::exists(backupLine.section(u' ', 1)));
        QCOMPARE(run.out.section(u'\n', 1), u"Device:               1\n"
                          "Kind:                 aircraft pack\n"
                          "ID:                   38\n"
                          "RF Power (0-127):     127\n"
                          "Startup Volume (0-9): 9\n"
                          "Software Version:     2.1.0\n"
                          "Battery Voltage:      4.1 V\n"
                          "RSSI:                 63\n"
                          "Parameters are successfully written.\n"_s);
    }

    void fleetWriteGoesOnAfterAFailure()
    {
        // Three bodypacks, the second gone in the middle of its write (at the
        // RF power, after its ID), and an aircraft pack that is left alone.
        const QString units = u"bodypack,bodypack:unplug-at=10,aircraft,bodypack"_s;
        const QStringList fleet =
            args({"write", "--all", "--no-backup", "--kind", "bodypack", "--id-start", "200", "--from"}) << bodyFile();

        const Run json = simulated(fleet + args({"--json", "--trace"}), units);
        QCOMPARE(json.exitCode, 1);
        auto result = [](int device, int id, bool ok, const QString &message) {
            return QJsonObject{{u"device"_s, device}, {u"id"_s, id}, {u"ok"_s, ok}, {u"message"_s, message}};
        };
        QCOMPARE(json.json(), QJsonValue(QJsonArray{result(0, 200, true, Expected::written), result(1, 201, false, Expected::writeFailed),
                                                    result(3, 202, true, Expected::written)}));
        QCOMPARE(json.messages(), QStringList{u"device 1: "_s + Expected::writeFailed});
        for (const char *idFrame : {"04 57 34 14 00 8f", "04 57 34 14 01 8f", "04 57 34 14 02 8f"})
            QVERIFY2(json.sent(QLatin1String(idFrame)), idFrame);
        QCOMPARE(json.err.count(u"-> 03 43 46 01 46"_s), 2);

        const Run text = simulated(fleet, units);
        QCOMPARE(text.exitCode, 1);
        QCOMPARE(text.out, u"device 0, ID 200: Parameters are successfully written.\n"
                           "device 1, ID 201: Could not write to the device. Probably no connection.\n"
                           "device 3, ID 202: Parameters are successfully written.\n"
                           "2 of 3 bodypack units written, 1 failed.\n"_s);
        QCOMPARE(text.err, u"device 1: "_s + Expected::writeFailed + u'\n');
    }

    void fleetWriteWithoutIdStartGivesTheFileId()
    {
        const Run run = simulated(args({"write", "--all", "--no-backup", "--kind", "aircraft", "--from"}) << aircraftFile(),
                                  u"aircraft,bodypack,aircraft"_s);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, u"device 0, ID 500: Parameters are successfully written.\n"
                          "device 2, ID 500: Parameters are successfully written.\n"
                          "2 of 2 aircraft pack units written, 0 failed.\n"_s);
        QCOMPARE(run.err, QString());
    }
};

QTEST_GUILESS_MAIN(TestNerioCli)
#include "tst_nerio_cli.moc"
