#include "dllbridge.h"

#include "bridgelibrary.h"

struct DllBridge::Library
{
    HMODULE module = nullptr;
    BridgeLibrary::GetNumDevices getNumDevices = nullptr;
    BridgeLibrary::GetProductString getProductString = nullptr;
    BridgeLibrary::Open open = nullptr;
    BridgeLibrary::Close close = nullptr;
    BridgeLibrary::Write write = nullptr;
    BridgeLibrary::Read read = nullptr;
    BridgeLibrary::CheckRxQueue checkRxQueue = nullptr;

    Library() = default;
    Library(const Library &) = delete;
    Library &operator=(const Library &) = delete;
    ~Library()
    {
        if (module)
            FreeLibrary(module);
    }
};

namespace {

constexpr const char *kInstallAdvice =
    "Install the USB bridge driver and runtime package from the vendor of the units, which brings this library, "
    "or place the library beside the program.";

std::string fileNameOf(const std::filesystem::path &library)
{
    const std::u8string name = library.filename().u8string();
    return std::string(name.begin(), name.end());
}

// Looks one function up by its ordinal; false when the library lacks it.
template <typename Function>
bool resolve(HMODULE module, const BridgeLibrary::Export &entry, Function &function)
{
    const FARPROC address = GetProcAddress(module, MAKEINTRESOURCEA(entry.ordinal));
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
    return address != nullptr;
}

HANDLE toHandle(SiHandle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

DllBridge::DllBridge()
    : DllBridge(BridgeLibrary::fileName)
{
}

DllBridge::DllBridge(const std::filesystem::path &library)
{
    const std::string name = fileNameOf(library);
    auto loaded = std::make_unique<Library>();
    // Only the program's folder and the system's: a library of that name
    // dropped into the working folder or somewhere on PATH is not loaded.
    loaded->module = LoadLibraryExW(library.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (!loaded->module) {
        m_problem = "The USB bridge library " + name + " could not be loaded (Windows error "
                    + std::to_string(GetLastError()) + "), so no unit can be reached. " + kInstallAdvice;
        return;
    }
    const BridgeLibrary::Export *missing = nullptr;
    const auto find = [&](const BridgeLibrary::Export &entry, auto &function) {
        if (!missing && !resolve(loaded->module, entry, function))
            missing = &entry;
    };
    find(BridgeLibrary::getNumDevices, loaded->getNumDevices);
    find(BridgeLibrary::getProductString, loaded->getProductString);
    find(BridgeLibrary::open, loaded->open);
    find(BridgeLibrary::close, loaded->close);
    find(BridgeLibrary::write, loaded->write);
    find(BridgeLibrary::read, loaded->read);
    find(BridgeLibrary::checkRxQueue, loaded->checkRxQueue);
    if (missing) {
        m_problem = "The USB bridge library " + name + " lacks the function " + missing->name + " (ordinal "
                    + std::to_string(missing->ordinal) + "), so no unit can be reached. It is not the library "
                    "this tool needs, or too old a version. " + kInstallAdvice;
        return;
    }
    m_library = std::move(loaded);
}

DllBridge::~DllBridge() = default;

SiStatus DllBridge::getNumDevices(std::uint32_t &count)
{
    if (!m_library)
        return kBridgeFailure;
    DWORD number = 0;
    const SiStatus status = m_library->getNumDevices(&number);
    count = number;
    return status;
}

SiStatus DllBridge::getProductString(std::uint32_t device, std::span<char, kProductStringSize> buffer,
                                     ProductStringOption option)
{
    if (!m_library)
        return kBridgeFailure;
    return m_library->getProductString(device, buffer.data(), DWORD(option));
}

SiStatus DllBridge::open(std::uint32_t device, SiHandle &handle)
{
    if (!m_library)
        return kBridgeFailure;
    HANDLE opened = INVALID_HANDLE_VALUE;
    const SiStatus status = m_library->open(device, &opened);
    handle = reinterpret_cast<SiHandle>(opened);
    return status;
}

SiStatus DllBridge::close(SiHandle handle)
{
    if (!m_library)
        return kBridgeFailure;
    return m_library->close(toHandle(handle));
}

SiStatus DllBridge::write(SiHandle handle, std::span<const std::uint8_t> frame, std::uint32_t &written)
{
    if (!m_library)
        return kBridgeFailure;
    DWORD count = 0;
    // The library takes the bytes through a pointer to non-const; it does not change them.
    const SiStatus status = m_library->write(toHandle(handle), const_cast<std::uint8_t *>(frame.data()),
                                             DWORD(frame.size()), &count, nullptr);
    written = count;
    return status;
}

SiStatus DllBridge::read(SiHandle handle, std::span<std::uint8_t> buffer, std::uint32_t &bytesRead)
{
    if (!m_library)
        return kBridgeFailure;
    DWORD count = 0;
    const SiStatus status = m_library->read(toHandle(handle), buffer.data(), DWORD(buffer.size()), &count, nullptr);
    bytesRead = count;
    return status;
}

SiStatus DllBridge::checkRxQueue(SiHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus)
{
    if (!m_library)
        return kBridgeFailure;
    DWORD count = 0;
    DWORD status = 0;
    const SiStatus result = m_library->checkRxQueue(toHandle(handle), &count, &status);
    queued = count;
    queueStatus = status;
    return result;
}
