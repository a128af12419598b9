// nerio-cli's commands run in-process on simulated units that outlive each
// command, so that a write, a diff and a restore meet the same unit, and a
// unit that never answers costs no real time (the fake reply clock).

#include "cli/clirun.h"
#include "devicelink/cparameter.h"
#include "nerioclirun.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace {

const QString kBackupLine = u"Backup: "_s;

// The settings' parameter numbers of a bodypack, in its read order.
const QList<std::uint8_t> kBodypackSettingParameters{52, 55, 58, 56, 57, 64};

class InProcessCli
{
public:
    std::shared_ptr<SimulatedUnit> plug(SimulatedUnit unit) { return m_bridge->plug(std::move(unit)); }

    Run operator()(const QStringList &arguments)
    {
        Run run;
        QTextStream out(&run.out);
        QTextStream err(&run.err);
        Console console{out, err};
        run.exitCode = runCli(QStringList{u"nerio-cli"_s} + arguments, std::nullopt,
                              [] { return bridgeBackend(); }, console);
        return run;
    }

private:
    ScopedSimulatedBridge m_bridge;
};

bool anyWriteReached(const SimulatedUnit &unit)
{
    for (const QByteArray &frame : unit.receivedFrames())
        if (std::uint8_t(frame[1]) != kReadOperation)
            return true;
    return false;
}

QJsonObject jsonFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

QJsonObject withoutKey(QJsonObject object, const QString &key)
{
    object.remove(key);
    return object;
}

// The path that the text output's "Backup: PATH" line gives.
QString backupPathOf(const Run &run)
{
    for (const QString &line : run.out.split(u'\n'))
        if (line.startsWith(kBackupLine))
            return line.mid(kBackupLine.size());
    return {};
}

} // namespace

class TestCliCommands : public QObject
{
    Q_OBJECT

    FixtureFolder m_files;

    QString path(const char *name) const { return m_files.path(name); }
    // A folder of its own for each test and row, so that each sees its own backups.
    QString backups() const
    {
        return m_files.path(QString::fromUtf8(QTest::currentTestFunction()) + u'-'
                            + QString::fromUtf8(QTest::currentDataTag()).replace(u' ', u'-'));
    }
    QString wrongFile() const { return path("wrong.bpack"); }

    // A backup of the demo bodypack with the changes, as a unit saved it.
    QString backupFixture(const char *name, std::initializer_list<std::pair<const char *, QJsonValue>> changes) const
    {
        const QJsonObject backup = with(kDemoBodypack, {{"saved_at", u"2026-12-11T15:45:07Z"_s}});
        m_files.write(name, QJsonDocument(with(backup, changes)).toJson());
        return path(name);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        QVERIFY(m_files.write("wrong.bpack", bodypackFile("1234", "80")));
        QVERIFY(m_files.write("aircraft.apack", aircraftPackFile()));
        QVERIFY(m_files.write("notxml.bpack", "this is no parameter file"));
        QVERIFY(m_files.write("a-file", "in the way of a folder"));
    }

    void init() { qputenv("NERIO_BACKUP_DIR", backups().toUtf8()); }

    void backupHoldsTheUnitAsItWasBeforeTheWrite_data()
    {
        QTest::addColumn<std::optional<int>>("unplugAt");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("written") << std::optional<int>() << 0;
        // Gone at the RF power, after its new ID has been stored: the nine
        // frames of the read before it, nine of the write's read and the ID.
        QTest::newRow("fails part-way") << std::optional<int>(19) << 1;
    }

    void backupHoldsTheUnitAsItWasBeforeTheWrite()
    {
        QFETCH(std::optional<int>, unplugAt);
        QFETCH(int, exitCode);
        InProcessCli cli;
        const auto unit = cli.plug(SimulatedUnit::demoBodypack());
        unit->faults.unplugAtExchange = unplugAt;
        const QJsonValue before = cli(args({"read", "--json"})).json();

        const Run run = cli(args({"write", "--json", "--id", "77", "--from"}) << wrongFile());
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(unit->parameter(52), bytes({0, 77})); // the write reached the unit
        const QString backup = run.json()[u"backup"_s].toString();
        QCOMPARE(QFileInfo(backup).dir(), QDir(backups()));
        QVERIFY2(QRegularExpression(u"^[0-9]{8}T[0-9]{6}Z-bodypack-device0-id1234\\.json$"_s)
                     .match(QFileInfo(backup).fileName())
                     .hasMatch(),
                 qPrintable(backup));
        const QJsonObject saved = jsonFile(backup);
        QVERIFY(QRegularExpression(u"^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z$"_s)
                    .match(saved[u"saved_at"_s].toString())
                    .hasMatch());
        QCOMPARE(QJsonValue(withoutKey(saved, u"saved_at"_s)), before);
        QVERIFY(QFileInfo(backup).fileName().startsWith(
            QString(saved[u"saved_at"_s].toString()).remove(u'-').remove(u':')));
    }

    void failedBackupLeavesTheUnitUntouched_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("write") << args({"write", "--id", "77"});
        QTest::newRow("write --all") << (args({"write", "--all", "--kind", "bodypack", "--from"}) << wrongFile());
        QTest::newRow("restore") << args({"restore"}) + QStringList{backupFixture("restorable.json", {{"id", 55}})};
    }

    void failedBackupLeavesTheUnitUntouched()
    {
        QFETCH(QStringList, arguments);
        const QString folder = path("a-file") + u"/backups"_s;
        qputenv("NERIO_BACKUP_DIR", folder.toUtf8());
        InProcessCli cli;
        const auto unit = cli.plug(SimulatedUnit::demoBodypack());

        const Run run = cli(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"The backup could not be saved in "_s + folder + u": "_s), qPrintable(run.err));
        QVERIFY(run.err.contains(u"Nothing was written to the unit; --no-backup skips the backup."_s));
        QVERIFY(!run.out.contains(kBackupLine));
        QVERIFY(!unit->receivedFrames().isEmpty());
        QVERIFY(!anyWriteReached(*unit));
    }

    void wrongWriteIsUndone()
    {
        InProcessCli cli;
        const auto unit = cli.plug(SimulatedUnit::demoBodypack());
        const SimulatedUnit original = SimulatedUnit::demoBodypack();

        const Run wrong = cli(args({"write", "--id", "77", "--from"}) << wrongFile());
        QCOMPARE(wrong.exitCode, 0);
        QVERIFY(wrong.out.startsWith(kBackupLine));
        const QString backup = backupPathOf(wrong);

        const Run changed = cli(args({"diff"}) << backup << u"device:0"_s);
        QCOMPARE(changed.exitCode, 1);
        QCOMPARE(changed.out, u"ID: 1234 -> 77\n"
                              "RF Power (0-127): 90 -> 80\n"
                              "Startup Volume (0-9): 6 -> 3\n"
                              "Side Tone (0-24): -10 -> -12\n"
                              "Mic sensivity (0-15): 7 -> 5\n"_s);

        const Run restored = cli(args({"restore"}) << backup);
        QCOMPARE(restored.err, QString());
        QCOMPARE(restored.exitCode, 0);
        // The state it undid is kept as well.
        QVERIFY(backupPathOf(restored) != backup);
        QCOMPARE(jsonFile(backupPathOf(restored))[u"id"_s], QJsonValue(77));
        QVERIFY(restored.out.endsWith(Expected::written + u'\n'));

        const Run same = cli(args({"diff"}) << backup << u"device:0"_s);
        QCOMPARE(same.exitCode, 0);
        QCOMPARE(same.out, QString());
        for (const std::uint8_t parameter : kBodypackSettingParameters)
            QCOMPARE(unit->parameter(parameter), original.parameter(parameter));
    }

    void diff_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QJsonObject>("json"); // empty when nothing is printed
        QTest::addColumn<QString>("message");

        auto difference = [](const char *setting, int a, int b) {
            return QJsonObject{{u"setting"_s, QLatin1String(setting)}, {u"a"_s, a}, {u"b"_s, b}};
        };
        // Neither the device number nor the version, battery voltage or RSSI is compared.
        QTest::newRow("same")
            << QStringList{backupFixture("other-info.json", {{"device", 4}, {"sv", u"106"_s}, {"version", u"1.0.6"_s},
                                                             {"batt_voltage", u"4"_s}, {"rssi", 3}}),
                           u"device:0"_s}
            << 0 << QJsonObject{{u"same"_s, true}, {u"differences"_s, QJsonArray()}} << QString();
        // A parameter file holds no PTT selection.
        QTest::newRow("file and backup")
            << QStringList{wrongFile(), backupFixture("ptt.json", {{"ptt_sel", 0}, {"rf_power", 80}})} << 1
            << QJsonObject{{u"same"_s, false},
                           {u"differences"_s, QJsonArray{difference("startup_volume", 3, 6),
                                                         difference("side_tone", 12, 10),
                                                         difference("mic_sensitivity", 5, 7)}}}
            << QString();
        QTest::newRow("no unit") << args({"device:0", "device:5"}) << 2 << QJsonObject()
                                 << u"device:5: "_s + Expected::noProductId;
        QTest::newRow("no parameter file") << QStringList{u"device:0"_s, path("notxml.bpack")} << 2 << QJsonObject()
                                           << path("notxml.bpack") + u": "_s + Expected::fileReadFailed;
        QTest::newRow("no backup") << QStringList{backupFixture("noid.json", {{"id", u"1234"_s}}), u"device:0"_s} << 2
                                   << QJsonObject()
                                   << path("noid.json") + u": not a backup: \"id\" is no whole number."_s;
        QTest::newRow("kinds differ") << QStringList{u"device:0"_s, path("aircraft.apack")} << 2 << QJsonObject()
                                      << u"device:0 holds bodypack settings, "_s + path("aircraft.apack")
                                             + u" aircraft pack settings; diff compares settings of one kind."_s;
    }

    void diff()
    {
        QFETCH(QStringList, sources);
        QFETCH(int, exitCode);
        QFETCH(QJsonObject, json);
        QFETCH(QString, message);
        InProcessCli cli;
        const auto unit = cli.plug(SimulatedUnit::demoBodypack());

        const Run run = cli(args({"diff", "--json"}) + sources);
        QCOMPARE(run.err, message.isEmpty() ? QString() : message + u'\n');
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.json(), QJsonValue(json));
        QVERIFY(!anyWriteReached(*unit));
    }

    void restoreRefusesBeforeAnythingIsSent_data()
    {
        QTest::addColumn<QString>("backup");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");

        QTest::newRow("other kind") << backupFixture("aircraft.json", {{"kind", u"aircraft"_s}}) << 1
                                    << Expected::wrongDevice;
        QTest::newRow("parameter file") << wrongFile() << 1
                                        << wrongFile() + u": not a backup: it is no JSON object with \"saved_at\"."_s;
        QTest::newRow("no kind") << backupFixture("toaster.json", {{"kind", u"toaster"_s}}) << 1
                                 << path("toaster.json") + u": not a backup: \"kind\" names no kind of unit."_s;
        QTest::newRow("out of range") << backupFixture("rf200.json", {{"rf_power", 200}}) << 2
                                      << u"nerio-cli: "_s + path("rf200.json")
                                             + u": RF Power must be from 0 to 127, not 200. Try 'nerio-cli --help'."_s;
    }

    void restoreRefusesBeforeAnythingIsSent()
    {
        QFETCH(QString, backup);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        InProcessCli cli;
        const auto unit = cli.plug(SimulatedUnit::demoBodypack());

        const Run run = cli(args({"restore"}) << backup);
        QCOMPARE(run.err, message + u'\n');
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, QString());
        QCOMPARE(unit->receivedFrames(), QList<QByteArray>());
        QVERIFY(!QDir(backups()).exists());
    }

    void restoreGivesThePttSelectionOnlyToUnitsThatHaveIt_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QList<int>>("written");
        QTest::newRow("newer unit") << u"1.0.5"_s << QList<int>{52, 55, 58, 56, 57, 64, 70};
        QTest::newRow("older unit") << u"1.0.0"_s << QList<int>{52, 55, 58, 56, 57, 70};
    }

    void restoreGivesThePttSelectionOnlyToUnitsThatHaveIt()
    {
        QFETCH(QString, version);
        QFETCH(QList<int>, written);
        InProcessCli cli;
        SimulatedUnit model = SimulatedUnit::demoBodypack();
        const QStringList digits = version.split(u'.');
        model.setParameter(50, bytes({digits[0].toInt(), digits[1].toInt(), digits[2].toInt()}));
        const auto unit = cli.plug(std::move(model));

        const Run run = cli(args({"restore", "--no-backup"}) << backupFixture("ptt0.json", {{"ptt_sel", 0}, {"id", 9}}));
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(!run.out.contains(kBackupLine));
        QCOMPARE(parameterNumbers(unit->receivedFrames()).mid(written.contains(64) ? 9 : 8), written);
        QCOMPARE(unit->parameter(52), bytes({0, 9}));
    }

    void inventoryGoesOnPastASilentUnit()
    {
        InProcessCli cli;
        cli.plug(SimulatedUnit::demoBodypack());
        cli.plug(SimulatedUnit::demoBodypack())->faults.silentFromExchange = 0;
        cli.plug(SimulatedUnit::demoAircraftPack());
        cli.plug(SimulatedUnit::demoBodypack())->faults.productId = "ffff"; // no kind: not taken
        const QString table = path("inventory.csv");
        FakeReplyClock clock;

        const std::uint64_t start = clock.now();
        const Run run = cli(args({"read", "--all", "--json", "--csv"}) << table);
        const std::uint64_t elapsedMs = clock.now() - start;
        QVERIFY2(elapsedMs >= kReplyTimeoutMs && elapsedMs < kReplyTimeoutMs + 500, QByteArray::number(elapsedMs));
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, u"device 1: "_s + Expected::noResponse + u'\n');
        QCOMPARE(run.json(), QJsonValue(QJsonArray{kDemoBodypack,
                                                   QJsonObject{{u"device"_s, 1}, {u"error"_s, Expected::noResponse}},
                                                   with(kDemoAircraftPack, {{"device", 2}})}));
        QCOMPARE(m_files.contents(u"inventory.csv"_s),
                 "device,kind,id,rf_power,startup_volume,mic_sensitivity,side_tone,ptt_sel,sv,version,batt_voltage,"
                 "rssi,error\r\n"
                 "0,bodypack,1234,90,6,7,10,1,105,1.0.5,3.7,57,\r\n"
                 "1,bodypack,,,,,,,,,,,No response from device.\r\n"
                 "2,aircraft,38,127,4,,,,210,2.1.0,4.1,63,\r\n");

        const Run aircraftPacks = cli(args({"read", "--all", "--kind", "aircraft"}));
        QCOMPARE(aircraftPacks.exitCode, 0);
        QVERIFY(aircraftPacks.out.startsWith(u"Device:               2\nKind:                 aircraft pack\n"_s));
        QCOMPARE(aircraftPacks.out.count(u"Device:"_s), 1);
    }

    void fleetWriteReportsAndBacksUpEachUnit()
    {
        InProcessCli cli;
        cli.plug(SimulatedUnit::demoBodypack());
        cli.plug(SimulatedUnit::demoAircraftPack());
        cli.plug(SimulatedUnit::demoBodypack())->faults.unplugAtExchange = 10;
        const QString report = path("report.csv");

        const Run run = cli(args({"write", "--all", "--kind", "bodypack", "--id-start", "200", "--from"})
                            << wrongFile() << u"--report"_s << report);
        QCOMPARE(run.exitCode, 1);
        const QStringList lines = run.out.split(u'\n');
        QCOMPARE(lines.size(), 6);
        QVERIFY(lines[0].startsWith(kBackupLine));
        QCOMPARE(lines[1], u"device 0, ID 200: "_s + Expected::written);
        QVERIFY(lines[2].startsWith(kBackupLine));
        QCOMPARE(lines[3], u"device 2, ID 201: "_s + Expected::writeFailed);
        const QString backups[] = {lines[0].mid(kBackupLine.size()), lines[2].mid(kBackupLine.size())};
        QCOMPARE(QJsonValue(withoutKey(jsonFile(backups[1]), u"saved_at"_s)), QJsonValue(with(kDemoBodypack, {{"device", 2}})));
        QCOMPARE(m_files.contents(u"report.csv"_s),
                 "device,kind,old_id,new_id,result,backup\r\n"
                 "0,bodypack,1234,200,Parameters are successfully written.," + backups[0].toUtf8() + "\r\n"
                 "2,bodypack,1234,201,Could not write to the device. Probably no connection.,"
                     + backups[1].toUtf8() + "\r\n");
    }

    void writeRefusesToStoreAGuessedValue_data()
    {
        QTest::addColumn<int>("parameter");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("option");
        QTest::addColumn<QString>("message");

        auto message = [](const char *setting, const char *form, const char *option) {
            return u"The unit did not report its %1 in the normal form (%2), so the value read is a guess that the "
                   "write would store; give --%3 to set it.\n"_s.arg(QLatin1String(setting), QLatin1String(form),
                                                                       QLatin1String(option));
        };
        QTest::newRow("side tone without data bytes") << 57 << QByteArray() << args({"--side-tone", "3"})
                                                      << message("Side Tone", "one data byte", "side-tone");
        // Reads as 12, which would pass the range check.
        QTest::newRow("RF power in two bytes") << 55 << bytes({1, 2}) << args({"--rf-power", "12"})
                                               << message("RF Power", "one data byte", "rf-power");
        QTest::newRow("ID in one byte") << 52 << bytes({7}) << args({"--id", "7"})
                                        << message("ID", "two data bytes", "id");
        QTest::newRow("PTT selection without data bytes") << 64 << QByteArray() << args({"--ptt", "aircraft"})
                                                          << message("PTT Control", "one data byte", "ptt");
    }

    void writeRefusesToStoreAGuessedValue()
    {
        QFETCH(int, parameter);
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, option);
        QFETCH(QString, message);
        InProcessCli cli;
        SimulatedUnit model = SimulatedUnit::demoBodypack();
        model.setParameter(std::uint8_t(parameter), reply);
        const auto unit = cli.plug(std::move(model));

        const QStringList otherChange = parameter == 52 ? args({"--rf-power", "5"}) : args({"--id", "55"});
        const Run refused = cli(args({"write"}) + otherChange);
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(refused.out, QString());
        QCOMPARE(refused.err, message);
        QVERIFY(!anyWriteReached(*unit));
        QVERIFY(!QDir(backups()).exists());

        const Run given = cli(args({"write", "--no-backup"}) + otherChange + option);
        QCOMPARE(given.err, QString());
        QCOMPARE(given.exitCode, 0);
    }

    void listShowsControlCharactersEscaped()
    {
        InProcessCli cli;
        const QString description = u"Pack\x1b]0;owned\x07\r\nline \u202e\\"_s;
        cli.plug(SimulatedUnit::demoBodypack())->faults.description = description.toStdString();
        cli.plug(SimulatedUnit::demoBodypack())->faults.productId = "\x1b[2J";

        const Run text = cli(args({"list"}));
        QCOMPARE(text.out, u"0   bodypack           Pack\\x1b]0;owned\\x07\\r\\nline \\u202e\\\\\n"
                           "1   unknown (\\x1b[2J)  Demo Bodypack\n"_s);
        const Run json = cli(args({"list", "--json"}));
        QCOMPARE(json.json()[0][u"description"_s], QJsonValue(description));
    }
};

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_clicommands.moc"
