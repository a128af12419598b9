// The libusb backend end to end: libusb lists and drives emulated units
// (umockdev) that answer with the same unit model as the simulated bridge.

#include "devicelink/usb/libusbbridge.h"
#include "packparameters/aircraftpackparameters.h"
#include "packparameters/bodypackparameters.h"
#include "support/testsupport.h"
#include "usb/emulatedunits.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

// Emulated units with the libusb backend over them. The backend comes after
// the testbed, whose sysfs it lists, and goes before it.
struct EmulatedUsb
{
    EmulatedUnits units;
    std::shared_ptr<BridgeBackend> previous = installBridgeBackend(makeLibusbBridge());

    ~EmulatedUsb() { installBridgeBackend(previous); }
};

struct Entry
{
    QString description;
    QString productId;

    friend bool operator==(const Entry &, const Entry &) = default;
};

char *toString(const Entry &entry)
{
    return QTest::toString(entry.description + QStringLiteral(" / ") + entry.productId);
}

// What the device search sees: one entry per device number.
QList<Entry> search()
{
    std::uint32_t count = 0;
    SI_GetNumDevices(&count);
    QList<Entry> entries;
    for (std::uint32_t device = 0; device < count; ++device) {
        std::array<char, kProductStringSize> description{};
        std::array<char, kProductStringSize> productId{};
        const bool described = SI_GetProductString(device, description.data(), 1) == kBridgeSuccess;
        const bool identified = SI_GetProductString(device, productId.data(), 4) == kBridgeSuccess;
        entries.append({described ? QString::fromLocal8Bit(description.data()) : QStringLiteral("(none)"),
                        identified ? QString::fromLocal8Bit(productId.data()) : QStringLiteral("(none)")});
    }
    return entries;
}

SimulatedUnit unitCalled(PackKind kind, const QString &description)
{
    return SimulatedUnit(kind, description, UnitSettings{});
}

struct Plugged
{
    PackKind kind;
    QString description;
    UsbPlace place;
};

} // namespace

Q_DECLARE_METATYPE(QList<Plugged>)
Q_DECLARE_METATYPE(QList<Entry>)

class TestLibusbBridge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        EmulatedUnits probe;
        if (!probe.active())
            QFAIL("run under umockdev-wrapper");
    }

    void listsUnitsByBusAndPort_data()
    {
        QTest::addColumn<QList<Plugged>>("plugged");
        QTest::addColumn<QList<Entry>>("expected");
        const auto body = PackKind::Bodypack;
        const auto aircraft = PackKind::AircraftPack;

        QTest::newRow("none") << QList<Plugged>{} << QList<Entry>{};
        QTest::newRow("one bodypack") << QList<Plugged>{{body, QStringLiteral("Nerio Bodypack"), {1, 4}}}
                                      << QList<Entry>{{QStringLiteral("Nerio Bodypack"), QStringLiteral("eab0")}};
        QTest::newRow("one aircraft pack")
            << QList<Plugged>{{aircraft, QStringLiteral("Nerio Aircraft Pack"), {3, 1}}}
            << QList<Entry>{{QStringLiteral("Nerio Aircraft Pack"), QStringLiteral("eab1")}};
        // Plugged in out of order: the numbering follows bus and port, not time.
        QTest::newRow("three, both kinds")
            << QList<Plugged>{{aircraft, QStringLiteral("C"), {2, 1}},
                              {body, QStringLiteral("B"), {1, 3}},
                              {aircraft, QStringLiteral("A"), {1, 2}}}
            << QList<Entry>{{QStringLiteral("A"), QStringLiteral("eab1")},
                            {QStringLiteral("B"), QStringLiteral("eab0")},
                            {QStringLiteral("C"), QStringLiteral("eab1")}};
        QTest::newRow("without product string")
            << QList<Plugged>{{body, QString(), {1, 1}}}
            << QList<Entry>{{QStringLiteral("Nerio Bodypack"), QStringLiteral("eab0")}};
    }

    void listsUnitsByBusAndPort()
    {
        QFETCH(QList<Plugged>, plugged);
        QFETCH(QList<Entry>, expected);
        EmulatedUsb usb;
        for (const Plugged &unit : plugged)
            usb.units.plug(unitCalled(unit.kind, unit.description), unit.place);

        QCOMPARE(search(), expected);
        std::array<char, kProductStringSize> text{};
        QCOMPARE(SI_GetProductString(std::uint32_t(expected.size()), text.data(), 1), kBridgeFailure);
    }

    void readsAndWritesWholeBodypack_data()
    {
        QTest::addColumn<int>("pieceSize");
        QTest::newRow("one packet per reply") << int(UnitUsb::maxPacketSize);
        QTest::newRow("replies in pieces of 2 bytes") << 2;
        QTest::newRow("replies byte by byte") << 1;
    }

    void readsAndWritesWholeBodypack()
    {
        QFETCH(int, pieceSize);
        EmulatedUsb usb;
        usb.units.plug(SimulatedUnit::demoAircraftPack(), {1, 1});
        const auto bodypack = usb.units.plug(SimulatedUnit::demoBodypack(), {1, 2});
        bodypack->sendInPiecesOf(pieceSize);

        // No search first: the backend lists on first use.
        Errortype error;
        Body_cfg_params read;
        C_Bodypackparameters().read_params(1, read, error);
        QVERIFY2(!error.status, qPrintable(error.message));
        QCOMPARE(read.id, 1234);
        QCOMPARE(read.rf_power, 90);
        QCOMPARE(read.startup_volume, 6);
        QCOMPARE(read.mic_sensitivity, 7);
        QCOMPARE(read.side_tone, 10);
        QCOMPARE(read.sv, QStringLiteral("105"));
        QCOMPARE(read.batt_voltage.toString(), QStringLiteral("3.7"));
        QCOMPARE(read.rssi, 57);
        QCOMPARE(read.ptt_sel, 1);
        const QList<QByteArray> readFrames{
            bytes({3, 82, 52, 0, 137}), bytes({3, 82, 55, 0, 140}), bytes({3, 82, 58, 0, 143}),
            bytes({3, 82, 56, 0, 141}), bytes({3, 82, 57, 0, 142}), bytes({3, 82, 50, 0, 135}),
            bytes({3, 82, 61, 0, 146}), bytes({3, 82, 60, 0, 145}), bytes({3, 82, 64, 0, 149}),
        };
        QCOMPARE(bodypack->receivedFrames(), readFrames);

        Body_cfg_params written = read;
        written.id = 4321;
        written.rf_power = 100;
        written.startup_volume = 3;
        written.mic_sensitivity = 12;
        written.side_tone = 20;
        written.ptt_sel = 0;
        written.sv = QStringLiteral("1.0.5");
        C_Bodypackparameters().write_params(1, written, error);
        QVERIFY2(!error.status, qPrintable(error.message));
        const QList<QByteArray> writeFrames{
            bytes({4, 87, 52, 43, 21, 143}), bytes({3, 87, 55, 100, 90}), bytes({3, 87, 58, 3, 90}),
            bytes({3, 87, 56, 12, 90}),      bytes({3, 87, 57, 20, 90}),  bytes({3, 87, 64, 0, 90}),
            bytes({3, 67, 70, 1, 70}),
        };
        QCOMPARE(bodypack->receivedFrames().mid(readFrames.size()), writeFrames);
        bodypack->withModel([](SimulatedUnit &unit) {
            QCOMPARE(unit.parameter(52), bytes({43, 21}));
            QCOMPARE(unit.parameter(55), bytes({100}));
            QCOMPARE(unit.parameter(64), bytes({0}));
        });
    }

    // The listing asks each unit for its product string. A unit whose control
    // pipe hangs gets an entry under its kind's name, after the backend's
    // bound on the request (500 ms) rather than libusb's second.
    void hungControlPipeCostsTheListingLittle()
    {
        EmulatedUsb usb;
        usb.units.plug(unitCalled(PackKind::Bodypack, QStringLiteral("Hung")), {1, 1})->hangControlRequests();
        QElapsedTimer timer;
        timer.start();
        const QList<Entry> entries = search();
        const qint64 elapsedMs = timer.elapsed();
        QCOMPARE(entries, QList<Entry>({{QStringLiteral("Nerio Bodypack"), QStringLiteral("eab0")}}));
        QVERIFY2(elapsedMs >= 400 && elapsedMs < 1000, qPrintable(QString::number(elapsedMs)));
    }

    void silentUnitCostsOneTimeout()
    {
        EmulatedUsb usb;
        SimulatedUnit silent = SimulatedUnit::demoBodypack();
        silent.faults.silentFromExchange = 0;
        const auto unit = usb.units.plug(std::move(silent), {1, 1});
        FakeReplyClock clock;

        Errortype error;
        Body_cfg_params record;
        const std::uint64_t before = clock.now();
        C_Bodypackparameters().read_params(0, record, error);
        QCOMPARE(error.message, DeviceMessages::noResponse);
        QCOMPARE(unit->receivedFrames().size(), 1);
        QVERIFY(clock.now() - before >= kReplyTimeoutMs);
        QVERIFY(clock.now() - before < 2 * kReplyTimeoutMs);
    }

    void unplugDuringExchange_data()
    {
        QTest::addColumn<bool>("beforeReply");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("framesTaken");
        QTest::newRow("at the request") << false << DeviceMessages::writeFailed << 2;
        QTest::newRow("before the reply") << true << DeviceMessages::noResponse << 3;
    }

    void unplugDuringExchange()
    {
        QFETCH(bool, beforeReply);
        QFETCH(QString, message);
        QFETCH(int, framesTaken);
        EmulatedUsb usb;
        SimulatedUnit model = SimulatedUnit::demoBodypack();
        if (!beforeReply)
            model.faults.unplugAtExchange = 2;
        const auto unit = usb.units.plug(std::move(model), {1, 1});
        if (beforeReply)
            unit->dropOffAfterRequest(2);
        FakeReplyClock clock;
        QCOMPARE(search().size(), 1);

        Errortype error;
        Body_cfg_params record;
        const std::uint64_t before = clock.now();
        C_Bodypackparameters().read_params(0, record, error);
        QCOMPARE(error.message, message);
        QCOMPARE(unit->receivedFrames().size(), framesTaken);
        // A unit that is gone does not make the exchange wait out the time-out.
        QVERIFY(clock.now() - before < kReplyTimeoutMs);

        usb.units.unplug(unit);
        Errortype again;
        C_Bodypackparameters().read_params(0, record, again);
        QCOMPARE(again.message, DeviceMessages::noProductId);
        QCOMPARE(search().size(), 0);
    }

    void unitWithoutAccessKeepsItsEntry()
    {
        EmulatedUsb usb;
        usb.units.plug(SimulatedUnit::demoBodypack(), {1, 1});
        const auto denied = usb.units.plug(SimulatedUnit::demoAircraftPack(), {1, 2}, UnitAccess::Denied);

        const QList<Entry> expected{
            {QStringLiteral("Demo Bodypack"), QStringLiteral("eab0")},
            {QStringLiteral("Nerio Aircraft Pack (access denied: install 60-nerio-config.rules, see README)"),
             QStringLiteral("eab1")},
        };
        QCOMPARE(search(), expected);

        Errortype error;
        Aircraft_cfg_params record;
        C_Aircraftpackparameters().read_params(1, record, error);
        QCOMPARE(error.message, DeviceMessages::writeFailed);
        QVERIFY(denied->receivedFrames().isEmpty());

        Errortype other;
        Body_cfg_params body;
        C_Bodypackparameters().read_params(0, body, other);
        QVERIFY2(!other.status, qPrintable(other.message));
    }

    void numbersHoldUntilTheNextSearch()
    {
        EmulatedUsb usb;
        const auto first = usb.units.plug(unitCalled(PackKind::Bodypack, QStringLiteral("first")), {1, 1});
        const auto second = usb.units.plug(unitCalled(PackKind::Bodypack, QStringLiteral("second")), {1, 2});
        QCOMPARE(search().size(), 2);

        // Another unit of the same kind takes the first one's port.
        usb.units.unplug(first);
        const auto newcomer = usb.units.plug(unitCalled(PackKind::Bodypack, QStringLiteral("newcomer")), {1, 1});

        Errortype error;
        Body_cfg_params record;
        C_Bodypackparameters().read_params(0, record, error);
        QCOMPARE(error.message, DeviceMessages::noProductId);
        QVERIFY(newcomer->receivedFrames().isEmpty());

        Errortype stillThere;
        C_Bodypackparameters().read_params(1, record, stillThere);
        QVERIFY2(!stillThere.status, qPrintable(stillThere.message));
        QVERIFY(!second->receivedFrames().isEmpty());

        const QList<Entry> expected{{QStringLiteral("newcomer"), QStringLiteral("eab0")},
                                    {QStringLiteral("second"), QStringLiteral("eab0")}};
        QCOMPARE(search(), expected);
        Errortype afterSearch;
        C_Bodypackparameters().read_params(0, record, afterSearch);
        QVERIFY2(!afterSearch.status, qPrintable(afterSearch.message));
        QVERIFY(!newcomer->receivedFrames().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLibusbBridge)
#include "tst_libusbbridge.moc"
