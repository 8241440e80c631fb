// The Windows launcher's entry point. The executable belongs to the GUI
// subsystem but keeps the runtime's argc/argv: with MinGW link it with
// -mwindows; with MSVC use /SUBSYSTEM:WINDOWS /ENTRY:mainCRTStartup.
#include <string>
#include <vector>

#include "launcher/run_launcher.h"
#include "platform/windows/windows_system.h"

#ifdef __MINGW32__
// Arguments reach the target as typed: no wildcard expansion.
int _dowildcard = 0;
#endif

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv, argv + argc);
  WindowsSystem system;
  return run_launcher(arguments, system, windows_path_rules());
}
