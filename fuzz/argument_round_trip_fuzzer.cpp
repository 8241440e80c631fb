// Arbitrary user arguments through the pre-scan, the translation, the
// joining into one command line and the split that the POSIX hand-over
// applies. The input is cut at NUL bytes: the first piece holds flags (bit 0:
// the INI file names a customization file, bit 1: it gives VM arguments,
// bit 2: Windows path rules), the second the INI's customization file, and
// every further piece is one user argument (any bytes but NUL).
//
// Property: a help option anywhere ends with the usage text and nothing
// built; "-data" or "-customizationini" without an acceptable value is
// refused with the usage text and nothing built; otherwise the target's
// arguments split back to exactly the user's, in order, except that
// "-customizationini" and its value are consumed, and that the launcher adds
// "-ws" with the window system (unless the user gave "-ws"),
// "-plugincustomization" with the customization file (when one is named),
// and the INI's VM arguments after each "-vmargs" (a final "-vmargs" of its
// own when the user gave none). Each VM argument entry arrives as its words:
// one entry with a blank arrives as two arguments, and one with an
// unbalanced quote loses the quote and never reaches the user's arguments.
#include <cstdint>
#include <string>
#include <vector>

#include "commandline/quoting.h"
#include "commandline/translation.h"
#include "fuzz/fuzz_support.h"
#include "launcher/launch_settings.h"
#include "tests/support/fake_system.h"

namespace {

// No quote inside a word and no backslash before a quote, so that the
// words below are plainly what the program sees.
const std::vector<std::string> kVmArguments = {"-Xmx512m", "-Dsplit=a b",
                                               "-Dtrailing=C:\\dir\\",
                                               "-Dopen=\"x"};

bool is_help(const std::string& argument) {
  return argument == "-help" || argument == "-?" || argument == "/help" ||
         argument == "/?";
}

bool acceptable_value(const std::vector<std::string>& arguments, size_t index) {
  return index < arguments.size() && !arguments[index].empty() &&
         arguments[index][0] != '-';
}

// The VM arguments as the target sees them: split at blanks, quotes gone.
std::vector<std::string> vm_arguments_as_received(
    const std::vector<std::string>& vm_arguments) {
  std::vector<std::string> words;
  for (const std::string& entry : vm_arguments) {
    std::string word;
    for (char c : entry + ' ') {
      if (c == '"') continue;
      if (c != ' ') {
        word += c;
      } else if (!word.empty()) {
        words.push_back(word);
        word.clear();
      }
    }
  }
  return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> pieces = fuzz::split_at_nul(data, size);
  if (pieces.size() < 2) return 0;
  const int flags = pieces[0].empty() ? 0 : static_cast<unsigned char>(pieces[0][0]);
  const bool ini_customization = (flags & 1) != 0;
  const bool ini_vm_arguments = (flags & 2) != 0;
  const PathRules rules = (flags & 4) != 0 ? windows_path_rules() : posix_path_rules();
  const std::string program = (flags & 4) != 0
                                  ? "C:\\Prod Dir\\.\\velmora\\velmora.exe"
                                  : "/opt/Prod Dir/./velmora/velmora";

  // argv: the launcher's name, then the user's arguments.
  std::vector<std::string> arguments(pieces.begin() + 1, pieces.end());
  arguments[0] = "launcher";
  const std::vector<std::string> user(pieces.begin() + 2, pieces.end());

  FakeSystem system;
  LaunchSettings settings;
  settings.launcher_stem = "launcher";
  settings.target_program_path = program;
  if (ini_customization) {
    settings.customization_given = true;
    settings.customization_file = pieces[1];
  }
  if (ini_vm_arguments) settings.vm_arguments = kVmArguments;

  bool help = false, refused = false, window_system = false, vm_given = false;
  bool customization = ini_customization;
  std::string customization_file = pieces[1];
  for (size_t i = 0; i < user.size(); ++i) {
    help = help || is_help(user[i]);
    window_system = window_system || user[i] == "-ws";
    vm_given = vm_given || user[i] == "-vmargs";
    if (user[i] == "-customizationini" || user[i] == "-data") {
      refused = refused || !acceptable_value(user, i + 1);
    }
    if (user[i] == "-customizationini" && i + 1 < user.size()) {
      customization = true;
      customization_file = user[i + 1];
    }
  }

  if (prescan_arguments(settings, system, arguments) == PrescanResult::kHelpShown) {
    FUZZ_CHECK(help, "usage shown for " + fuzz::printable(user));
    FUZZ_CHECK(system.messages.size() == 1 && system.messages[0].caption == "Message",
               "the usage text was not shown once");
    return 0;
  }
  FUZZ_CHECK(!help, "help option not honoured in " + fuzz::printable(user));

  const bool translated = translate_arguments(settings, system, rules, arguments);
  FUZZ_CHECK(translated == !refused, "refusal of " + fuzz::printable(user));
  if (!translated) {
    FUZZ_CHECK(system.messages.size() == 1 && system.messages[0].caption == "Message",
               "a refused command line must show the usage text once");
    FUZZ_CHECK(settings.target_arguments.empty(), "a refused vector was built");
    return 0;
  }
  FUZZ_CHECK(system.messages.empty() && !system.started, "translation spoke or started");

  const std::vector<std::string> vm =
      vm_arguments_as_received(ini_vm_arguments ? kVmArguments : std::vector<std::string>{});
  std::vector<std::string> expected;
  if (!window_system) expected.insert(expected.end(), {"-ws", rules.window_system});
  if (customization) {
    expected.insert(expected.end(), {"-plugincustomization", customization_file});
  }
  for (size_t i = 0; i < user.size(); ++i) {
    if (user[i] == "-customizationini") {
      ++i;
      continue;
    }
    expected.push_back(user[i]);
    if (user[i] == "-vmargs") expected.insert(expected.end(), vm.begin(), vm.end());
    if (user[i] == "-data") expected.push_back(user[++i]);
  }
  if (!vm_given) {
    expected.push_back("-vmargs");
    expected.insert(expected.end(), vm.begin(), vm.end());
  }

  const std::vector<std::string>& built = settings.target_arguments;
  FUZZ_CHECK(!built.empty() && built[0] == '"' + program + '"',
             "element 0 is not the quoted target program");
  // What the POSIX hand-over passes after the program name.
  const std::vector<std::string> rest(built.begin() + 1, built.end());
  const std::vector<std::string> received = split_arguments(join_command_line(rest));
  FUZZ_CHECK(received == expected, "user " + fuzz::printable(user) + "\nreceived " +
                                       fuzz::printable(received) + "\nexpected " +
                                       fuzz::printable(expected));
  // A Windows target splits the whole line, program name included.
  std::vector<std::string> whole = split_command_line(join_command_line(built));
  FUZZ_CHECK(!whole.empty() && whole[0] == program &&
                 std::vector<std::string>(whole.begin() + 1, whole.end()) == expected,
             "the whole command line does not split back to program + arguments");
  return 0;
}
