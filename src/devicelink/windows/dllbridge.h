#pragma once

// Bridge backend for real units on Windows, over the vendor's USB bridge
// library, which the vendor's driver package installs. The library is loaded
// when the backend is made: without it, or with a library that lacks one of
// the seven functions, the program still runs, every operation fails, no unit
// is listed, and loadProblem() says what to install.
//
// Plain C++ and Win32 without Qt, so that it cross-builds with mingw-w64.

#include "devicelink/siusbbridge.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class DllBridge : public BridgeBackend
{
public:
    // By default the library is looked for as Windows looks for a DLL: beside
    // the program first, then in the system folders.
    DllBridge();
    explicit DllBridge(const std::filesystem::path &library);
    ~DllBridge() override;
    DllBridge(const DllBridge &) = delete;
    DllBridge &operator=(const DllBridge &) = delete;

    // Why no unit can be reached, in words for the user; std::nullopt when
    // the library and all its functions were found.
    const std::optional<std::string> &loadProblem() const { return m_problem; }

    SiStatus getNumDevices(std::uint32_t &count) override;
    SiStatus getProductString(std::uint32_t device, std::span<char, kProductStringSize> buffer,
                              ProductStringOption option) override;
    SiStatus open(std::uint32_t device, SiHandle &handle) override;
    SiStatus close(SiHandle handle) override;
    SiStatus write(SiHandle handle, std::span<const std::uint8_t> frame, std::uint32_t &written) override;
    SiStatus read(SiHandle handle, std::span<std::uint8_t> buffer, std::uint32_t &bytesRead) override;
    SiStatus checkRxQueue(SiHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus) override;

private:
    struct Library;
    std::unique_ptr<Library> m_library; // null when it could not be loaded whole
    std::optional<std::string> m_problem;
};
