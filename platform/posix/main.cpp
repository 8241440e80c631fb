// The POSIX launcher's entry point.
#include <string>
#include <vector>

#include "launcher/run_launcher.h"
#include "platform/posix/posix_system.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv, argv + argc);
  PosixSystem system;
  return run_launcher(arguments, system, posix_path_rules());
}
