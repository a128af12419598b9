#pragma once

// The vendor's USB bridge library as this tool calls it: its file name and the
// seven functions it exports by ordinal. The Windows backend calls them through
// these types; the stub library of the tests exports its own under the same
// ordinals and checks them against the same types.

#include "devicelink/siusbbridge.h"

#include <windows.h>

namespace BridgeLibrary {

inline constexpr wchar_t fileName[] = L"SiUSBXp.dll";

// Every function returns 0 on success. Reads and writes are synchronous: the
// overlapped argument is always null.
using GetNumDevices = SiStatus(WINAPI *)(DWORD *count);
// `text` holds kProductStringSize characters; `option` is a ProductStringOption.
using GetProductString = SiStatus(WINAPI *)(DWORD device, char *text, DWORD option);
// The caller presets `handle` to INVALID_HANDLE_VALUE.
using Open = SiStatus(WINAPI *)(DWORD device, HANDLE *handle);
using Close = SiStatus(WINAPI *)(HANDLE handle);
using Write = SiStatus(WINAPI *)(HANDLE handle, void *bytes, DWORD count, DWORD *written, OVERLAPPED *overlapped);
// A request for zero bytes fails.
using Read = SiStatus(WINAPI *)(HANDLE handle, void *bytes, DWORD count, DWORD *read, OVERLAPPED *overlapped);
// `queueStatus` is kRxQueueReady once a reply has arrived.
using CheckRxQueue = SiStatus(WINAPI *)(HANDLE handle, DWORD *queued, DWORD *queueStatus);

struct Export
{
    const char *name;
    WORD ordinal;
};

inline constexpr Export getNumDevices{"SI_GetNumDevices", 1};
inline constexpr Export getProductString{"SI_GetProductString", 2};
inline constexpr Export open{"SI_Open", 3};
inline constexpr Export close{"SI_Close", 4};
inline constexpr Export read{"SI_Read", 6};
inline constexpr Export write{"SI_Write", 7};
inline constexpr Export checkRxQueue{"SI_CheckRXQueue", 12};

} // namespace BridgeLibrary
