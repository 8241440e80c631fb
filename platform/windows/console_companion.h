// The console companion: the launcher built for the console subsystem, for
// scripts, installers and terminals. It writes its messages to standard
// error instead of showing a box, and waits for the program it starts,
// ending with the program's exit status.
#ifndef LAUNCHER_PLATFORM_WINDOWS_CONSOLE_COMPANION_H_
#define LAUNCHER_PLATFORM_WINDOWS_CONSOLE_COMPANION_H_

#include <string>

#include "paths/path_rules.h"

// Makes this process the companion; its entry point calls it first. An
// executable named "<stem>-console" then shares "<stem>.ini" when it has no
// INI file of its own.
void become_console_companion(PathRules& rules);

// True once become_console_companion has been called.
bool is_console_companion();

// "[caption]" and |text| on standard error, as the POSIX launcher writes a
// message: UTF-16 to a console, UTF-8 to a file or pipe, control characters
// escaped. Nothing when there is no standard error.
void write_console_message(const std::string& caption, const std::string& text);

// |text| (UTF-8) on standard error: UTF-16 to a console, where bytes would
// be read in the console's code page, the bytes themselves to a file or pipe.
void write_standard_error(const std::string& text);

// Ignores Ctrl+C and Ctrl+Break in this process only: a handler routine is
// not inherited, so the program in the same console still gets them.
void leave_interrupts_to_the_program();

// Runs the suspended process |process| (its process and thread handles) in
// a job that ends it when this process ends, resumes it, waits for it and
// ends this process with its exit status. Returns only when it could not be
// resumed, with the system's error code, having ended it.
unsigned long run_to_its_end(void* process, void* thread);

#endif  // LAUNCHER_PLATFORM_WINDOWS_CONSOLE_COMPANION_H_
