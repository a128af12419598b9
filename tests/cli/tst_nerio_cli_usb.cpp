// Runs the nerio-cli program itself, without --simulate, against emulated USB
// units (umockdev) plugged in by this test: the program's own libusb backend
// lists and drives them, and the units' models here record what reached them.

#include "devicelink/cparameter.h"
#include "nerioclirun.h"
#include "support/testsupport.h"
#include "usb/emulatedunits.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

// The child inherits UMOCKDEV_DIR and the preload of umockdev-wrapper (and
// under the asan preset the ASAN_OPTIONS that let the preload come first), so
// its libusb sees the testbed of this process and its usbfs calls are
// answered by the units plugged in here.
Run overUsb(const QStringList &arguments)
{
    QProcess process;
    process.setChildProcessModifier(denyFileAccessOverridesAcrossExec);
    return runNerioCli(process, arguments);
}

QByteArray readFrame(std::uint8_t number)
{
    return bytes({3, 82, number, 0, 3 + 82 + number});
}

// The frames of a whole-set read, in the kind's order.
QList<QByteArray> wholeSetRead(PackKind kind)
{
    const QList<std::uint8_t> order = kind == PackKind::Bodypack ? QList<std::uint8_t>{52, 55, 58, 56, 57, 50, 61, 60, 64}
                                                                 : QList<std::uint8_t>{52, 55, 58, 50, 61, 60};
    QList<QByteArray> frames;
    for (const std::uint8_t number : order)
        frames.append(readFrame(number));
    return frames;
}

QList<QByteArray> hexFrames(std::initializer_list<const char *> frames)
{
    QList<QByteArray> list;
    for (const char *frame : frames)
        list.append(QByteArray::fromHex(frame));
    return list;
}

struct Plugged
{
    PackKind kind;
    QString description;
    UsbPlace place;
    UnitAccess access = UnitAccess::Granted;
};

enum class Fault { None, SilentFrom, GoneAt, DropsOffAfter, NoAccess };

const QString kNoAccessTail = u" (access denied: install 60-nerio-config.rules, see README)"_s;

QJsonObject backupWithoutTime(const QString &path)
{
    QFile file(path);
    QJsonObject backup = file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    backup.remove(u"saved_at"_s);
    return backup;
}

// The settings' parameter numbers of a bodypack.
const QList<std::uint8_t> kBodypackSettingParameters{52, 55, 58, 56, 57, 64};

} // namespace

Q_DECLARE_METATYPE(QList<Plugged>)
Q_DECLARE_METATYPE(Fault)

class TestNerioCliUsb : public QObject
{
    Q_OBJECT

    FixtureFolder m_files;

    QString bodyFile() const { return m_files.path("body.bpack"); }
    QString aircraftFile() const { return m_files.path("aircraft.apack"); }
    QString backups() const { return m_files.path("backups"); }

private slots:
    void initTestCase()
    {
        EmulatedUnits probe;
        if (!probe.active())
            QFAIL("run under umockdev-wrapper");
        QVERIFY(m_files.isValid());
        QVERIFY(m_files.write("body.bpack", bodypackFile("1234", "80")));
        QVERIFY(m_files.write("aircraft.apack", aircraftPackFile()));
        QVERIFY(m_files.write("a-file", "in the way of a folder"));
    }

    void init() { qputenv("NERIO_BACKUP_DIR", backups().toUtf8()); }

    void listUnits_data()
    {
        QTest::addColumn<QList<Plugged>>("plugged");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QJsonArray>("json");

        auto entry = [](int device, const char *kind, const char *productId, const QString &description) {
            return QJsonObject{{u"device"_s, device},
                               {u"kind"_s, QString::fromUtf8(kind)},
                               {u"product_id"_s, QString::fromUtf8(productId)},
                               {u"description"_s, description}};
        };
        QTest::newRow("none") << QList<Plugged>{} << u"No units attached.\n"_s << QJsonArray();
        // Plugged in out of order: device numbers follow bus and port.
        QTest::newRow("both kinds") << QList<Plugged>{{PackKind::AircraftPack, u"Cabin pack"_s, {2, 1}},
                                                      {PackKind::Bodypack, u"Crew pack"_s, {1, 3}}}
                                    << u"0   bodypack       Crew pack\n"
                                       "1   aircraft pack  Cabin pack\n"_s
                                    << QJsonArray{entry(0, "bodypack", "eab0", u"Crew pack"_s),
                                                  entry(1, "aircraft", "eab1", u"Cabin pack"_s)};
        QTest::newRow("one without access")
            << QList<Plugged>{{PackKind::Bodypack, u"Crew pack"_s, {1, 1}},
                              {PackKind::AircraftPack, u"Cabin pack"_s, {1, 2}, UnitAccess::Denied}}
            << u"0   bodypack       Crew pack\n"
               "1   aircraft pack  Nerio Aircraft Pack"_s + kNoAccessTail + u'\n'
            << QJsonArray{entry(0, "bodypack", "eab0", u"Crew pack"_s),
                          entry(1, "aircraft", "eab1", u"Nerio Aircraft Pack"_s + kNoAccessTail)};
    }

    void listUnits()
    {
        QFETCH(QList<Plugged>, plugged);
        QFETCH(QString, text);
        QFETCH(QJsonArray, json);
        EmulatedUnits units;
        for (const Plugged &unit : plugged)
            units.plug(SimulatedUnit(unit.kind, unit.description, UnitSettings{}), unit.place, unit.access);

        const Run asText = overUsb(args({"list"}));
        QCOMPARE(asText.err, QString());
        QCOMPARE(asText.exitCode, 0);
        QCOMPARE(asText.out, text);

        const Run asJson = overUsb(args({"list", "--json"}));
        QCOMPARE(asJson.exitCode, 0);
        QCOMPARE(asJson.json(), QJsonValue(json));
    }

    void readJson_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("device");
        QTest::addColumn<QJsonObject>("record");

        QTest::newRow("bodypack by its product ID") << QStringList() << 0 << kDemoBodypack;
        QTest::newRow("aircraft pack as asked") << args({"--device", "1", "--kind", "aircraft"}) << 1
                                                << kDemoAircraftPack;
    }

    void readJson()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, device);
        QFETCH(QJsonObject, record);
        EmulatedUnits units;
        const std::shared_ptr<EmulatedUnit> plugged[] = {units.plug(SimulatedUnit::demoBodypack(), {1, 1}),
                                                         units.plug(SimulatedUnit::demoAircraftPack(), {1, 2})};

        const Run run = overUsb(args({"read", "--json"}) + arguments);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.json(), QJsonValue(record));
        const PackKind kind = device == 0 ? PackKind::Bodypack : PackKind::AircraftPack;
        QCOMPARE(plugged[device]->receivedFrames(), wholeSetRead(kind));
        QCOMPARE(plugged[1 - device]->receivedFrames(), QList<QByteArray>());
    }

    void writeUnit_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("device");
        QTest::addColumn<QJsonObject>("record");
        QTest::addColumn<QList<QByteArray>>("written");

        QTest::newRow("bodypack, options over its settings")
            << args({"--rf-power", "100", "--side-tone", "24", "--ptt", "aircraft"}) << 0
            << with(kDemoBodypack, {{"rf_power", 100}, {"side_tone", 24}, {"ptt_sel", 0}})
            // The ID as read, RF power, startup volume, mic sensitivity, side
            // tone, PTT selection, the closing command.
            << hexFrames({"04 57 34 0c 22 8f", "03 57 37 64 5a", "03 57 3a 06 5a", "03 57 38 07 5a",
                          "03 57 39 18 5a", "03 57 40 00 5a", "03 43 46 01 46"});
        QTest::newRow("aircraft pack from a file")
            << (args({"--device", "1", "--from"}) << aircraftFile()) << 1
            << with(kDemoAircraftPack, {{"id", 500}, {"rf_power", 100}, {"startup_volume", 2}})
            << hexFrames({"04 57 34 32 00 8f", "03 57 37 64 5a", "03 57 3a 02 5a", "03 43 46 01 46"});
    }

    void writeUnit()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, device);
        QFETCH(QJsonObject, record);
        QFETCH(QList<QByteArray>, written);
        EmulatedUnits units;
        const std::shared_ptr<EmulatedUnit> plugged[] = {units.plug(SimulatedUnit::demoBodypack(), {1, 1}),
                                                         units.plug(SimulatedUnit::demoAircraftPack(), {1, 2})};

        const Run run = overUsb(args({"write", "--json"}) + arguments);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        QJsonObject printed = run.json().toObject();
        const QJsonObject backup = backupWithoutTime(printed.take(u"backup"_s).toString());
        QCOMPARE(backup, device == 0 ? kDemoBodypack : kDemoAircraftPack);
        QCOMPARE(printed, record);
        const PackKind kind = device == 0 ? PackKind::Bodypack : PackKind::AircraftPack;
        QCOMPARE(plugged[device]->receivedFrames(), wholeSetRead(kind) + written);
        QCOMPARE(plugged[1 - device]->receivedFrames(), QList<QByteArray>());
    }

    void unitFailures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("faultAt");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("framesTaken");
        QTest::addColumn<bool>("waitsOutTimeout");

        // Device 0 is a bodypack, device 1 an aircraft pack; the fault is the bodypack's.
        QTest::newRow("bodypack read as aircraft pack")
            << args({"read", "--kind", "aircraft"}) << Fault::None << 0 << Expected::wrongDevice << 0 << false;
        QTest::newRow("aircraft pack written as bodypack")
            << args({"write", "--device", "1", "--kind", "bodypack", "--id", "5"}) << Fault::None << 0 << Expected::wrongDevice
            << 0 << false;
        QTest::newRow("no unit at that number")
            << args({"read", "--device", "2"}) << Fault::None << 0 << Expected::noProductId << 0 << false;
        QTest::newRow("without access") << args({"read"}) << Fault::NoAccess << 0 << Expected::writeFailed << 0 << false;
        // The one real reply time-out of this program: the child reads the real clock.
        QTest::newRow("stops answering in a read")
            << args({"read"}) << Fault::SilentFrom << 3 << Expected::noResponse << 4 << true;
        // A unit that is gone costs no time-out.
        QTest::newRow("drops off before its reply in a read")
            << args({"read"}) << Fault::DropsOffAfter << 3 << Expected::noResponse << 4 << false;
        // At the RF power, after the ID.
        QTest::newRow("gone in a write")
            << args({"write", "--rf-power", "5"}) << Fault::GoneAt << 10 << Expected::writeFailed << 10 << false;
    }

    void unitFailures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Fault, fault);
        QFETCH(int, faultAt);
        QFETCH(QString, message);
        QFETCH(int, framesTaken);
        QFETCH(bool, waitsOutTimeout);
        EmulatedUnits units;
        SimulatedUnit bodypack = SimulatedUnit::demoBodypack();
        if (fault == Fault::SilentFrom)
            bodypack.faults.silentFromExchange = faultAt;
        if (fault == Fault::GoneAt)
            bodypack.faults.unplugAtExchange = faultAt;
        const auto faulty = units.plug(std::move(bodypack), {1, 1},
                                       fault == Fault::NoAccess ? UnitAccess::Denied : UnitAccess::Granted);
        if (fault == Fault::DropsOffAfter)
            faulty->dropOffAfterRequest(faultAt);
        const auto other = units.plug(SimulatedUnit::demoAircraftPack(), {1, 2});

        QElapsedTimer timer;
        timer.start();
        const Run run = overUsb(arguments);
        const qint64 elapsedMs = timer.elapsed();
        QCOMPARE(run.err, message + u'\n');
        QCOMPARE(run.exitCode, 1);
        // A write that fails after its read has saved a backup, and says where.
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(lines.isEmpty() || (lines.size() == 1 && lines.first().startsWith(u"Backup: "_s)), qPrintable(run.out));
        QCOMPARE(faulty->receivedFrames().size() + other->receivedFrames().size(), framesTaken);
        // One time-out for the whole command at most.
        const QByteArray elapsed = QByteArray::number(elapsedMs) + " ms";
        if (waitsOutTimeout)
            QVERIFY2(elapsedMs >= kReplyTimeoutMs && elapsedMs < 2 * kReplyTimeoutMs, elapsed);
        else
            QVERIFY2(elapsedMs < kReplyTimeoutMs, elapsed);
    }

    void fleetWriteGoesOnAfterAFailure()
    {
        // Three bodypacks, the second dropping off at its RF power (after its
        // ID), and an aircraft pack among them that is left alone.
        EmulatedUnits units;
        const auto first = units.plug(SimulatedUnit::demoBodypack(), {1, 1});
        const auto second = units.plug(SimulatedUnit::demoBodypack(), {1, 2});
        second->dropOffAfterRequest(10);
        const auto aircraftPack = units.plug(SimulatedUnit::demoAircraftPack(), {1, 3});
        const auto third = units.plug(SimulatedUnit::demoBodypack(), {1, 4});

        QElapsedTimer timer;
        timer.start();
        const Run run =
            overUsb(args({"write", "--all", "--no-backup", "--kind", "bodypack", "--id-start", "200", "--from"})
                    << bodyFile());
        const qint64 elapsedMs = timer.elapsed();
        QVERIFY2(elapsedMs < kReplyTimeoutMs, QByteArray::number(elapsedMs) + " ms");
        QCOMPARE(run.err, u"device 1: "_s + Expected::noResponse + u'\n');
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, u"device 0, ID 200: Parameters are successfully written.\n"
                          "device 1, ID 201: No response from device.\n"
                          "device 3, ID 202: Parameters are successfully written.\n"
                          "2 of 3 bodypack units written, 1 failed.\n"_s);

        // The file's settings, the unit's own PTT selection, the closing command.
        auto writtenWithId = [](const char *idFrame) {
            return wholeSetRead(PackKind::Bodypack)
                   + hexFrames({idFrame, "03 57 37 50 5a", "03 57 3a 03 5a", "03 57 38 05 5a", "03 57 39 0c 5a",
                                "03 57 40 01 5a", "03 43 46 01 46"});
        };
        QCOMPARE(first->receivedFrames(), writtenWithId("04 57 34 14 00 8f"));
        QCOMPARE(third->receivedFrames(), writtenWithId("04 57 34 14 02 8f"));
        QCOMPARE(second->receivedFrames(), writtenWithId("04 57 34 14 01 8f").first(11)); // up to its RF power
        QCOMPARE(aircraftPack->receivedFrames(), QList<QByteArray>());
    }

    void wrongWriteIsUndone()
    {
        EmulatedUnits units;
        const auto unit = units.plug(SimulatedUnit::demoBodypack(), {1, 1});
        const SimulatedUnit original = SimulatedUnit::demoBodypack();

        const Run wrong = overUsb(args({"write", "--id", "77", "--from"}) << bodyFile());
        QCOMPARE(wrong.exitCode, 0);
        const QString backup = wrong.out.section(u'\n', 0, 0).section(u"Backup: "_s, 1);
        QCOMPARE(backupWithoutTime(backup), kDemoBodypack);

        const Run changed = overUsb(args({"diff", "device:0"}) << backup);
        QCOMPARE(changed.exitCode, 1);
        QVERIFY2(changed.out.startsWith(u"ID: 77 -> 1234\nRF Power (0-127): 80 -> 90\n"_s), qPrintable(changed.out));

        const Run restored = overUsb(args({"restore", "--device", "0"}) << backup);
        QCOMPARE(restored.err, QString());
        QCOMPARE(restored.exitCode, 0);

        const Run same = overUsb(args({"diff", "--json", "device:0"}) << backup);
        QCOMPARE(same.exitCode, 0);
        QCOMPARE(same.json(), QJsonValue(QJsonObject{{u"same"_s, true}, {u"differences"_s, QJsonArray()}}));
        unit->withModel([&](const SimulatedUnit &model) {
            for (const std::uint8_t parameter : kBodypackSettingParameters)
                QCOMPARE(model.parameter(parameter), original.parameter(parameter));
        });
    }

    void failedBackupLeavesTheUnitUntouched()
    {
        const QString folder = m_files.path("a-file") + u"/backups"_s;
        qputenv("NERIO_BACKUP_DIR", folder.toUtf8());
        EmulatedUnits units;
        const auto unit = units.plug(SimulatedUnit::demoBodypack(), {1, 1});

        const Run run = overUsb(args({"write", "--id", "77"}));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith(u"The backup could not be saved in "_s + folder), qPrintable(run.err));
        QCOMPARE(unit->receivedFrames(), wholeSetRead(PackKind::Bodypack));
    }

    void inventoryGoesOnPastASilentUnit()
    {
        EmulatedUnits units;
        units.plug(SimulatedUnit::demoBodypack(), {1, 1});
        SimulatedUnit silent = SimulatedUnit::demoBodypack();
        silent.faults.silentFromExchange = 0;
        units.plug(std::move(silent), {1, 2});
        units.plug(SimulatedUnit::demoAircraftPack(), {1, 3});

        QElapsedTimer timer;
        timer.start();
        const Run run = overUsb(args({"read", "--all", "--json"}));
        const qint64 elapsedMs = timer.elapsed();
        // The one real reply time-out of these tests' inventory.
        QVERIFY2(elapsedMs >= kReplyTimeoutMs && elapsedMs < 2 * kReplyTimeoutMs, QByteArray::number(elapsedMs) + " ms");
        QCOMPARE(run.err, u"device 1: "_s + Expected::noResponse + u'\n');
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.json(), QJsonValue(QJsonArray{kDemoBodypack,
                                                   QJsonObject{{u"device"_s, 1}, {u"error"_s, Expected::noResponse}},
                                                   with(kDemoAircraftPack, {{"device", 2}})}));
    }

    void guessedValueIsNotWrittenBack_data()
    {
        QTest::addColumn<int>("parameter");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("named");
        QTest::newRow("side tone without data bytes") << 57 << QByteArray() << u"its Side Tone"_s;
        QTest::newRow("RF power in two bytes") << 55 << bytes({1, 2}) << u"its RF Power"_s;
    }

    void guessedValueIsNotWrittenBack()
    {
        QFETCH(int, parameter);
        QFETCH(QByteArray, reply);
        QFETCH(QString, named);
        EmulatedUnits units;
        SimulatedUnit model = SimulatedUnit::demoBodypack();
        model.setParameter(std::uint8_t(parameter), reply);
        const auto unit = units.plug(std::move(model), {1, 1});

        const Run run = overUsb(args({"write", "--id", "55"}));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(named), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QCOMPARE(unit->receivedFrames(), wholeSetRead(PackKind::Bodypack));
    }
};

QTEST_GUILESS_MAIN(TestNerioCliUsb)
#include "tst_nerio_cli_usb.moc"
