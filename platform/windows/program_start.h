// Starts the target program in the launcher's place on Windows.
#ifndef LAUNCHER_PLATFORM_WINDOWS_PROGRAM_START_H_
#define LAUNCHER_PLATFORM_WINDOWS_PROGRAM_START_H_

#include <string>

// Starts the program at |path| with exactly |command_line| and the
// environment |block| (as EnvironmentBlock::block() gives it), then ends
// this process with status 0; the console companion waits for it instead
// and ends with its status. Returns only when the system refused the start,
// with its error code.
unsigned long start_in_place(const std::wstring& path, std::wstring command_line,
                             std::wstring block);

// The system's description of |error|, in the user's language, without the
// line end it comes with.
std::wstring system_error_text(unsigned long error);

#endif  // LAUNCHER_PLATFORM_WINDOWS_PROGRAM_START_H_
