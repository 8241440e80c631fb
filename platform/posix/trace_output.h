// Where the POSIX launcher's trace goes.
#ifndef LAUNCHER_PLATFORM_POSIX_TRACE_OUTPUT_H_
#define LAUNCHER_PLATFORM_POSIX_TRACE_OUTPUT_H_

#include <memory>

#include "launcher/trace.h"

// The trace's destination as VELMORA_LAUNCHER_TRACE (|setting|, null when
// unset) names it: standard error, or a file appended to, created with mode
// 0600 and closed when the program starts. A dry run traces to standard
// error when the variable says nothing. Null when the trace is off or its
// file cannot be opened: a trace never changes what the launcher does.
std::unique_ptr<TraceWriter> open_trace_output(const char* setting, bool dry_run);

#endif  // LAUNCHER_PLATFORM_POSIX_TRACE_OUTPUT_H_
