// The environment the launcher hands to the program: the one it inherited
// (GetEnvironmentStringsW, the hidden "=C:" entries included) with the INI
// file's changes. Names compare without regard to case, as Windows compares
// them: setting PATH changes an inherited Path, which keeps its name. Each
// change costs constant time, so thousands of entries stay fast.
#ifndef LAUNCHER_PLATFORM_WINDOWS_ENVIRONMENT_BLOCK_H_
#define LAUNCHER_PLATFORM_WINDOWS_ENVIRONMENT_BLOCK_H_

#include <string>
#include <unordered_map>
#include <vector>

class EnvironmentBlock {
 public:
  // The value of |name|, or null when it is not set.
  const std::wstring* find(const std::wstring& name);
  // Sets |name| to |value|; an empty value removes it.
  void set(const std::wstring& name, const std::wstring& value);
  // Appends |suffix| to the value of |name|, which is set.
  void append(const std::wstring& name, const std::wstring& suffix);
  // The block for CreateProcessW (CREATE_UNICODE_ENVIRONMENT): NAME=value
  // entries, each ending in a NUL, sorted by name without regard to case,
  // then one more NUL.
  std::wstring block();

 private:
  struct Entry {
    std::wstring name, value;
    bool removed = false;
  };
  void load();
  Entry* entry(const std::wstring& name);

  bool loaded_ = false;
  std::vector<Entry> entries_;
  std::unordered_map<std::wstring, size_t> index_;  // by upper-case name
};

#endif  // LAUNCHER_PLATFORM_WINDOWS_ENVIRONMENT_BLOCK_H_
