#pragma once

// The functions by name through which a test sets up the units of the stub
// bridge library. None of them is among the seven of the vendor's library.

#include "devicelink/siusbbridge.h"

#include <windows.h>

namespace StubControl {

// No unit is attached any more, and the open handles are forgotten.
using UnplugAll = void(WINAPI *)();
inline constexpr char unplugAll[] = "StubUnplugAll";

// Attaches the demo unit of a kind, named as the command line names it
// ("bodypack", "aircraft"), after those attached; with `description` unless it
// is null. Fails for no such kind.
using PlugUnit = SiStatus(WINAPI *)(const char *kind, const char *description);
inline constexpr char plugUnit[] = "StubPlugUnit";

// The unit answers no frame from now on.
using SilenceUnit = SiStatus(WINAPI *)(DWORD device);
inline constexpr char silenceUnit[] = "StubSilenceUnit";

// Copies the frame number `index` (from 0) that the unit received into
// `bytes`, which has room for `room` bytes; fails past the last frame.
using ReceivedFrame = SiStatus(WINAPI *)(DWORD device, DWORD index, BYTE *bytes, DWORD room, DWORD *length);
inline constexpr char receivedFrame[] = "StubReceivedFrame";

} // namespace StubControl
