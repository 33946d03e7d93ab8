#pragma once
// The start-up trace. When the environment variable LUMETRA_STARTUP_TRACE names a file, the program
// writes there one line per start-up step as it completes it:
//     <milliseconds since the process was created> ms <step>
// so anyone can see where the time of a start goes. Without the variable every call returns at once.
#include <string>

namespace lumetra {

// Writes one step (nothing when the trace is off or already finished).
void TraceStartupStep(const std::string& step);
// The trace's clock: milliseconds since the process was created. Any thread may read it.
double StartupTraceClockMs();
// Writes a step that happened at an earlier reading of the trace's clock (on another thread, say).
void TraceStartupStepAt(double clockMs, const std::string& step);
// Whether steps are being written; callers that must work to name a step ask first.
bool StartupTraceOn();
// Closes the file; later steps are not written.
void EndStartupTrace();

}  // namespace lumetra
