// What the fuzz targets share: cutting the input into pieces, reporting a
// broken property, and simple models of the placeholder expansion and the
// environment composition that the targets check the core against. The
// models are written as plainly as possible and do not call the code under
// test.
#ifndef LAUNCHER_FUZZ_FUZZ_SUPPORT_H_
#define LAUNCHER_FUZZ_FUZZ_SUPPORT_H_

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fuzz {

// The input cut at every NUL byte; n NULs give n + 1 pieces.
inline std::vector<std::string> split_at_nul(const uint8_t* data, size_t size) {
  std::vector<std::string> pieces(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      pieces.emplace_back();
    } else {
      pieces.back() += static_cast<char>(data[i]);
    }
  }
  return pieces;
}

// |text| with unprintable bytes as \xNN, for the report of a failure.
inline std::string printable(const std::string& text) {
  std::string result;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      result += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      result += escaped;
    }
  }
  return result;
}

inline std::string printable(const std::vector<std::string>& texts) {
  std::string result = "{";
  for (size_t i = 0; i < texts.size(); ++i) {
    result += (i > 0 ? ", \"" : "\"") + printable(texts[i]) + "\"";
  }
  return result + "}";
}

// A broken property is a finding: libFuzzer keeps the input that caused it.
[[noreturn]] inline void property_failed(const char* file, int line,
                                         const char* condition,
                                         const std::string& detail) {
  std::fprintf(stderr, "\n%s:%d: property broken: %s\n%s\n", file, line,
               condition, detail.c_str());
  std::abort();
}

#define FUZZ_CHECK(condition, detail)                                  \
  do {                                                                 \
    if (!(condition)) {                                                \
      ::fuzz::property_failed(__FILE__, __LINE__, #condition, detail); \
    }                                                                  \
  } while (false)

// --- Placeholders ---

const char* const kPlaceholders[] = {"<My Documents>", "<$HOME>", "<CURRDIR>"};

struct Occurrence {
  size_t position;
  size_t length;
  int kind;  // index into kPlaceholders
};

// Every occurrence of every placeholder in |text|, by position. Each
// placeholder begins with "<" and holds no other "<", so occurrences never
// overlap and the list is the same whatever order they are looked for in.
inline std::vector<Occurrence> placeholder_occurrences(const std::string& text) {
  std::vector<Occurrence> found;
  for (int kind = 0; kind < 3; ++kind) {
    const std::string pattern = kPlaceholders[kind];
    for (size_t at = text.find(pattern); at != std::string::npos;
         at = text.find(pattern, at + 1)) {
      found.push_back({at, pattern.size(), kind});
    }
  }
  std::sort(found.begin(), found.end(),
            [](const Occurrence& a, const Occurrence& b) {
              return a.position < b.position;
            });
  return found;
}

// The expansion a value must get: s0 p1 s1 ... pk sk, where the p are the
// placeholder occurrences, becomes s0 r1 s1 ... rk sk.
inline std::string expected_expansion(const std::string& value,
                                      const std::string& documents,
                                      const std::string& installation_directory) {
  std::string result;
  size_t from = 0;
  for (const Occurrence& occurrence : placeholder_occurrences(value)) {
    result.append(value, from, occurrence.position - from);
    result += occurrence.kind == 2 ? installation_directory : documents;
    from = occurrence.position + occurrence.length;
  }
  result.append(value, from, std::string::npos);
  return result;
}

// --- Environment composition ---

// The process environment as the launcher must leave it, and the lines it
// must write for refused assignments.
struct EnvironmentModel {
  std::map<std::string, std::string> variables;
  std::set<std::string> refused;
  char list_separator = ';';
  std::string output;

  void apply(const std::string& name, const std::string& text) {
    if (text.empty()) return;  // nothing to add: the variable stays as it is
    auto current = variables.find(name);
    std::string value = text;
    if (current != variables.end() && !current->second.empty()) {
      value = current->second + list_separator + text;
    }
    if (refused.count(name) > 0) {
      output += terminal_safe("Error setting up env variable: " + name + "=" + value) + "\n";
    } else {
      variables[name] = value;
    }
  }

  // Control characters but line feed and tab, and DEL, as "\x1b".
  static std::string terminal_safe(const std::string& text) {
    std::string safe;
    for (unsigned char c : text) {
      if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
        safe += escaped;
      } else {
        safe += static_cast<char>(c);
      }
    }
    return safe;
  }
};

}  // namespace fuzz

#endif  // LAUNCHER_FUZZ_FUZZ_SUPPORT_H_
