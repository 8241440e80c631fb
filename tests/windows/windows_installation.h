// A temporary installation of the built Windows launcher: launcher.exe (or
// another name), its INI file and the recording target as
// velmora\velmora.exe, and what that target recorded; and a Documents
// folder moved for one test.
#ifndef LAUNCHER_TESTS_WINDOWS_WINDOWS_INSTALLATION_H_
#define LAUNCHER_TESTS_WINDOWS_WINDOWS_INSTALLATION_H_

#include <map>
#include <string>
#include <vector>

#include "tests/windows/launcher_driver.h"

struct TargetRecord {
  bool found = false;
  std::string command_line;                   // GetCommandLineW, UTF-8
  std::vector<std::string> arguments;         // the C runtime's argv
  std::map<std::string, std::string> environment;
  std::vector<std::string> names;             // of the variables, in block order
  std::string show_window;                    // empty: none given
  std::vector<std::string> files;             // open at its start, sorted

  // The variable's value, or "(unset)".
  std::string variable(const std::string& name) const;
};

class WindowsInstallation {
 public:
  // |folder| is the installation's folder name below a fresh temporary one.
  explicit WindowsInstallation(const std::wstring& folder = L"My Product",
                               const std::wstring& launcher_name = L"launcher");
  ~WindowsInstallation();

  const std::wstring& directory() const { return directory_; }  // no "\" at the end
  std::wstring launcher() const { return directory_ + L"\\" + launcher_name_ + L".exe"; }
  void write_ini(const std::string& text) const;  // UTF-8 bytes as they are
  void remove_target() const;

  // Starts the launcher with |command_line| (its argv[0] included) in
  // |directory| (default: the temporary root, not the installation) and
  // answers its message boxes.
  DriveResult run(const std::wstring& command_line,
                  const std::wstring& directory = std::wstring(),
                  const std::map<std::wstring, std::wstring>& extra = {},
                  int show_window = -1, bool standard_handles = true) const;
  // Starts the target directly, as run() starts the launcher.
  DriveResult run_target() const;

  // Waits a while for the target's record, as the launcher does not wait
  // for the target.
  TargetRecord record(unsigned timeout_ms = 10000) const;

  // The environment every run starts from.
  static std::map<std::wstring, std::wstring> base_environment();

 private:
  std::wstring root_, directory_, launcher_name_, record_file_;
};

// Moves the user's Documents folder to |folder| (as the user may, in the
// folder's properties) for the life of the object, then puts back the
// registry values it found, even when the test fails. Only the test that
// expands <My Documents> moves it, so no test running beside it is misled.
class MovedDocuments {
 public:
  explicit MovedDocuments(const std::wstring& folder);
  ~MovedDocuments();

 private:
  struct Saved {
    const wchar_t* key;
    unsigned long new_type;
    void* handle = nullptr;  // HKEY
    bool present = false;
    unsigned long type = 0;
    std::vector<unsigned char> data;
  };
  Saved saved_[2];
};

// Where the test programs and the launcher were built.
std::wstring build_bin_directory();

#endif  // LAUNCHER_TESTS_WINDOWS_WINDOWS_INSTALLATION_H_
