#pragma once

// For support: prints every frame sent to and every reply read from a unit in
// hex to stderr, e.g. "nerio: -> 03 52 34 00 89".
enum class FrameTraceTimes { Off, On };
void enableFrameTrace(FrameTraceTimes times = FrameTraceTimes::Off);
void disableFrameTrace();
