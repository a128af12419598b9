#include "packparameters/aircraftpackparameters.h"
#include "packparameters/bodypackparameters.h"
#include "packparameters/packexchange.h"
#include "support/fixtures.h"
#include "support/testsupport.h"

#include <QTest>

namespace {

enum class Direction { Read, Write };

Body_cfg_params bodypackRecord(int id, const QString &sv, int ptt_sel = 0)
{
    Body_cfg_params record;
    record.id = std::int16_t(id);
    record.rf_power = 100;
    record.startup_volume = 3;
    record.mic_sensitivity = 12;
    record.side_tone = 20;
    record.sv = sv;
    record.ptt_sel = std::uint8_t(ptt_sel);
    return record;
}

} // namespace

class TestPackParameters : public QObject
{
    Q_OBJECT

private slots:
    void init() { clock.emplace(); }
    void cleanup() { clock.reset(); }

    void readsAWholeSet();
    void versionDecidesThePttRead_data();
    void versionDecidesThePttRead();
    void batteryVoltage_data();
    void batteryVoltage();
    void failedExchangeEndsARead_data();
    void failedExchangeEndsARead();
    void failedExchangeEndsAWrite_data();
    void failedExchangeEndsAWrite();
    void idEncoding_data();
    void idEncoding();
    void unstorableIdsAreRefusedBeforeSending_data();
    void unstorableIdsAreRefusedBeforeSending();
    void versionLabelDecidesThePttWrite_data();
    void versionLabelDecidesThePttWrite();
    void wrongDevice_data();
    void wrongDevice();
    void unreadableProductIdIsNotAWrongDevice();
    void nothingHappensOnceAnErrorStands();
    void outOfRangeRepliesEndTheRead_data();
    void outOfRangeRepliesEndTheRead();
    void replyWithoutDataGivesZero();

private:
    std::optional<FakeReplyClock> clock;
};

void TestPackParameters::readsAWholeSet()
{
    ScopedSimulatedBridge bridge;
    const auto body = bridge->plug(SimulatedUnit::demoBodypack());
    const auto aircraft = bridge->plug(SimulatedUnit::demoAircraftPack());

    Errortype error;
    Body_cfg_params b;
    C_Bodypackparameters().read_params(0, b, error);
    QVERIFY2(!error.status, qPrintable(error.message));
    QCOMPARE(parameterNumbers(body->receivedFrames()), (QList<int>{52, 55, 58, 56, 57, 50, 61, 60, 64}));
    QCOMPARE(b.id, 1234);
    QCOMPARE(b.rf_power, 90);
    QCOMPARE(b.startup_volume, 6);
    QCOMPARE(b.mic_sensitivity, 7);
    QCOMPARE(b.side_tone, 10);
    QCOMPARE(b.sv, u"105"_qs);
    QCOMPARE(b.batt_voltage.toString(), u"3.7"_qs);
    QCOMPARE(b.rssi, 57);
    QCOMPARE(b.ptt_sel, 1);

    Aircraft_cfg_params a;
    C_Aircraftpackparameters().read_params(1, a, error);
    QVERIFY2(!error.status, qPrintable(error.message));
    QCOMPARE(parameterNumbers(aircraft->receivedFrames()), (QList<int>{52, 55, 58, 50, 61, 60}));
    QCOMPARE(a.id, 38);
    QCOMPARE(a.rf_power, 127);
    QCOMPARE(a.startup_volume, 4);
    QCOMPARE(a.sv, u"210"_qs);
    QCOMPARE(a.batt_voltage.toString(), u"4.1"_qs);
    QCOMPARE(a.rssi, 63);
}

void TestPackParameters::versionDecidesThePttRead_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<bool>("pttRead");
    QTest::newRow("100 is not above 100") << bytes({1, 0, 0}) << false;
    QTest::newRow("101") << bytes({1, 0, 1}) << true;
    QTest::newRow("099") << bytes({0, 9, 9}) << false;
    QTest::newRow("1, 10, 2 read as 110") << bytes({1, 10, 2}) << true;
    QTest::newRow("two digits give no version") << bytes({1, 2}) << false;
    QTest::newRow("no data bytes") << QByteArray() << false;
}

void TestPackParameters::versionDecidesThePttRead()
{
    QFETCH(QByteArray, version);
    QFETCH(bool, pttRead);

    ScopedSimulatedBridge bridge;
    const auto unit = bridge->plug(SimulatedUnit::demoBodypack());
    unit->setParameter(50, version);
    unit->setParameter(64, bytes({1}));
    Errortype error;
    Body_cfg_params record;
    C_Bodypackparameters().read_params(0, record, error);
    QVERIFY(!error.status);
    QCOMPARE(parameterNumbers(unit->receivedFrames()).contains(64), pttRead);
    QCOMPARE(record.ptt_sel, pttRead ? 1 : 0);
}

void TestPackParameters::batteryVoltage_data()
{
    QTest::addColumn<int>("tenths");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("german");
    QTest::newRow("0") << 0 << u"0"_qs << u"0"_qs;
    QTest::newRow("5") << 5 << u"0.5"_qs << u"0,5"_qs;
    QTest::newRow("37") << 37 << u"3.7"_qs << u"3,7"_qs;
    QTest::newRow("40") << 40 << u"4"_qs << u"4"_qs;
    QTest::newRow("255") << 255 << u"25.5"_qs << u"25,5"_qs;
}

void TestPackParameters::batteryVoltage()
{
    QFETCH(int, tenths);
    QFETCH(QString, text);
    QFETCH(QString, german);

    ScopedSimulatedBridge bridge;
    bridge->plug(SimulatedUnit::demoAircraftPack())->setParameter(61, bytes({tenths}));
    Errortype error;
    Aircraft_cfg_params record;
    C_Aircraftpackparameters().read_params(0, record, error);
    QVERIFY(!error.status);
    QCOMPARE(record.batt_voltage.tenths(), tenths);
    QCOMPARE(record.batt_voltage.toString(), text);
    QCOMPARE(record.batt_voltage.toString(QLocale(QLocale::German)), german);
}

// An exchange that fails at each place of the read order: the fields read
// before it hold the unit's values, the rest keep theirs, and nothing more
// reaches the unit.
void TestPackParameters::failedExchangeEndsARead_data()
{
    QTest::addColumn<int>("failing");
    QTest::addColumn<int>("frames");
    const char *names[] = {"52 id", "55 rf power", "58 startup volume", "56 mic sensitivity", "57 side tone",
                           "50 version", "61 battery", "60 rssi", "64 ptt"};
    for (int failing = 0; failing < 9; ++failing)
        QTest::newRow(names[failing]) << failing << failing + 1;
}

void TestPackParameters::failedExchangeEndsARead()
{
    QFETCH(int, failing);
    QFETCH(int, frames);

    ScopedSimulatedBridge bridge;
    const auto unit = bridge->plug(SimulatedUnit::demoBodypack());
    unit->faults.silentFromExchange = failing;
    Errortype error;
    Body_cfg_params record = sentinelBodypackRecord();
    C_Bodypackparameters().read_params(0, record, error);

    QCOMPARE(error.message, DeviceMessages::noResponse);
    QCOMPARE(unit->exchangeCount(), frames);
    const Body_cfg_params old = sentinelBodypackRecord();
    QCOMPARE(record.id, failing > 0 ? 1234 : old.id);
    QCOMPARE(record.rf_power, failing > 1 ? 90 : old.rf_power);
    QCOMPARE(record.startup_volume, failing > 2 ? 6 : old.startup_volume);
    QCOMPARE(record.mic_sensitivity, failing > 3 ? 7 : old.mic_sensitivity);
    QCOMPARE(record.side_tone, failing > 4 ? 10 : old.side_tone);
    // A failed version read leaves the empty text behind.
    QCOMPARE(record.sv, failing > 5 ? u"105"_qs : failing == 5 ? QString() : old.sv);
    QCOMPARE(record.batt_voltage, failing > 6 ? BatteryVoltage(37) : old.batt_voltage);
    QCOMPARE(record.rssi, failing > 7 ? 57 : old.rssi);
    QCOMPARE(record.ptt_sel, old.ptt_sel);
}

// The same for a write: the unit keeps the values written before the failing
// exchange, gets nothing after it, and the closing command is not sent.
void TestPackParameters::failedExchangeEndsAWrite_data()
{
    QTest::addColumn<PackKind>("pack");
    QTest::addColumn<int>("failing");
    QTest::addColumn<QList<int>>("sent");

    const QList<int> bodypackOrder{52, 55, 58, 56, 57, 64, 70};
    for (int failing = 0; failing < bodypackOrder.size(); ++failing)
        QTest::addRow("bodypack, %d fails", bodypackOrder[failing])
            << PackKind::Bodypack << failing << bodypackOrder.first(failing + 1);
    const QList<int> aircraftOrder{52, 55, 58, 70};
    for (int failing = 0; failing < aircraftOrder.size(); ++failing)
        QTest::addRow("aircraft pack, %d fails", aircraftOrder[failing])
            << PackKind::AircraftPack << failing << aircraftOrder.first(failing + 1);
}

void TestPackParameters::failedExchangeEndsAWrite()
{
    QFETCH(PackKind, pack);
    QFETCH(int, failing);
    QFETCH(QList<int>, sent);

    ScopedSimulatedBridge bridge;
    const auto unit = bridge->plug(SimulatedUnit::demoUnit(pack));
    const SimulatedUnit before = *unit;
    unit->faults.silentFromExchange = failing;
    Errortype error;
    if (pack == PackKind::Bodypack) {
        C_Bodypackparameters().write_params(0, bodypackRecord(4321, u"x.x.x"_qs, 0), error);
    } else {
        Aircraft_cfg_params record;
        record.id = 4321;
        record.rf_power = 100;
        record.startup_volume = 3;
        C_Aircraftpackparameters().write_params(0, record, error);
    }
    QCOMPARE(error.message, DeviceMessages::noResponse);
    QCOMPARE(parameterNumbers(unit->receivedFrames()), sent);
    // A unit that did not answer may still have stored the failing frame, as
    // a real one may; the parameters after it keep their values.
    for (const int number : {52, 55, 58, 56, 57, 64})
        if (!sent.contains(number))
            QCOMPARE(unit->parameter(std::uint8_t(number)), before.parameter(std::uint8_t(number)));
}

void TestPackParameters::idEncoding_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QByteArray>("dataBytes");
    for (const auto &[id, data] : std::initializer_list<std::pair<int, QByteArray>>{
             {0, bytes({0, 0})},
             {7, bytes({0, 7})},
             {42, bytes({0, 42})},
             {100, bytes({10, 0})},
             {105, bytes({10, 5})},
             {999, bytes({99, 9})},
             {1010, bytes({10, 10})},
             {1234, bytes({12, 34})},
             {9999, bytes({99, 99})},
         })
        QTest::addRow("%d", id) << id << data;
}

// The ID goes out as two data bytes, the echo verifies, and a read gives it back.
void TestPackParameters::idEncoding()
{
    QFETCH(int, id);
    QFETCH(QByteArray, dataBytes);

    ScopedSimulatedBridge bridge;
    const auto unit = bridge->plug(SimulatedUnit::demoBodypack());
    Errortype error;
    C_Bodypackparameters().write_params(0, bodypackRecord(id, u"1.0.0"_qs), error);
    QVERIFY2(!error.status, qPrintable(error.message));
    QCOMPARE(unit->receivedFrames().first().mid(3, 2), dataBytes);
    QCOMPARE(parameterNumbers(unit->receivedFrames()), (QList<int>{52, 55, 58, 56, 57, 70}));

    Body_cfg_params readBack;
    C_Bodypackparameters().read_params(0, readBack, error);
    QCOMPARE(readBack.id, id);
    QCOMPARE(readBack.rf_power, 100);
    QCOMPARE(readBack.side_tone, 20);
}

void TestPackParameters::unstorableIdsAreRefusedBeforeSending_data()
{
    QTest::addColumn<PackKind>("pack");
    QTest::addColumn<int>("id");
    for (const int id : {1000, 1005, 1009, 5503, 9900, 9909, -1, 10000, 32767})
        QTest::addRow("bodypack %d", id) << PackKind::Bodypack << id;
    QTest::newRow("aircraft pack 1005") << PackKind::AircraftPack << 1005;
    QTest::newRow("aircraft pack -5") << PackKind::AircraftPack << -5;
}

void TestPackParameters::unstorableIdsAreRefusedBeforeSending()
{
    QFETCH(PackKind, pack);
    QFETCH(int, id);

    ScopedSimulatedBridge bridge;
    const auto unit = bridge->plug(SimulatedUnit::demoUnit(pack));
    const QByteArray storedId = unit->parameter(52);
    Errortype error;
    if (pack == PackKind::Bodypack) {
        C_Bodypackparameters().write_params(0, bodypackRecord(id, u"x.x.x"_qs), error);
    } else {
        Aircraft_cfg_params record;
        record.id = std::int16_t(id);
        C_Aircraftpackparameters().write_params(0, record, error);
    }
    QVERIFY(error.status);
    QVERIFY2(error.message.contains(QStringLiteral("ID %1 cannot be stored on the unit").arg(id)),
             qPrintable(error.message));
    QCOMPARE(unit->exchangeCount(), 0);
    QCOMPARE(unit->parameter(52), storedId);
}

void TestPackParameters::versionLabelDecidesThePttWrite_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("ptt_sel");
    QTest::addColumn<QList<int>>("sent");
    QTest::addColumn<bool>("refused");
    const QList<int> withPtt{52, 55, 58, 56, 57, 64, 70};
    const QList<int> withoutPtt{52, 55, 58, 56, 57, 70};
    QTest::newRow("x.x.x before any read") << u"x.x.x"_qs << 1 << withPtt << false;
    QTest::newRow("1.0.0") << u"1.0.0"_qs << 1 << withoutPtt << false;
    QTest::newRow("1.0.1") << u"1.0.1"_qs << 0 << withPtt << false;
    QTest::newRow("1.1.02") << u"1.1.02"_qs << 1 << withPtt << false;
    QTest::newRow("too short for a version") << u"1.0"_qs << 1 << withoutPtt << false;
    QTest::newRow("selection 2 is never sent") << u"x.x.x"_qs << 2 << QList<int>() << true;
    QTest::newRow("selection 2 unused without PTT") << u"1.0.0"_qs << 2 << withoutPtt << false;
}

void TestPackParameters::versionLabelDecidesThePttWrite()
{
    QFETCH(QString, label);
    QFETCH(int, ptt_sel);
    QFETCH(QList<int>, sent);
    QFETCH(bool, refused);

    ScopedSimulatedBridge bridge;
    const auto unit = bridge->plug(SimulatedUnit::demoBodypack());
    Errortype error;
    C_Bodypackparameters().write_params(0, bodypackRecord(1234, label, ptt_sel), error);
    QCOMPARE(error.status, refused);
    if (refused)
        QCOMPARE(error.message, PackMessages::invalidChoice(Setting::PttSelection, 2));
    QCOMPARE(parameterNumbers(unit->receivedFrames()), sent);
    if (sent.contains(64))
        QCOMPARE(unit->receivedFrames()[5], bytes({3, 87, 64, ptt_sel, 90}));
}

void TestPackParameters::wrongDevice_data()
{
    QTest::addColumn<PackKind>("pack");
    QTest::addColumn<Direction>("direction");
    QTest::addColumn<QString>("productId");
    QTest::addColumn<bool>("accepted");

    for (const Direction direction : {Direction::Read, Direction::Write}) {
        const char *d = direction == Direction::Read ? "read" : "write";
        QTest::addRow("bodypack %s eab0", d) << PackKind::Bodypack << direction << u"eab0"_qs << true;
        QTest::addRow("bodypack %s EAB0", d) << PackKind::Bodypack << direction << u"EAB0"_qs << false;
        QTest::addRow("bodypack %s eab1", d) << PackKind::Bodypack << direction << u"eab1"_qs << false;
        QTest::addRow("aircraft pack %s eab1", d) << PackKind::AircraftPack << direction << u"eab1"_qs << true;
        QTest::addRow("aircraft pack %s eab0", d) << PackKind::AircraftPack << direction << u"eab0"_qs << false;
    }
    QTest::newRow("aircraft pack read EAB1") << PackKind::AircraftPack << Direction::Read << u"EAB1"_qs << true;
    QTest::newRow("aircraft pack write EAB1") << PackKind::AircraftPack << Direction::Write << u"EAB1"_qs << false;
}

void TestPackParameters::wrongDevice()
{
    QFETCH(PackKind, pack);
    QFETCH(Direction, direction);
    QFETCH(QString, productId);
    QFETCH(bool, accepted);

    ScopedSimulatedBridge bridge;
    const auto unit = bridge->plug(SimulatedUnit::demoBodypack());
    unit->faults.productId = productId.toStdString();
    Errortype error;
    // Records that a refused read must leave as they are.
    Body_cfg_params body = sentinelBodypackRecord();
    Aircraft_cfg_params aircraft;
    aircraft.id = -1;
    if (pack == PackKind::Bodypack && direction == Direction::Read)
        C_Bodypackparameters().read_params(0, body, error);
    else if (pack == PackKind::Bodypack)
        C_Bodypackparameters().write_params(0, bodypackRecord(1234, u"1.0.5"_qs), error);
    else if (direction == Direction::Read)
        C_Aircraftpackparameters().read_params(0, aircraft, error);
    else
        C_Aircraftpackparameters().write_params(0, Aircraft_cfg_params(), error);

    QCOMPARE(error.status, !accepted);
    QCOMPARE(error.message, accepted ? QString() : PackMessages::wrongDevice);
    QCOMPARE(unit->exchangeCount() > 0, accepted);
    if (!accepted) {
        QCOMPARE(body.id, -1);
        QCOMPARE(body.sv, u"sentinel"_qs);
        QCOMPARE(aircraft.id, -1);
    }
}

void TestPackParameters::unreadableProductIdIsNotAWrongDevice()
{
    ScopedSimulatedBridge bridge;
    Errortype readError;
    Body_cfg_params body;
    C_Bodypackparameters().read_params(65535, body, readError);
    QCOMPARE(readError.message, DeviceMessages::noProductId);
    Errortype writeError;
    C_Aircraftpackparameters().write_params(0, Aircraft_cfg_params(), writeError);
    QCOMPARE(writeError.message, DeviceMessages::noProductId);
}

void TestPackParameters::nothingHappensOnceAnErrorStands()
{
    ScopedSimulatedBridge bridge;
    const auto body = bridge->plug(SimulatedUnit::demoBodypack());
    const auto aircraft = bridge->plug(SimulatedUnit::demoAircraftPack());
    Errortype error;
    error.fail(u"first"_qs);

    Body_cfg_params b = sentinelBodypackRecord();
    C_Bodypackparameters().read_params(0, b, error);
    C_Bodypackparameters().write_params(0, bodypackRecord(10, u"x.x.x"_qs), error);
    // Even an ID that cannot be stored adds nothing to the first message.
    C_Bodypackparameters().write_params(0, bodypackRecord(1005, u"x.x.x"_qs), error);
    Aircraft_cfg_params a;
    C_Aircraftpackparameters().read_params(1, a, error);
    C_Aircraftpackparameters().write_params(1, a, error);

    QCOMPARE(error.message, u"first"_qs);
    QCOMPARE(body->exchangeCount() + aircraft->exchangeCount(), 0);
    QCOMPARE(b.id, -1);
    QCOMPARE(a.id, 0);
}

// A unit that sends more bytes than a parameter has: the read stops with a
// message instead of storing a value the field cannot hold.
void TestPackParameters::outOfRangeRepliesEndTheRead_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("frames");
    QTest::newRow("ID 255, 255") << 52 << bytes({255, 255}) << 1;
    QTest::newRow("RF power 3, 0, 0") << 55 << bytes({3, 0, 0}) << 2;
    QTest::newRow("battery 3, 0, 0") << 61 << bytes({3, 0, 0}) << 7;
    QTest::newRow("twenty digits") << 60 << bytes({255, 255, 255, 255, 255, 255}) << 8;
}

void TestPackParameters::outOfRangeRepliesEndTheRead()
{
    QFETCH(int, number);
    QFETCH(QByteArray, reply);
    QFETCH(int, frames);

    ScopedSimulatedBridge bridge;
    const auto unit = bridge->plug(SimulatedUnit::demoBodypack());
    unit->setParameter(std::uint8_t(number), reply);
    Errortype error;
    Body_cfg_params record = sentinelBodypackRecord();
    C_Bodypackparameters().read_params(0, record, error);
    QVERIFY(error.status);
    QVERIFY2(error.message.contains(QStringLiteral("parameter %1").arg(number)), qPrintable(error.message));
    QCOMPARE(unit->exchangeCount(), frames);
    if (number == 52)
        QCOMPARE(record.id, -1);
}

void TestPackParameters::replyWithoutDataGivesZero()
{
    ScopedSimulatedBridge bridge;
    const auto unit = bridge->plug(SimulatedUnit::demoBodypack());
    unit->setParameter(55, QByteArray());
    Errortype error;
    Body_cfg_params record = sentinelBodypackRecord();
    C_Bodypackparameters().read_params(0, record, error);
    QVERIFY(!error.status);
    QCOMPARE(record.rf_power, 0);
    QCOMPARE(record.startup_volume, 6);
    QCOMPARE(unit->exchangeCount(), 9);
}

QTEST_GUILESS_MAIN(TestPackParameters)
#include "tst_packparameters.moc"
