// Where the Windows launcher's trace goes.
#ifndef LAUNCHER_PLATFORM_WINDOWS_TRACE_OUTPUT_H_
#define LAUNCHER_PLATFORM_WINDOWS_TRACE_OUTPUT_H_

#include <memory>

#include "launcher/trace.h"

// The trace's destination as VELMORA_LAUNCHER_TRACE (|setting|, UTF-8, null
// when unset) names it: a file appended to, opened so that no program
// inherits it; or standard error when that is a file, a pipe or a console,
// else %TEMP%\velmora-launcher-trace.log (a GUI launcher started from a
// shortcut has no standard error). A dry run traces when the variable says
// nothing. Null when the trace is off or no file can be opened: a trace never
// changes what the launcher does.
std::unique_ptr<TraceWriter> open_trace_output(const char* setting, bool dry_run);

#endif  // LAUNCHER_PLATFORM_WINDOWS_TRACE_OUTPUT_H_
