// Placeholder expansion and environment composition on the fake system. The
// input is cut at NUL bytes: flags (bit 0: Windows rules, bit 1: PATH set
// before, bit 2: PATH set but empty), the documents folder, the installation
// directory, then name and value pieces in turn, each pair one INI entry.
//
// Property of expand_placeholder: placeholder occurrences never overlap (each
// begins with "<" and holds no other), so a value is uniquely s0 p1 s1 ...
// pk sk with p the placeholders and no placeholder inside any s. Its
// expansion must be exactly s0 r1 s1 ... rk sk, where r is the documents
// folder for "<My Documents>" and "<$HOME>" and the installation directory
// for "<CURRDIR>". So nothing else changes, and no placeholder survives: a
// placeholder in the result can only come from a replacement text or be
// formed across the border of one (text "<CURR" + an empty replacement +
// "DIR>"), since no s holds one. The documents folder is asked for once
// when a value needs it and not at all otherwise.
//
// Property of the composition: after the entries are applied in order, the
// environment holds exactly what the model gives (append after the list
// separator to a non-empty value, otherwise set; an empty text changes
// nothing), refused names leave the variable alone and write the one output
// line with its control characters escaped, and
// no other variable changes.
#include <cstdint>
#include <string>
#include <vector>

#include "environment/environment.h"
#include "fuzz/fuzz_support.h"
#include "launcher/launch_settings.h"
#include "tests/support/fake_system.h"

namespace {

void check_expansion(const std::string& value, const std::string& documents,
                     const std::string& directory) {
  FakeSystem system;
  system.documents = documents;
  LaunchSettings settings;
  settings.installation_directory = directory;

  const std::string result = expand_placeholder(settings, system, value);
  const std::string expected = fuzz::expected_expansion(value, documents, directory);
  const std::string detail = "value \"" + fuzz::printable(value) + "\" gave \"" +
                             fuzz::printable(result) + "\" expected \"" +
                             fuzz::printable(expected) + "\"";
  FUZZ_CHECK(result == expected, detail);

  bool needs_documents = false;
  for (const fuzz::Occurrence& occurrence : fuzz::placeholder_occurrences(value)) {
    needs_documents = needs_documents || occurrence.kind != 2;
  }
  FUZZ_CHECK(system.documents_queries == (needs_documents ? 1 : 0),
             "documents folder asked " + std::to_string(system.documents_queries) +
                 " times: " + detail);
}

void check_replace_first(const std::string& text, const std::string& pattern,
                         const std::string& replacement) {
  const std::string result = replace_first(text, pattern, replacement);
  const size_t at = pattern.empty() ? std::string::npos : text.find(pattern);
  if (at == std::string::npos) {
    FUZZ_CHECK(result == text, "replace_first changed a text without the pattern");
    return;
  }
  FUZZ_CHECK(result.compare(0, at, text, 0, at) == 0 &&
                 result.compare(at, replacement.size(), replacement) == 0 &&
                 result.compare(at + replacement.size(), std::string::npos, text,
                                at + pattern.size(), std::string::npos) == 0 &&
                 result.size() == text.size() - pattern.size() + replacement.size(),
             "replace_first of \"" + fuzz::printable(pattern) + "\" in \"" +
                 fuzz::printable(text) + "\"");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> pieces = fuzz::split_at_nul(data, size);
  if (pieces.size() < 3) return 0;
  const int flags = pieces[0].empty() ? 0 : static_cast<unsigned char>(pieces[0][0]);
  const PathRules rules = (flags & 1) != 0 ? windows_path_rules() : posix_path_rules();
  const std::string& documents = pieces[1];
  const std::string& directory = pieces[2];

  FakeSystem system;
  system.documents = documents;
  system.environment = {{"HOME", "/home/ann"}, {"UNTOUCHED", "x"}};
  if ((flags & 2) != 0) system.environment["PATH"] = (flags & 4) != 0 ? "" : "/usr/bin";
  system.refused_names = {"REFUSED", "PATH\x7F"};
  LaunchSettings settings;
  settings.installation_directory = directory;

  fuzz::EnvironmentModel model;
  model.variables = system.environment;
  model.refused = system.refused_names;
  model.list_separator = rules.list_separator;

  for (size_t i = 3; i < pieces.size(); i += 2) {
    const std::string& name = pieces[i];
    const std::string value = i + 1 < pieces.size() ? pieces[i + 1] : std::string();
    check_expansion(value, documents, directory);
    check_replace_first(value, name, documents);
    apply_environment_entry(settings, system, rules, name, value);
    model.apply(name, fuzz::expected_expansion(value, documents, directory));
  }
  FUZZ_CHECK(system.environment == model.variables, "the environment differs from the model");
  FUZZ_CHECK(system.output == model.output,
             "output \"" + fuzz::printable(system.output) + "\"\nexpected \"" +
                 fuzz::printable(model.output) + "\"");
  FUZZ_CHECK(system.messages.empty() && !system.started, "composition spoke or started");
  return 0;
}
