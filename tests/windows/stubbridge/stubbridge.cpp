// A stand-in for the vendor's USB bridge library, for the tests of the Windows
// backend: the seven functions at the vendor's ordinals (the .def file that
// the build writes from bridgelibrary.h maps them onto the stub_ functions
// here), playing units of the project's unit model, and the functions of
// stubcontrol.h through which a test sets the units up.

#include "devicelink/simulated/unitmodel.h"
#include "devicelink/windows/bridgelibrary.h"
#include "stubcontrol.h"

#include <cstring>
#include <map>
#include <type_traits>
#include <vector>

namespace {

struct OpenUnit
{
    DWORD device;
    UnitBytes pending; // the reply not read yet
};

struct Stub
{
    std::vector<UnitModel> units;
    std::map<std::uintptr_t, OpenUnit> open;
    std::uintptr_t handlesGiven = 0;
};

Stub &stub()
{
    static Stub state;
    return state;
}

// Handles with the high bits set, as real ones may have them, so that a
// backend that cut them to 32 bits would lose its units.
constexpr std::uintptr_t kHandleBase = std::uintptr_t(0x5A5A) << (8 * sizeof(std::uintptr_t) - 16);

OpenUnit *openUnit(HANDLE handle)
{
    const auto it = stub().open.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == stub().open.end() ? nullptr : &it->second;
}

UnitModel *unitAt(DWORD device)
{
    return device < stub().units.size() ? &stub().units[device] : nullptr;
}

} // namespace

extern "C" {

SiStatus WINAPI stub_SI_GetNumDevices(DWORD *count)
{
    if (!count)
        return kBridgeFailure;
    *count = DWORD(stub().units.size());
    return kBridgeSuccess;
}

SiStatus WINAPI stub_SI_GetProductString(DWORD device, char *text, DWORD option)
{
    const UnitModel *unit = unitAt(device);
    if (!unit || !text)
        return kBridgeFailure;
    std::optional<std::string> value;
    if (option == DWORD(ProductStringOption::ProductId))
        value = unit->productId();
    else if (option == DWORD(ProductStringOption::Description))
        value = unit->description();
    if (!value)
        return kBridgeFailure;
    text[value->copy(text, kProductStringSize - 1)] = '\0';
    return kBridgeSuccess;
}

SiStatus WINAPI stub_SI_Open(DWORD device, HANDLE *handle)
{
    if (!unitAt(device) || !handle)
        return kBridgeFailure;
    const std::uintptr_t number = kHandleBase + ++stub().handlesGiven;
    stub().open[number] = OpenUnit{device, {}};
    *handle = reinterpret_cast<HANDLE>(number);
    return kBridgeSuccess;
}

SiStatus WINAPI stub_SI_Close(HANDLE handle)
{
    return stub().open.erase(reinterpret_cast<std::uintptr_t>(handle)) ? kBridgeSuccess : kBridgeFailure;
}

SiStatus WINAPI stub_SI_Write(HANDLE handle, void *bytes, DWORD count, DWORD *written, OVERLAPPED *overlapped)
{
    OpenUnit *open = openUnit(handle);
    if (!open || !bytes || !written || overlapped)
        return kBridgeFailure;
    const std::span<const std::uint8_t> frame(static_cast<const std::uint8_t *>(bytes), count);
    open->pending = stub().units[open->device].receive(frame).value_or(UnitBytes());
    *written = count;
    return kBridgeSuccess;
}

SiStatus WINAPI stub_SI_Read(HANDLE handle, void *bytes, DWORD count, DWORD *read, OVERLAPPED *overlapped)
{
    OpenUnit *open = openUnit(handle);
    if (!open || !bytes || !read || overlapped || count == 0 || open->pending.empty())
        return kBridgeFailure;
    const std::size_t taken = count < open->pending.size() ? count : open->pending.size();
    std::memcpy(bytes, open->pending.data(), taken);
    open->pending.erase(open->pending.begin(), open->pending.begin() + std::ptrdiff_t(taken));
    *read = DWORD(taken);
    return kBridgeSuccess;
}

SiStatus WINAPI stub_SI_CheckRXQueue(HANDLE handle, DWORD *queued, DWORD *queueStatus)
{
    const OpenUnit *open = openUnit(handle);
    if (!open || !queued || !queueStatus)
        return kBridgeFailure;
    *queued = DWORD(open->pending.size());
    *queueStatus = open->pending.empty() ? 0 : kRxQueueReady;
    return kBridgeSuccess;
}

__declspec(dllexport) void WINAPI StubUnplugAll()
{
    stub() = Stub();
}

__declspec(dllexport) SiStatus WINAPI StubPlugUnit(const char *kind, const char *description)
{
    const std::optional<PackKind> known = kind ? packKindNamed(kind) : std::nullopt;
    if (!known)
        return kBridgeFailure;
    UnitModel unit = UnitModel::demoUnit(*known);
    if (description)
        unit.faults.description = description;
    stub().units.push_back(std::move(unit));
    return kBridgeSuccess;
}

__declspec(dllexport) SiStatus WINAPI StubSilenceUnit(DWORD device)
{
    UnitModel *unit = unitAt(device);
    if (!unit)
        return kBridgeFailure;
    unit->faults.silentFromExchange = unit->exchangeCount();
    return kBridgeSuccess;
}

__declspec(dllexport) SiStatus WINAPI StubReceivedFrame(DWORD device, DWORD index, BYTE *bytes, DWORD room,
                                                        DWORD *length)
{
    const UnitModel *unit = unitAt(device);
    if (!unit || !bytes || !length || index >= unit->receivedFrames().size())
        return kBridgeFailure;
    const UnitBytes &frame = unit->receivedFrames()[index];
    if (frame.size() > room)
        return kBridgeFailure;
    std::memcpy(bytes, frame.data(), frame.size());
    *length = DWORD(frame.size());
    return kBridgeSuccess;
}

} // extern "C"

// The exports have the types through which the backend and the tests call them.
static_assert(std::is_same_v<decltype(&stub_SI_GetNumDevices), BridgeLibrary::GetNumDevices>);
static_assert(std::is_same_v<decltype(&stub_SI_GetProductString), BridgeLibrary::GetProductString>);
static_assert(std::is_same_v<decltype(&stub_SI_Open), BridgeLibrary::Open>);
static_assert(std::is_same_v<decltype(&stub_SI_Close), BridgeLibrary::Close>);
static_assert(std::is_same_v<decltype(&stub_SI_Write), BridgeLibrary::Write>);
static_assert(std::is_same_v<decltype(&stub_SI_Read), BridgeLibrary::Read>);
static_assert(std::is_same_v<decltype(&stub_SI_CheckRXQueue), BridgeLibrary::CheckRxQueue>);
static_assert(std::is_same_v<decltype(&StubUnplugAll), StubControl::UnplugAll>);
static_assert(std::is_same_v<decltype(&StubPlugUnit), StubControl::PlugUnit>);
static_assert(std::is_same_v<decltype(&StubSilenceUnit), StubControl::SilenceUnit>);
static_assert(std::is_same_v<decltype(&StubReceivedFrame), StubControl::ReceivedFrame>);
