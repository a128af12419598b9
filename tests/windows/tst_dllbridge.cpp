// The Windows backend over a stub of the vendor's bridge library. The stub
// plays units of the project's unit model behind the seven functions at the
// vendor's ordinals; the tests reach them through the bridge seam (SI_*) with
// the backend installed, exchanging frames the way the protocol layer does.

#include "devicelink/frameconstants.h"
#include "devicelink/replyclock.h"
#include "devicelink/windows/bridgelibrary.h"
#include "devicelink/windows/dllbridge.h"
#include "plaintest.h"
#include "stubbridge/stubcontrol.h"

#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// "03 52 34 00 89" as bytes.
Bytes hex(std::string_view text)
{
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3)
        bytes.push_back(std::uint8_t(std::stoi(std::string(text.substr(i, 2)), nullptr, 16)));
    return bytes;
}

std::filesystem::path programFolder()
{
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
    return std::filesystem::path(path).parent_path();
}

const std::filesystem::path kStubBesideProgram = programFolder() / BridgeLibrary::fileName;
const std::filesystem::path kIncompleteStub = programFolder() / "incomplete" / BridgeLibrary::fileName;

template <typename Function>
Function function(HMODULE module, const char *name)
{
    const FARPROC address = module ? GetProcAddress(module, name) : nullptr;
    if (!address)
        throw std::runtime_error(std::string("the stub library has no ") + name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// A stub library and the units attached to it; none at first.
class StubUnits
{
public:
    explicit StubUnits(const std::filesystem::path &library = kStubBesideProgram)
        : m_module(LoadLibraryW(library.c_str()))
        , m_unplugAll(function<StubControl::UnplugAll>(m_module, StubControl::unplugAll))
        , m_plug(function<StubControl::PlugUnit>(m_module, StubControl::plugUnit))
        , m_silence(function<StubControl::SilenceUnit>(m_module, StubControl::silenceUnit))
        , m_receivedFrame(function<StubControl::ReceivedFrame>(m_module, StubControl::receivedFrame))
    {
        m_unplugAll();
    }
    ~StubUnits()
    {
        m_unplugAll();
        FreeLibrary(m_module);
    }
    StubUnits(const StubUnits &) = delete;
    StubUnits &operator=(const StubUnits &) = delete;

    void plug(const char *kind, const char *description = nullptr)
    {
        if (m_plug(kind, description) != kBridgeSuccess)
            throw std::runtime_error(std::string("the stub library plays no unit of the kind ") + kind);
    }
    void silence(DWORD device) { m_silence(device); }

    std::vector<Bytes> receivedFrames(DWORD device) const
    {
        std::vector<Bytes> frames;
        Bytes frame(kProductStringSize);
        DWORD length = 0;
        while (m_receivedFrame(device, DWORD(frames.size()), frame.data(), DWORD(frame.size()), &length)
               == kBridgeSuccess)
            frames.emplace_back(frame.begin(), frame.begin() + length);
        return frames;
    }

private:
    HMODULE m_module;
    StubControl::UnplugAll m_unplugAll;
    StubControl::PlugUnit m_plug;
    StubControl::SilenceUnit m_silence;
    StubControl::ReceivedFrame m_receivedFrame;
};

// The backend, installed for the process while it lives; by default over the
// library found by its name, as the programs make it.
class InstalledBridge
{
public:
    InstalledBridge()
        : InstalledBridge(std::make_shared<DllBridge>())
    {
    }
    explicit InstalledBridge(std::shared_ptr<DllBridge> bridge)
        : m_bridge(std::move(bridge))
        , m_previous(installBridgeBackend(m_bridge))
    {
    }
    ~InstalledBridge() { installBridgeBackend(m_previous); }
    InstalledBridge(const InstalledBridge &) = delete;
    InstalledBridge &operator=(const InstalledBridge &) = delete;

    const std::optional<std::string> &loadProblem() const { return m_bridge->loadProblem(); }

private:
    std::shared_ptr<DllBridge> m_bridge;
    std::shared_ptr<BridgeBackend> m_previous;
};

// A reply clock that advances one millisecond each time it is read, so that a
// reply wait that runs out costs about 2000 queue queries and no real time.
class CountingClock
{
public:
    CountingClock()
        : m_previous(setReplyClock([this] { return m_now++; }))
    {
    }
    ~CountingClock() { setReplyClock(m_previous); }
    CountingClock(const CountingClock &) = delete;
    CountingClock &operator=(const CountingClock &) = delete;

    std::uint64_t now() const { return m_now; }

private:
    std::uint64_t m_now = 0;
    MillisecondClock m_previous;
};

std::optional<std::string> productString(std::uint32_t device, ProductStringOption option)
{
    std::array<char, kProductStringSize> text{};
    if (SI_GetProductString(device, text.data(), std::uint32_t(option)) != kBridgeSuccess)
        return std::nullopt;
    return std::string(text.data());
}

// One exchange as the protocol makes it: open the unit, write the frame, query
// the queue until it reports a reply or the reply time-out has run out, read
// what is queued, close. The reply; empty when none came.
Bytes exchange(std::uint32_t device, const Bytes &frame)
{
    SiHandle handle = kInvalidHandle;
    SI_Open(device, &handle);
    Bytes reply;
    std::uint32_t written = 0;
    if (SI_Write(handle, frame.data(), std::uint32_t(frame.size()), &written) == kBridgeSuccess
        && written == frame.size()) {
        std::uint32_t queued = 0;
        std::uint32_t queueStatus = 0;
        SI_CheckRXQueue(handle, &queued, &queueStatus);
        const std::uint64_t start = replyClockNow();
        while (queueStatus != kRxQueueReady && replyClockNow() < start + kReplyTimeoutMs)
            SI_CheckRXQueue(handle, &queued, &queueStatus);
        reply.resize(queued);
        std::uint32_t received = 0;
        if (queueStatus != kRxQueueReady
            || SI_Read(handle, reply.data(), queued, &received) != kBridgeSuccess)
            received = 0;
        reply.resize(received);
    }
    SI_Close(handle);
    return reply;
}

void listsUnitsWithDescriptionsAndProductIds()
{
    StubUnits stub;
    InstalledBridge bridge;
    CHECK_EQUAL(bridge.loadProblem(), std::optional<std::string>());
    std::uint32_t count = 99;
    CHECK_EQUAL(SI_GetNumDevices(&count), kBridgeSuccess);
    CHECK_EQUAL(count, 0u);

    const std::string longDescription(300, 'x');
    stub.plug("bodypack", "Bay 1 bodypack");
    stub.plug("aircraft");
    stub.plug("bodypack", longDescription.c_str());
    CHECK_EQUAL(SI_GetNumDevices(&count), kBridgeSuccess);
    CHECK_EQUAL(count, 3u);

    struct Listed
    {
        std::uint32_t device;
        std::optional<std::string> description;
        std::optional<std::string> productId;
    };
    const Listed listing[] = {
        {0, "Bay 1 bodypack", "eab0"},
        {1, "Demo Aircraft Pack", "eab1"},
        {2, longDescription.substr(0, kProductStringSize - 1), "eab0"}, // cut to the buffer, terminated
        {3, std::nullopt, std::nullopt},                                 // no such device
    };
    for (const Listed &entry : listing) {
        CHECK_EQUAL(productString(entry.device, ProductStringOption::Description), entry.description);
        CHECK_EQUAL(productString(entry.device, ProductStringOption::ProductId), entry.productId);
    }
    SiHandle handle = 0;
    CHECK_EQUAL(SI_Open(3, &handle), kBridgeFailure);
    CHECK_EQUAL(handle, kInvalidHandle);
}

struct Exchange
{
    std::string_view frame;
    std::string_view reply;
};

// The demo unit of `kind` on device 0 reports `productId`, answers each frame
// with its reply, and has received exactly those frames afterwards.
void exchangesWith(const char *kind, const char *productId, std::span<const Exchange> exchanges)
{
    StubUnits stub;
    InstalledBridge bridge;
    CountingClock clock;
    stub.plug(kind);
    CHECK_EQUAL(productString(0, ProductStringOption::ProductId), std::optional<std::string>(productId));
    std::vector<Bytes> sent;
    for (const Exchange &step : exchanges) {
        sent.push_back(hex(step.frame));
        CHECK_EQUAL(exchange(0, sent.back()), hex(step.reply));
    }
    CHECK_EQUAL(stub.receivedFrames(0), sent);
}

constexpr Exchange kBodypackRead[] = {
    {"03 52 34 00 89", "04 52 34 0c 22 b8"}, {"03 52 37 00 8c", "03 52 37 5a e6"},
    {"03 52 3a 00 8f", "03 52 3a 06 95"},    {"03 52 38 00 8d", "03 52 38 07 94"},
    {"03 52 39 00 8e", "03 52 39 0a 98"},    {"03 52 32 00 87", "05 52 32 01 00 05 8f"},
    {"03 52 3d 00 92", "03 52 3d 25 b7"},    {"03 52 3c 00 91", "03 52 3c 39 ca"},
    {"03 52 40 00 95", "03 52 40 01 96"},
};
constexpr Exchange kAircraftPackRead[] = {
    {"03 52 34 00 89", "04 52 34 00 26 b0"}, {"03 52 37 00 8c", "03 52 37 7f 0b"},
    {"03 52 3a 00 8f", "03 52 3a 04 93"},    {"03 52 32 00 87", "05 52 32 02 01 00 8c"},
    {"03 52 3d 00 92", "03 52 3d 29 bb"},    {"03 52 3c 00 91", "03 52 3c 3f d0"},
};
// RF power 100 is echoed and kept; the closing command is echoed.
constexpr Exchange kWriteReadBackCommand[] = {
    {"03 57 37 64 5a", "03 57 37 64 f5"},
    {"03 52 37 00 8c", "03 52 37 64 f0"},
    {"03 43 46 01 46", "03 43 46 01 8d"},
};

// Each open handle reaches its own unit, also with handles beyond 32 bits.
void keepsTwoOpenUnitsApart()
{
    StubUnits stub;
    InstalledBridge bridge;
    stub.plug("bodypack");
    stub.plug("aircraft");
    SiHandle handles[2] = {kInvalidHandle, kInvalidHandle};
    CHECK_EQUAL(SI_Open(0, &handles[0]), kBridgeSuccess);
    CHECK_EQUAL(SI_Open(1, &handles[1]), kBridgeSuccess);
    const Bytes readId = hex("03 52 34 00 89");
    for (const SiHandle handle : handles) {
        std::uint32_t written = 0;
        CHECK_EQUAL(SI_Write(handle, readId.data(), std::uint32_t(readId.size()), &written), kBridgeSuccess);
    }
    const Bytes expected[2] = {hex("04 52 34 0c 22 b8"), hex("04 52 34 00 26 b0")};
    for (int unit : {1, 0}) {
        std::uint32_t queued = 0;
        std::uint32_t queueStatus = 0;
        CHECK_EQUAL(SI_CheckRXQueue(handles[unit], &queued, &queueStatus), kBridgeSuccess);
        CHECK_EQUAL(queueStatus, kRxQueueReady);
        Bytes reply(queued);
        std::uint32_t received = 0;
        CHECK_EQUAL(SI_Read(handles[unit], reply.data(), queued, &received), kBridgeSuccess);
        CHECK_EQUAL(reply, expected[unit]);
    }
    for (const SiHandle handle : handles)
        CHECK_EQUAL(SI_Close(handle), kBridgeSuccess);
}

void silentUnitTimesOut()
{
    StubUnits stub;
    InstalledBridge bridge;
    CountingClock clock;
    stub.plug("bodypack");
    stub.plug("aircraft");
    stub.silence(0);
    const Bytes readId = hex("03 52 34 00 89");
    CHECK_EQUAL(exchange(0, readId), Bytes());
    // The wait ran its whole time-out, a queue query per clock reading.
    CHECK(clock.now() >= kReplyTimeoutMs);
    CHECK(clock.now() <= kReplyTimeoutMs + 3);
    CHECK_EQUAL(stub.receivedFrames(0), std::vector<Bytes>{readId});
    // The other unit still answers.
    CHECK_EQUAL(exchange(1, readId), hex("04 52 34 00 26 b0"));
}

bool contains(const std::optional<std::string> &text, std::string_view part)
{
    return text && text->find(part) != std::string::npos;
}

// With the backend installed no operation gets through and no unit is listed.
void checkEveryOperationFails()
{
    std::uint32_t count = 99;
    CHECK_EQUAL(SI_GetNumDevices(&count), kBridgeFailure);
    CHECK_EQUAL(count, 0u);
    CHECK_EQUAL(productString(0, ProductStringOption::Description), std::optional<std::string>());
    SiHandle handle = 0;
    CHECK_EQUAL(SI_Open(0, &handle), kBridgeFailure);
    CHECK_EQUAL(handle, kInvalidHandle);
}

void missingLibraryIsReported()
{
    InstalledBridge bridge(std::make_shared<DllBridge>(programFolder() / "absent" / BridgeLibrary::fileName));
    const std::optional<std::string> &problem = bridge.loadProblem();
    CHECK(contains(problem, "The USB bridge library SiUSBXp.dll could not be loaded (Windows error "));
    CHECK(contains(problem, "Install the USB bridge driver and runtime package from the vendor of the units"));
    checkEveryOperationFails();
}

void libraryWithoutOneFunctionIsReported()
{
    StubUnits incomplete(kIncompleteStub);
    incomplete.plug("bodypack");
    InstalledBridge bridge(std::make_shared<DllBridge>(kIncompleteStub));
    const std::optional<std::string> &problem = bridge.loadProblem();
    CHECK(contains(problem, "The USB bridge library SiUSBXp.dll lacks the function SI_CheckRXQueue (ordinal 12)"));
    CHECK(contains(problem, "Install the USB bridge driver and runtime package from the vendor of the units"));
    checkEveryOperationFails();
}

constexpr plaintest::Case kCases[] = {
    {"lists the units with their descriptions and product IDs", listsUnitsWithDescriptionsAndProductIds},
    {"reads a bodypack's whole set", [] { exchangesWith("bodypack", "eab0", kBodypackRead); }},
    {"reads an aircraft pack's whole set", [] { exchangesWith("aircraft", "eab1", kAircraftPackRead); }},
    {"writes, reads back and sends a command", [] { exchangesWith("bodypack", "eab0", kWriteReadBackCommand); }},
    {"keeps two open units apart", keepsTwoOpenUnitsApart},
    {"a silent unit times out through the backend", silentUnitTimesOut},
    {"a missing library is reported and lists no unit", missingLibraryIsReported},
    {"a library without one function is reported and lists no unit", libraryWithoutOneFunctionIsReported},
};

} // namespace

int main()
{
    return plaintest::run(kCases);
}
