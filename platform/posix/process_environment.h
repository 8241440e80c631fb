// The process environment, with lookups and changes that cost the same
// however many variables it holds: getenv and setenv search the whole
// environment on every call, and setenv keeps every value it replaces, so an
// INI file with thousands of entries would cost quadratic time and memory.
#ifndef LAUNCHER_PLATFORM_POSIX_PROCESS_ENVIRONMENT_H_
#define LAUNCHER_PLATFORM_POSIX_PROCESS_ENVIRONMENT_H_

#include <string>

// The value of |name| as getenv gives it; false when it is not set.
bool find_environment_variable(const std::string& name, std::string* value);

// True when |name| is set to a value that is not empty; copies nothing.
bool environment_variable_has_value(const std::string& name);

// Sets |name| to |value| for this process and the programs it starts, as
// setenv does; false for a name that setenv refuses (empty or holding "=").
bool set_environment_variable(const std::string& name, const std::string& value);

// Appends |suffix| to the value of |name|, in place where the value was set
// here before, so that repeated appends cost linear time; false when |name|
// is not set or is refused.
bool append_environment_variable(const std::string& name,
                                 const std::string& suffix);

// Removes every entry of |name|, as unsetenv does; false for a refused name.
bool remove_environment_variable(const std::string& name);

// Removes the later entries of every name that came more than once and was
// then set or extended here, so that programs reading the last entry (bash,
// Python) see the value set here, as getenv does; other names stay as they
// came. One pass over the environment; none when there is no such name.
void drop_later_duplicates();

#endif  // LAUNCHER_PLATFORM_POSIX_PROCESS_ENVIRONMENT_H_
