#include "platform/posix/trace_output.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "paths/path_rules.h"

namespace {

class DescriptorWriter : public TraceWriter {
 public:
  DescriptorWriter(int descriptor, bool owned)
      : descriptor_(descriptor), owned_(owned) {}
  ~DescriptorWriter() override {
    if (owned_) close(descriptor_);
  }

  // One write per line, so that lines of launchers sharing a file stay
  // whole; a line that cannot be written is dropped.
  void write_line(const std::string& line) override {
    size_t done = 0;
    while (done < line.size()) {
      ssize_t count = write(descriptor_, line.data() + done, line.size() - done);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) return;
      done += static_cast<size_t>(count);
    }
  }

 private:
  int descriptor_;
  bool owned_;
};

}  // namespace

std::unique_ptr<TraceWriter> open_trace_output(const char* setting, bool dry_run) {
  TraceTarget target = trace_target(setting, posix_path_rules());
  if (target == TraceTarget::kOff && dry_run) target = TraceTarget::kStandardError;
  if (target == TraceTarget::kOff) return nullptr;
  if (target == TraceTarget::kStandardError) {
    return std::unique_ptr<TraceWriter>(new DescriptorWriter(STDERR_FILENO, false));
  }
  // Non-blocking, so that a FIFO without a reader fails instead of hanging.
  int descriptor = open(setting, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC |
                                     O_NOCTTY | O_NONBLOCK,
                        0600);
  if (descriptor < 0) return nullptr;
  return std::unique_ptr<TraceWriter>(new DescriptorWriter(descriptor, true));
}
