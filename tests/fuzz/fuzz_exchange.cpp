// Whole-set reads and writes of both kinds against a bridge whose behaviour
// the input decides, call by call. Its one unit answers as the demo unit of
// the kind would; each call first takes a byte that chooses between that and
// a misbehaviour (a failed call, a wrong product ID, a queue that never turns
// ready, a count of queued bytes or of bytes read that is out of all bounds,
// a reply of the input's bytes). A byte of 0, and so an input that has run
// out, chooses the unit's own answer. The reply clock is a 32-bit tick
// counter starting where the input says, so that it may wrap in a wait, and
// advancing 1 ms each time it is read: no time-out costs real time.
//
// The input, in the order it is taken: the kind (bit 0); the record to write
// (ID two bytes, RF power, startup volume, mic sensitivity, side tone, PTT
// selection, then the version label's text: a choice byte and, for a text of
// the input's own, a length and that many bytes); the clock's start (four
// bytes, little-endian); then one choice per bridge call, with the bytes that
// choice takes.

#include "devicelink/frameconstants.h"
#include "devicelink/replyclock.h"
#include "devicelink/simulated/unitmodel.h"
#include "devicelink/siusbbridge.h"
#include "fuzzinput.h"
#include "packparameters/aircraftpackparameters.h"
#include "packparameters/bodypackparameters.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace {

class FuzzedBridge : public BridgeBackend
{
public:
    FuzzedBridge(FuzzInput &input, PackKind kind) : m_input(input), m_unit(UnitModel::demoUnit(kind)) {}

    std::size_t openHandles() const { return m_open.size(); }

    SiStatus getNumDevices(std::uint32_t &count) override
    {
        count = 1;
        return kBridgeSuccess;
    }

    SiStatus getProductString(std::uint32_t, std::span<char, kProductStringSize> buffer,
                              ProductStringOption) override
    {
        QByteArray text = QByteArray::fromStdString(m_unit.productId());
        switch (m_input.byte() % 5) {
        case 1:
            return kBridgeFailure;
        case 2:
            text = text.toUpper();
            break;
        case 3: {
            const PackKind other = m_unit.kind() == PackKind::Bodypack ? PackKind::AircraftPack : PackKind::Bodypack;
            text = productIdText(other).data();
            break;
        }
        case 4:
            // Any bytes, up to a buffer without a terminating zero.
            text = m_input.bytes(m_input.byte() + 1);
            break;
        default:
            break;
        }
        std::copy_n(text.constData(), std::min(buffer.size(), std::size_t(text.size())), buffer.begin());
        if (std::size_t(text.size()) < buffer.size())
            buffer[std::size_t(text.size())] = '\0';
        return kBridgeSuccess;
    }

    SiStatus open(std::uint32_t, SiHandle &handle) override
    {
        if (m_input.byte() % 2)
            return kBridgeFailure;
        handle = ++m_lastHandle;
        m_open.insert(handle);
        return kBridgeSuccess;
    }

    SiStatus close(SiHandle handle) override { return m_open.erase(handle) ? kBridgeSuccess : kBridgeFailure; }

    SiStatus write(SiHandle handle, std::span<const std::uint8_t> frame, std::uint32_t &written) override
    {
        requireProperty(m_open.contains(handle), "frames go to an open handle");
        requireProperty(frame.size() <= kFrameBufferSize && requestChecksumValid(frame),
                        "every frame has its length byte and checksum and fits the frame buffer");
        switch (m_input.byte() % 4) {
        case 1:
            return kBridgeFailure;
        case 2: // the unit stays silent
            m_pending.clear();
            break;
        case 3: // a reply of the input's bytes
            m_pending = m_input.bytes(m_input.byte() % 16);
            break;
        default: {
            const UnitBytes reply = m_unit.receive(frame).value_or(UnitBytes());
            m_pending = QByteArray(reinterpret_cast<const char *>(reply.data()), qsizetype(reply.size()));
            break;
        }
        }
        written = std::uint32_t(frame.size());
        return kBridgeSuccess;
    }

    SiStatus read(SiHandle handle, std::span<std::uint8_t> buffer, std::uint32_t &bytesRead) override
    {
        requireProperty(m_open.contains(handle), "replies are read from an open handle");
        const auto count = std::min(buffer.size(), std::size_t(m_pending.size()));
        std::memcpy(buffer.data(), m_pending.constData(), count);
        bytesRead = std::uint32_t(count);
        switch (m_input.byte() % 4) {
        case 1:
            return kBridgeFailure;
        case 2: // success with nothing delivered
            bytesRead = 0;
            break;
        case 3: // a count of the input's choosing, whatever was delivered
            bytesRead = m_input.uint32();
            break;
        default:
            break;
        }
        m_pending.remove(0, qsizetype(count));
        return kBridgeSuccess;
    }

    SiStatus checkRxQueue(SiHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus) override
    {
        requireProperty(m_open.contains(handle), "the queue is queried on an open handle");
        queued = std::uint32_t(m_pending.size());
        queueStatus = m_pending.isEmpty() ? 0 : kRxQueueReady;
        switch (m_input.byte() % 5) {
        case 1:
            return kBridgeFailure;
        case 2: // queued, not ready yet
            queueStatus = 0;
            break;
        case 3: // any count, any status
            queued = m_input.uint32();
            queueStatus = m_input.uint32();
            break;
        case 4: // nothing yet
            queued = 0;
            queueStatus = 0;
            break;
        default:
            break;
        }
        return kBridgeSuccess;
    }

private:
    FuzzInput &m_input;
    UnitModel m_unit;
    QByteArray m_pending;
    std::set<SiHandle> m_open;
    SiHandle m_lastHandle = 0;
};

QString versionLabel(FuzzInput &input)
{
    switch (input.byte() % 4) {
    case 1:
        return QStringLiteral("1.0.0");
    case 2:
        return QStringLiteral("1.0.1");
    case 3:
        return QString::fromUtf8(input.bytes(input.byte() % 12));
    default:
        return QStringLiteral("x.x.x");
    }
}

template <typename Record>
Record recordToWrite(FuzzInput &input)
{
    Record record;
    record.id = std::int16_t(input.uint16());
    for (const Setting setting : {Setting::RfPower, Setting::StartupVolume, Setting::MicSensitivity,
                                  Setting::SideTone, Setting::PttSelection}) {
        const std::uint8_t value = input.byte();
        withSettingField(record, setting, [value](auto &field) { field = value; });
    }
    record.sv = versionLabel(input);
    return record;
}

void requireOutcome(const Errortype &error, const FuzzedBridge &bridge)
{
    requireProperty(error.status == !error.message.isEmpty(), "a failure records its message, success none");
    requireProperty(bridge.openHandles() == 0, "every handle is closed when the operation returns");
}

template <typename Record>
void readAndWrite(FuzzInput &input)
{
    const Record toWrite = recordToWrite<Record>(input);
    auto ticks = std::make_shared<std::uint32_t>(input.uint32());
    const MillisecondClock previousClock = setReplyClock([ticks] { return (*ticks)++; });
    const auto bridge = std::make_shared<FuzzedBridge>(input, kRecordKind<Record>);
    const std::shared_ptr<BridgeBackend> previousBridge = installBridgeBackend(bridge);

    PackParameters<Record> pack;
    Record read;
    Errortype reading;
    pack.read_params(0, read, reading);
    requireOutcome(reading, *bridge);
    Errortype writing;
    pack.write_params(0, toWrite, writing);
    requireOutcome(writing, *bridge);

    installBridgeBackend(previousBridge);
    setReplyClock(previousClock);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    if (input.byte() % 2)
        readAndWrite<Aircraft_cfg_params>(input);
    else
        readAndWrite<Body_cfg_params>(input);
    return 0;
}
