// nerio-cli's command line, parsed in-process: every refusal with its
// message, what a good command line asks for, and the simulated units' list.

#include "cli/cliarguments.h"
#include "cli/simulatedunits.h"

#include <QCoreApplication>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(CliCommand)

namespace {

QStringList args(std::initializer_list<const char *> words)
{
    QStringList list{u"nerio-cli"_s};
    for (const char *word : words)
        list.append(QString::fromUtf8(word));
    return list;
}

} // namespace

class TestCliArguments : public QObject
{
    Q_OBJECT

private slots:
    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("problem");

        auto row = [](const char *name, const QStringList &arguments, const QString &problem) {
            QTest::newRow(name) << arguments << problem;
        };
        row("no command", args({}), u"No command given; use list, read, write, restore, diff or show."_s);
        row("unknown command", args({"frob"}), u"Unknown command 'frob'; use list, read, write, restore, diff or show."_s);
        row("unknown option", args({"list", "--frob"}), u"Unknown option 'frob'."_s);
        row("missing value", args({"read", "--device"}), u"Missing value after '--device'."_s);
        row("device no number", args({"read", "--device", "one"}), u"--device takes a whole number, not 'one'."_s);
        row("device beyond the numbers", args({"read", "--device", "65535"}),
            u"--device takes a device number as list shows it, not 65535."_s);
        row("unknown kind", args({"read", "--kind", "toaster"}), u"--kind takes bodypack or aircraft, not 'toaster'."_s);
        row("option of write to read", args({"read", "--from", "x.bpack"}), u"--from does not go with read."_s);
        row("option of read to write", args({"write", "--save", "x.bpack"}), u"--save does not go with write."_s);
        row("id start without all", args({"write", "--id-start", "5"}), u"--id-start does not go with write."_s);
        row("device with all", args({"write", "--all", "--kind", "bodypack", "--from", "x", "--device", "1"}),
            u"--device does not go with write --all."_s);
        row("all without kind", args({"write", "--all", "--from", "x.bpack"}), u"write --all needs --kind and --from."_s);
        row("all without file", args({"write", "--all", "--kind", "bodypack"}), u"write --all needs --kind and --from."_s);
        row("show without file", args({"show"}), u"show takes one parameter file."_s);
        row("list with argument", args({"list", "extra"}), u"list takes no argument 'extra'."_s);
        row("unknown ptt", args({"write", "--ptt", "both"}), u"--ptt takes aircraft or microphone, not 'both'."_s);
        row("empty file name", args({"write", "--from", ""}), u"--from takes a file name."_s);
        row("table without all", args({"read", "--csv", "units.csv"}), u"--csv does not go with read."_s);
        row("report with a single write", args({"write", "--report", "r.csv"}), u"--report does not go with write."_s);
        row("no backup with read", args({"read", "--no-backup"}), u"--no-backup does not go with read."_s);
        row("restore without backup", args({"restore"}), u"restore takes one backup."_s);
        row("restore with a setting", args({"restore", "b.json", "--id", "5"}), u"--id does not go with restore."_s);
        row("diff with one source", args({"diff", "a.bpack"}),
            u"diff takes two sources: parameter files, backups or device:N."_s);
        row("diff with a device that is no number", args({"diff", "a.bpack", "device:one"}),
            u"diff takes a device as device:N, N as list shows it, not 'device:one'."_s);
        row("diff with a device beyond the numbers", args({"diff", "device:65535", "a.bpack"}),
            u"diff takes a device as device:N, N as list shows it, not 'device:65535'."_s);

        row("id above range", args({"write", "--id", "10000"}), u"ID must be from 0 to 9999, not 10000."_s);
        row("id below range", args({"write", "--id", "-1"}), u"ID must be from 0 to 9999, not -1."_s);
        row("rf power", args({"write", "--rf-power", "128"}), u"RF Power must be from 0 to 127, not 128."_s);
        row("startup volume", args({"write", "--startup-volume", "10"}), u"Startup Volume must be from 0 to 9, not 10."_s);
        row("mic sensitivity", args({"write", "--mic-sensitivity", "16"}),
            u"Mic Sensitivity must be from 0 to 15, not 16."_s);
        row("side tone", args({"write", "--side-tone", "25"}), u"Side Tone must be from 0 to 24, not 25."_s);
        row("side tone as the window shows it", args({"write", "--side-tone", "-3"}),
            u"Side Tone must be from 0 to 24, not -3."_s);
        row("unencodable id", args({"write", "--id", "1005"}),
            u"The ID 1005 cannot be stored on the unit: IDs from 1000 to 9999 whose last two digits are 00 to 09 "
            "read back as another ID. Please choose another ID."_s);
        row("unencodable id start", args({"write", "--all", "--kind", "bodypack", "--from", "x", "--id-start", "2000"}),
            u"--id-start: The ID 2000 cannot be stored on the unit:"_s);
        row("bodypack setting for aircraft", args({"write", "--kind", "aircraft", "--side-tone", "3"}),
            u"--mic-sensitivity, --side-tone and --ptt are bodypack settings."_s);
    }

    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, problem);
        const ParsedArguments parsed = parseArguments(arguments);
        const auto *refused = std::get_if<CliUsageProblem>(&parsed);
        QVERIFY2(refused, "accepted");
        QVERIFY2(refused->text.startsWith(problem), qPrintable(refused->text));
    }

    void requests()
    {
        const ParsedArguments parsed = parseArguments(
            args({"--json", "write", "--device", "2", "--kind", "bodypack", "--id", "1234", "--side-tone", "24",
                  "--ptt", "microphone", "--from", "crew.bpack"}));
        const auto *request = std::get_if<CliRequest>(&parsed);
        QVERIFY(request);
        QCOMPARE(request->command, CliCommand::Write);
        QVERIFY(request->json);
        QCOMPARE(request->device, 2);
        QCOMPARE(request->kind, PackKind::Bodypack);
        QCOMPARE(request->fromFile, u"crew.bpack"_s);
        QCOMPARE(request->overrides.value(Setting::Id), 1234);
        QCOMPARE(request->overrides.value(Setting::SideTone), 24);
        QCOMPARE(request->overrides.value(Setting::PttSelection), 1);
        QCOMPARE(request->overrides.value(Setting::RfPower), std::nullopt);

        const ParsedArguments fleet =
            parseArguments(args({"write", "--all", "--kind", "aircraft", "--from", "cabin.apack", "--id-start", "200"}));
        const auto *all = std::get_if<CliRequest>(&fleet);
        QVERIFY(all);
        QCOMPARE(all->command, CliCommand::WriteAll);
        QCOMPARE(all->kind, PackKind::AircraftPack);
        QCOMPARE(all->idStart, 200);
        QVERIFY(all->backup);

        const ParsedArguments inventory = parseArguments(args({"read", "--all", "--csv", "units.csv"}));
        const auto *readAll = std::get_if<CliRequest>(&inventory);
        QVERIFY(readAll);
        QCOMPARE(readAll->command, CliCommand::ReadAll);
        QCOMPARE(readAll->csvFile, u"units.csv"_s);
        QCOMPARE(readAll->kind, std::nullopt);

        const ParsedArguments restore = parseArguments(args({"restore", "b.json", "--device", "3", "--no-backup"}));
        const auto *restoring = std::get_if<CliRequest>(&restore);
        QVERIFY(restoring);
        QCOMPARE(restoring->command, CliCommand::Restore);
        QCOMPARE(restoring->file, u"b.json"_s);
        QCOMPARE(restoring->device, 3);
        QVERIFY(!restoring->backup);

        const ParsedArguments diff = parseArguments(args({"diff", "device:2", "crew.bpack"}));
        const auto *comparing = std::get_if<CliRequest>(&diff);
        QVERIFY(comparing);
        QCOMPARE(comparing->sources.size(), 2);
        QCOMPARE(comparing->sources[0].device, 2);
        QCOMPARE(comparing->sources[1].device, std::nullopt);
        QCOMPARE(comparing->sources[1].file, u"crew.bpack"_s);
    }

    void simulatedUnitList_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("units");
        QTest::addColumn<QString>("problem");
        QTest::newRow("kinds and faults") << u"bodypack,bodypack:unplug-at=10,aircraft:version=2.0.1"_s << 3 << QString();
        QTest::newRow("none") << QString(u""_s) << 0 << QString();
        QTest::newRow("no kind") << u"bodypack,toaster"_s << 0
                                 << u"NERIO_SIMULATED_UNITS: no unit kind in 'toaster'; use bodypack or aircraft."_s;
        QTest::newRow("bad fault") << u"bodypack:silent-from=soon"_s << 0
                                   << u"NERIO_SIMULATED_UNITS: unknown fault 'silent-from=soon' in "
                                      u"'bodypack:silent-from=soon'."_s;
        QTest::newRow("bad version") << u"bodypack:version=1.0.256"_s << 0
                                     << u"NERIO_SIMULATED_UNITS: unknown fault 'version=1.0.256' in "
                                        u"'bodypack:version=1.0.256'."_s;
    }

    void simulatedUnitList()
    {
        QFETCH(QString, list);
        QFETCH(int, units);
        QFETCH(QString, problem);
        const SimulatedUnitsSetup setup = simulatedUnits(list);
        QCOMPARE(setup.problem, problem);
        QCOMPARE(bool(setup.bridge), problem.isEmpty());
        if (setup.bridge) {
            std::uint32_t count = 0;
            QCOMPARE(setup.bridge->getNumDevices(count), kBridgeSuccess);
            QCOMPARE(int(count), units);
        }
    }
};

QTEST_GUILESS_MAIN(TestCliArguments)
#include "tst_cliarguments.moc"
