#pragma once

// For support: prints every frame sent to and every reply read from a unit in
// hex to stderr, e.g. "nerio: -> 03 52 34 00 89".
enum class FrameTraceTimes { Off, On };
void enableFrameTrace(FrameTraceTimes times = FrameTraceTimes::Off);
void disableFrameTrace();

// The support switch of the real tool: NERIO_TRACE=1 (any value but 0)
// turns the trace on, NERIO_TRACE=times adds the milliseconds since start to
// each line. Returns whether it turned the trace on.
bool enableFrameTraceFromEnvironment();
