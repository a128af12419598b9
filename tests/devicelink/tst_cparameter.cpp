#include "devicelink/cparameter.h"
#include "support/testsupport.h"

#include <QElapsedTimer>
#include <QTest>

#include <ctime>

Q_DECLARE_METATYPE(UnitFaults)

namespace {

enum class Operation { Read, Write, Command };

// A bridge with one unit whose transport misbehaves in ways no simulated unit
// does: from queue query `readyFromQuery` on, `queued` bytes are ready (none
// before), and every read succeeds with `delivered` and counts
// `reportedCount` bytes.
class ScriptedBridge : public BridgeBackend
{
public:
    std::uint32_t queued = 0;
    int readyFromQuery = 0;
    QByteArray delivered;
    std::uint32_t reportedCount = 0;
    int queries = 0;

    SiStatus getNumDevices(std::uint32_t &count) override
    {
        count = 1;
        return kBridgeSuccess;
    }
    SiStatus getProductString(std::uint32_t, std::span<char, kProductStringSize>, ProductStringOption) override
    {
        return kBridgeFailure;
    }
    SiStatus open(std::uint32_t, SiHandle &handle) override
    {
        handle = 1;
        return kBridgeSuccess;
    }
    SiStatus close(SiHandle) override { return kBridgeSuccess; }
    SiStatus write(SiHandle, std::span<const std::uint8_t> frame, std::uint32_t &written) override
    {
        written = std::uint32_t(frame.size());
        return kBridgeSuccess;
    }
    SiStatus read(SiHandle, std::span<std::uint8_t> buffer, std::uint32_t &bytesRead) override
    {
        std::copy_n(delivered.constData(), std::min(buffer.size(), std::size_t(delivered.size())), buffer.begin());
        bytesRead = reportedCount;
        return kBridgeSuccess;
    }
    SiStatus checkRxQueue(SiHandle, std::uint32_t &count, std::uint32_t &queueStatus) override
    {
        const bool ready = ++queries >= readyFromQuery;
        count = ready ? queued : 0;
        queueStatus = ready ? kRxQueueReady : 0;
        return kBridgeSuccess;
    }
};

struct ScopedScriptedBridge
{
    std::shared_ptr<ScriptedBridge> bridge = std::make_shared<ScriptedBridge>();
    std::shared_ptr<BridgeBackend> previous = installBridgeBackend(bridge);
    ~ScopedScriptedBridge() { installBridgeBackend(previous); }
};

} // namespace

class TestCParameter : public QObject
{
    Q_OBJECT

private slots:
    void framesOnTheWire_data();
    void framesOnTheWire();
    void replies_data();
    void replies();
    void replyWaitsForTheReadyStatus_data();
    void replyWaitsForTheReadyStatus();
    void readOfNoBytesIsNoReply();
    void replyWaitEndsWhenTheClockWraps();
    void nothingIsSentOnceAnErrorStands();
    void invalidDottedValuesAreNotSent_data();
    void invalidDottedValuesAreNotSent();
    void productId();
    void emptySimulatedQueueLeavesTheProcessorFree();
};

// Each frame as it reaches the unit, and what the exchange then records.
void TestCParameter::framesOnTheWire_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("message");

    const QString ok;
    QTest::newRow("read 52") << Operation::Read << 52 << QString() << bytes({3, 82, 52, 0, 137}) << ok;
    QTest::newRow("read 50") << Operation::Read << 50 << QString() << bytes({3, 82, 50, 0, 135}) << ok;
    QTest::newRow("write 55 = 5") << Operation::Write << 55 << "5" << bytes({3, 87, 55, 5, 90}) << ok;
    QTest::newRow("one byte sums length and operation only")
        << Operation::Write << 57 << "200" << bytes({3, 87, 57, 200, 90}) << ok;
    QTest::newRow("write 52 = 12.34") << Operation::Write << 52 << "12.34" << bytes({4, 87, 52, 12, 34, 143}) << ok;
    QTest::newRow("write 52 = 0.5, echo 05") << Operation::Write << 52 << "0.5" << bytes({4, 87, 52, 0, 5, 143})
                                             << ok;
    QTest::newRow("write 52 = 0.42, echo 042")
        << Operation::Write << 52 << "0.42" << bytes({4, 87, 52, 0, 42, 143}) << ok;
    QTest::newRow("write 52 = 10.0, echo 100")
        << Operation::Write << 52 << "10.0" << bytes({4, 87, 52, 10, 0, 143}) << ok;
    QTest::newRow("three bytes take in the first data byte")
        << Operation::Write << 60 << "1.2.3" << bytes({5, 87, 60, 1, 2, 3, 153}) << DeviceMessages::wrongEcho;
    QTest::newRow("write 52 = 12.05, echo 125 reads 12.5")
        << Operation::Write << 52 << "12.05" << bytes({4, 87, 52, 12, 5, 143}) << DeviceMessages::wrongEcho;
    QTest::newRow("two pieces for another parameter never match")
        << Operation::Write << 55 << "1.2" << bytes({4, 87, 55, 1, 2, 146}) << DeviceMessages::wrongEcho;
    QTest::newRow("leading zero piece") << Operation::Write << 58 << "05" << bytes({3, 87, 58, 5, 90})
                                        << DeviceMessages::wrongEcho;
    QTest::newRow("empty value, echo without data")
        << Operation::Write << 55 << "" << bytes({2, 87, 55, 2}) << DeviceMessages::wrongEcho;
    QTest::newRow("command 70 = 1") << Operation::Command << 70 << "1" << bytes({3, 67, 70, 1, 70}) << ok;
    QTest::newRow("empty command") << Operation::Command << 70 << "" << bytes({2, 67, 70, 2})
                                   << DeviceMessages::wrongCommandEcho;
}

void TestCParameter::framesOnTheWire()
{
    QFETCH(Operation, operation);
    QFETCH(int, number);
    QFETCH(QString, data);
    QFETCH(QByteArray, frame);
    QFETCH(QString, message);

    FakeReplyClock clock;
    ScopedSimulatedBridge bridge;
    const auto unit = bridge->plug(SimulatedUnit::demoBodypack());
    CParameter param(0);
    Errortype error;
    switch (operation) {
    case Operation::Read:
        param.read(quint8(number), error);
        break;
    case Operation::Write:
        param.write(quint8(number), data, error);
        break;
    case Operation::Command:
        param.command(quint8(number), data, error);
        break;
    }
    QCOMPARE(unit->receivedFrames().first(), frame);
    QCOMPARE(error.message, message);
    QCOMPARE(error.status, !message.isEmpty());
    QCOMPARE(bridge->openHandleCount(), 0u);
}

// What `read` hands back for a reply, and what the exchange records.
void TestCParameter::replies_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<UnitFaults>("faults");
    QTest::addColumn<ReplyValue>("value");
    QTest::addColumn<QString>("message");

    const QByteArray version = bytes({1, 0, 5});
    const ReplyValue failed = QString();
    const UnitFaults none;
    UnitFaults noData;
    noData.replyWithoutData = true;
    UnitFaults beyond;
    beyond.lengthBeyondReply = true;
    UnitFaults oversized;
    oversized.oversizedReply = true;
    UnitFaults openFails;
    openFails.openFails = true;
    UnitFaults writeFails;
    writeFails.writeFails = true;
    UnitFaults unplugged;
    unplugged.unplugAtExchange = 0;
    UnitFaults silent;
    silent.silentFromExchange = 0;

    QTest::newRow("bytes 1, 0, 5 give 105") << version << none << ReplyValue(u"105"_qs) << QString();
    QTest::newRow("bytes 0, 5 keep the zero") << bytes({0, 5}) << none << ReplyValue(u"05"_qs) << QString();
    QTest::newRow("bytes 12, 34 give 1234") << bytes({12, 34}) << none << ReplyValue(u"1234"_qs) << QString();
    QTest::newRow("six data bytes fill the buffer")
        << bytes({1, 2, 3, 4, 5, 255}) << none << ReplyValue(u"12345255"_qs) << QString();
    QTest::newRow("no data bytes is no text, no failure") << version << noData << ReplyValue() << QString();
    QTest::newRow("length byte past the bytes received") << version << beyond << failed << DeviceMessages::noResponse;
    QTest::newRow("seven data bytes overflow the buffer")
        << bytes({1, 2, 3, 4, 5, 6, 7}) << none << failed << DeviceMessages::noResponse;
    QTest::newRow("more bytes than any reply") << version << oversized << failed << DeviceMessages::noResponse;
    QTest::newRow("silent unit") << version << silent << failed << DeviceMessages::noResponse;
    QTest::newRow("open fails") << version << openFails << failed << DeviceMessages::writeFailed;
    QTest::newRow("write fails") << version << writeFails << failed << DeviceMessages::writeFailed;
    QTest::newRow("unplugged") << version << unplugged << failed << DeviceMessages::writeFailed;
}

void TestCParameter::replies()
{
    QFETCH(QByteArray, stored);
    QFETCH(UnitFaults, faults);
    QFETCH(ReplyValue, value);
    QFETCH(QString, message);

    FakeReplyClock clock;
    ScopedSimulatedBridge bridge;
    const auto unit = bridge->plug(SimulatedUnit::demoBodypack());
    unit->setParameter(50, stored);
    unit->faults = faults;
    CParameter param(0);
    Errortype error;
    QCOMPARE(param.read(50, error), value);
    QCOMPARE(error.message, message);
    QCOMPARE(error.status, !message.isEmpty());
    QCOMPARE(bridge->openHandleCount(), 0u);
}

// The wait ends on the ready status or after 2000 ms, and then reads what the
// last query reported.
void TestCParameter::replyWaitsForTheReadyStatus_data()
{
    QTest::addColumn<UnitFaults>("faults");
    QTest::addColumn<ReplyValue>("value");
    QTest::addColumn<int>("waitedMs");

    UnitFaults silent;
    silent.silentFromExchange = 0;
    UnitFaults neverReady;
    neverReady.queueNeverReady = true;
    UnitFaults late;
    late.replyDelayMs = 1500;
    UnitFaults tooLate;
    tooLate.replyDelayMs = 2500;

    QTest::newRow("prompt reply") << UnitFaults() << ReplyValue(u"105"_qs) << 0;
    QTest::newRow("late reply") << late << ReplyValue(u"105"_qs) << 1500;
    QTest::newRow("queued, never ready, read after time-out") << neverReady << ReplyValue(u"105"_qs) << 2000;
    QTest::newRow("silent unit") << silent << ReplyValue(QString()) << 2000;
    QTest::newRow("reply after the time-out") << tooLate << ReplyValue(QString()) << 2000;
}

void TestCParameter::replyWaitsForTheReadyStatus()
{
    QFETCH(UnitFaults, faults);
    QFETCH(ReplyValue, value);
    QFETCH(int, waitedMs);

    FakeReplyClock clock;
    ScopedSimulatedBridge bridge;
    bridge->plug(SimulatedUnit::demoBodypack())->faults = faults;
    CParameter param(0);
    Errortype error;
    const std::uint64_t start = clock.now();
    QCOMPARE(param.read(50, error), value);
    const auto waited = int(clock.now() - start);
    QVERIFY2(waited >= waitedMs && waited <= waitedMs + 5, qPrintable(QString::number(waited)));
}

// The protocol does not rely on the bridge for it: a read that reports
// success but delivered nothing leaves only the zeroed buffer to decode.
void TestCParameter::readOfNoBytesIsNoReply()
{
    FakeReplyClock clock;
    ScopedScriptedBridge scripted;
    scripted.bridge->queued = 6;
    Errortype error;
    QCOMPARE(CParameter(0).read(50, error), ReplyValue(QString()));
    QCOMPARE(error.message, DeviceMessages::noResponse);

    scripted.bridge->delivered = bytes({5, 82, 50, 1, 0, 5});
    scripted.bridge->reportedCount = 6;
    Errortype whole;
    QCOMPARE(CParameter(0).read(50, whole), ReplyValue(u"105"_qs));
    QVERIFY(!whole.status);
}

// A 32-bit tick counter that wraps during the wait still ends it after
// 2000 ms. The unit turns ready long after that, so that a wait that misses
// the limit ends with a reply instead of hanging the test.
void TestCParameter::replyWaitEndsWhenTheClockWraps()
{
    ScopedScriptedBridge scripted;
    scripted.bridge->queued = 6;
    scripted.bridge->delivered = bytes({5, 82, 50, 1, 0, 5});
    scripted.bridge->reportedCount = 6;
    scripted.bridge->readyFromQuery = 100'000;
    auto ticks = std::make_shared<std::uint32_t>(0xFFFF'FFFFu - 500);
    const MillisecondClock previous = setReplyClock([ticks] { return (*ticks)++; });

    Errortype error;
    const std::uint32_t start = *ticks;
    const ReplyValue value = CParameter(0).read(50, error);
    const std::uint32_t waited = *ticks - start;
    setReplyClock(previous);

    QCOMPARE(value, ReplyValue(QString()));
    QCOMPARE(error.message, DeviceMessages::noResponse);
    QVERIFY2(waited >= 2000 && waited <= 2005, qPrintable(QString::number(waited)));
}

void TestCParameter::nothingIsSentOnceAnErrorStands()
{
    FakeReplyClock clock;
    ScopedSimulatedBridge bridge;
    const auto unit = bridge->plug(SimulatedUnit::demoBodypack());
    CParameter param(0);
    Errortype error;
    error.status = true;
    error.message = u"first"_qs;

    QCOMPARE(param.read(52, error), ReplyValue(QString()));
    param.write(55, u"5"_qs, error);
    param.command(70, u"1"_qs, error);
    QCOMPARE(unit->exchangeCount(), 0);
    QCOMPARE(error.message, u"first"_qs);
    QVERIFY(error.status);
}

// Values no caller builds are refused without sending anything.
void TestCParameter::invalidDottedValuesAreNotSent_data()
{
    QTest::addColumn<QString>("data");
    QTest::newRow("seven pieces") << u"1.2.3.4.5.6.7"_qs;
    QTest::newRow("piece above 255") << u"256"_qs;
    QTest::newRow("sign") << u"-1"_qs;
    QTest::newRow("leading dot") << u".5"_qs;
    QTest::newRow("trailing dot") << u"5."_qs;
    QTest::newRow("doubled dot") << u"1..2"_qs;
    QTest::newRow("space") << u" 5"_qs;
    QTest::newRow("long digit run") << u"0000000005"_qs;
}

void TestCParameter::invalidDottedValuesAreNotSent()
{
    QFETCH(QString, data);
    ScopedSimulatedBridge bridge;
    const auto unit = bridge->plug(SimulatedUnit::demoBodypack());
    CParameter param(0);

    Errortype writeError;
    param.write(55, data, writeError);
    QCOMPARE(writeError.message, DeviceMessages::wrongEcho);
    Errortype commandError;
    param.command(70, data, commandError);
    QCOMPARE(commandError.message, DeviceMessages::wrongCommandEcho);
    QCOMPARE(unit->exchangeCount(), 0);
}

void TestCParameter::productId()
{
    ScopedSimulatedBridge bridge;
    bridge->plug(SimulatedUnit::demoBodypack());
    bridge->plug(SimulatedUnit::demoAircraftPack())->faults.productId = "EAB1";

    Errortype error;
    QCOMPARE(CParameter(0).GetProductID(error), u"eab0"_qs);
    QCOMPARE(CParameter(1).GetProductID(error), u"EAB1"_qs);
    QVERIFY(!error.status);
    QCOMPARE(CParameter(65535).GetProductID(error), QString());
    QCOMPARE(error.message, DeviceMessages::noProductId);
    QVERIFY(error.status);
    QCOMPARE(bridge->openHandleCount(), 0u);
}

// The reply wait queries without a pause; on the real clock a simulated unit
// with nothing queued pauses each query about 1 ms instead of spinning, as a
// query on a real unit blocks in the kernel.
void TestCParameter::emptySimulatedQueueLeavesTheProcessorFree()
{
    ScopedSimulatedBridge bridge;
    bridge->plug(SimulatedUnit::demoBodypack())->faults.silentFromExchange = 0;
    SiHandle handle = kInvalidHandle;
    QCOMPARE(SI_Open(0, &handle), kBridgeSuccess);
    const QByteArray frame = bytes({3, 82, 50, 0, 135});
    std::uint32_t written = 0;
    QCOMPARE(SI_Write(handle, reinterpret_cast<const std::uint8_t *>(frame.constData()), 5, &written), kBridgeSuccess);

    constexpr int kQueries = 20;
    const auto processorTime = [] {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
    };
    QElapsedTimer wall;
    wall.start();
    const long long processorBefore = processorTime();
    for (int query = 0; query < kQueries; ++query) {
        std::uint32_t queued = 0;
        std::uint32_t status = 0;
        SI_CheckRXQueue(handle, &queued, &status);
        QCOMPARE(queued, 0u);
    }
    const long long processorNs = processorTime() - processorBefore;
    const qint64 wallNs = wall.nsecsElapsed();
    SI_Close(handle);
    QVERIFY2(wallNs >= kQueries * 1'000'000LL, qPrintable(QString::number(wallNs)));
    QVERIFY2(processorNs < wallNs / 2, qPrintable(QStringLiteral("%1 of %2 ns").arg(processorNs).arg(wallNs)));
}

QTEST_GUILESS_MAIN(TestCParameter)
#include "tst_cparameter.moc"
