#include "platform/posix/process_environment.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

bool acceptable_name(const std::string& name) {
  return !name.empty() && name.find('=') == std::string::npos;
}

// While the table is in charge, `environ` points at its array, so getenv,
// execv and the programs started see exactly its variables. A change made
// past it with setenv or unsetenv moves the array (an addition) or its end
// (a removal), or changes an entry in place (a replacement, read through the
// array anyway); the first two are noticed and the table rebuilt.
//
// A parent may pass a name more than once. getenv and the table see the
// first entry, but some programs read the last (bash and Python do), so a
// name set or extended here keeps only its first entry: the later ones are
// dropped in one pass before the program starts.
class EnvironmentTable {
 public:
  const char* find(const std::string& name) {
    take_charge();
    auto found = positions_.find(name);
    return found == positions_.end() ? nullptr
                                     : entries_[found->second] + name.size() + 1;
  }

  void set(const std::string& name, const std::string& value) {
    take_charge();
    note_change(name);
    std::string& entry = owned_[name];
    entry.assign(name).append(1, '=').append(value);
    auto found = positions_.find(name);
    if (found != positions_.end()) {
      entries_[found->second] = &entry[0];
      return;
    }
    positions_.emplace(name, entries_.size() - 1);
    entries_.back() = &entry[0];
    entries_.push_back(nullptr);
    environ = entries_.data();
  }

  bool append(const std::string& name, const std::string& suffix) {
    take_charge();
    auto found = positions_.find(name);
    if (found == positions_.end()) return false;
    note_change(name);
    char*& slot = entries_[found->second];
    auto owned = owned_.find(name);
    if (owned == owned_.end() || slot != &owned->second[0]) {
      // Not made here (or replaced past the table): copy it in once.
      set(name, std::string(slot + name.size() + 1) + suffix);
      return true;
    }
    owned->second.append(suffix);
    slot = &owned->second[0];
    return true;
  }

  void remove(const std::string& name) {
    take_charge();
    if (positions_.count(name) == 0) return;
    // Every entry of the name goes, as unsetenv removes them all.
    std::vector<char*> kept;
    kept.reserve(entries_.size());
    for (char* entry : entries_) {
      if (entry == nullptr || std::strncmp(entry, name.c_str(), name.size()) != 0 ||
          entry[name.size()] != '=') {
        kept.push_back(entry);
      }
    }
    adopt(std::move(kept));
    owned_.erase(name);
  }

  void drop_later_duplicates() {
    if (changed_duplicates_.empty()) return;
    take_charge();
    std::vector<char*> kept;
    kept.reserve(entries_.size());
    for (size_t i = 0; i + 1 < entries_.size(); ++i) {
      const char* equals = std::strchr(entries_[i], '=');
      if (equals != nullptr) {
        std::string name(entries_[i], equals - entries_[i]);
        if (changed_duplicates_.count(name) != 0 && positions_[name] != i) continue;
      }
      kept.push_back(entries_[i]);
    }
    kept.push_back(nullptr);
    adopt(std::move(kept));
    changed_duplicates_.clear();
  }

 private:
  void note_change(const std::string& name) {
    if (!duplicated_.empty() && duplicated_.count(name) != 0) {
      changed_duplicates_.insert(name);
    }
  }

  void take_charge() {
    size_t size = entries_.size();
    if (environ != nullptr && environ == entries_.data() &&
        (size == 1 || entries_[size - 2] != nullptr)) {
      return;
    }
    std::vector<char*> current;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
      current.push_back(*entry);
    }
    current.push_back(nullptr);
    adopt(std::move(current));
  }

  // Makes the null-terminated |entries| the environment, indexed by name
  // (the first entry of a name is the one getenv finds).
  void adopt(std::vector<char*> entries) {
    entries_.swap(entries);
    positions_.clear();
    duplicated_.clear();
    for (size_t i = 0; i + 1 < entries_.size(); ++i) {
      const char* equals = std::strchr(entries_[i], '=');
      if (equals != nullptr) {
        std::string name(entries_[i], equals - entries_[i]);
        auto placed = positions_.emplace(name, i);
        if (!placed.second) duplicated_.insert(std::move(name));
      }
    }
    environ = entries_.data();
  }

  std::vector<char*> entries_;                          // null-terminated
  std::unordered_map<std::string, size_t> positions_;   // name -> its entry
  std::unordered_map<std::string, std::string> owned_;  // entries made here
  std::unordered_set<std::string> duplicated_;          // names of several entries
  std::unordered_set<std::string> changed_duplicates_;  // of those, set or extended here
};

// One table for the process, never destroyed: `environ` may point into it
// until the very end.
EnvironmentTable& table() {
  static EnvironmentTable* table = new EnvironmentTable;
  return *table;
}

}  // namespace

bool find_environment_variable(const std::string& name, std::string* value) {
  // getenv matches such a name against whole entries; the table cannot.
  const char* found =
      acceptable_name(name) ? table().find(name) : getenv(name.c_str());
  if (found == nullptr) return false;
  value->assign(found);
  return true;
}

bool environment_variable_has_value(const std::string& name) {
  const char* found =
      acceptable_name(name) ? table().find(name) : getenv(name.c_str());
  return found != nullptr && found[0] != '\0';
}

bool set_environment_variable(const std::string& name, const std::string& value) {
  if (!acceptable_name(name)) return false;
  table().set(name, value);
  return true;
}

bool append_environment_variable(const std::string& name,
                                 const std::string& suffix) {
  return acceptable_name(name) && table().append(name, suffix);
}

bool remove_environment_variable(const std::string& name) {
  if (!acceptable_name(name)) return false;
  table().remove(name);
  return true;
}

void drop_later_duplicates() { table().drop_later_duplicates(); }
