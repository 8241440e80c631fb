// The launcher's trace: what it did, step by step, for a vendor or an
// administrator finding out why a launch went wrong. The stages report to
// one sink, which does nothing (and costs nothing) while the trace is off.
#ifndef LAUNCHER_LAUNCHER_TRACE_H_
#define LAUNCHER_LAUNCHER_TRACE_H_

#include <string>

#include "paths/path_rules.h"

// Where the lines go; the platform provides it.
class TraceWriter {
 public:
  virtual ~TraceWriter() = default;
  // Writes |line|, which ends in a line feed, at once.
  virtual void write_line(const std::string& line) = 0;
};

class Trace {
 public:
  // Off until a writer is attached.
  void attach(TraceWriter* writer) { writer_ = writer; }
  bool on() const { return writer_ != nullptr; }

  // Writes "launcher: " and |event| as one line. Every control character
  // of |event|, line feeds included, is escaped: no value can forge a line
  // or reach a terminal.
  void line(const std::string& event);

 private:
  TraceWriter* writer_ = nullptr;
};

// |value| between double quotes, so that an empty one shows.
std::string traced(const std::string& value);

// Where VELMORA_LAUNCHER_TRACE sends the trace, from its value as the
// launcher was started (null when unset): unset, empty or "0" turns it off,
// an absolute path is a file to append to, and anything else means standard
// error, so that no value ever makes a file in the current directory.
enum class TraceTarget { kOff, kStandardError, kFile };
TraceTarget trace_target(const char* setting, const PathRules& rules);

// True when VELMORA_LAUNCHER_DRY_RUN (null when unset) asks for a dry run.
bool is_dry_run(const char* setting);

#endif  // LAUNCHER_LAUNCHER_TRACE_H_
