// The Windows launcher's entry point. The executable belongs to the GUI
// subsystem but keeps the runtime's argc/argv, in UTF-16 (wmain), split
// exactly as the runtime splits a command line. With MinGW link it with
// -mwindows -municode; with MSVC use /SUBSYSTEM:WINDOWS
// /ENTRY:wmainCRTStartup. Built with LAUNCHER_CONSOLE defined, for the
// console subsystem, it is the console companion (console_companion.h).
#include <cwchar>
#include <string>
#include <vector>

#include "launcher/run_launcher.h"
#include "platform/windows/console_companion.h"
#include "platform/windows/system_libraries.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_system.h"

#ifdef __MINGW32__
// Arguments reach the target as typed: no wildcard expansion.
int _dowildcard = 0;
#endif

int wmain(int argc, wchar_t** argv) {
  restrict_dll_search();
  std::vector<std::string> arguments;
  arguments.reserve(argc);
  for (int i = 0; i < argc; ++i) arguments.push_back(to_utf8(argv[i], wcslen(argv[i])));
  PathRules rules = windows_path_rules();
#ifdef LAUNCHER_CONSOLE
  become_console_companion(rules);
#endif
  WindowsSystem system;
  return run_launcher(arguments, system, rules);
}
