#include "platform/windows/environment_block.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

namespace {

// |name| in upper case, as Windows matches variable names.
std::wstring key_of(const std::wstring& name) {
  std::wstring key = name;
  bool ascii = true;
  for (wchar_t& c : key) {
    if (c >= L'a' && c <= L'z') {
      c = static_cast<wchar_t>(c - L'a' + L'A');
    } else if (c >= 0x80) {
      ascii = false;
    }
  }
  if (!ascii && !key.empty()) {
    LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, name.data(),
                 static_cast<int>(name.size()), &key[0], static_cast<int>(key.size()));
  }
  return key;
}

}  // namespace

void EnvironmentBlock::load() {
  loaded_ = true;
  wchar_t* block = GetEnvironmentStringsW();
  if (block == nullptr) return;
  for (const wchar_t* text = block; *text != L'\0';) {
    const size_t length = wcslen(text);
    // A hidden entry such as "=C:=C:\work" has its "=" in the name.
    const wchar_t* equals = length > 1 ? wmemchr(text + 1, L'=', length - 1) : nullptr;
    if (equals != nullptr) {
      std::wstring name(text, equals), value(equals + 1, text + length);
      auto inserted = index_.emplace(key_of(name), entries_.size());
      if (inserted.second) entries_.push_back({std::move(name), std::move(value)});
    }
    text += length + 1;
  }
  FreeEnvironmentStringsW(block);
}

EnvironmentBlock::Entry* EnvironmentBlock::entry(const std::wstring& name) {
  if (!loaded_) load();
  auto found = index_.find(key_of(name));
  return found == index_.end() ? nullptr : &entries_[found->second];
}

const std::wstring* EnvironmentBlock::find(const std::wstring& name) {
  Entry* found = entry(name);
  return found == nullptr || found->removed ? nullptr : &found->value;
}

void EnvironmentBlock::set(const std::wstring& name, const std::wstring& value) {
  Entry* found = entry(name);
  if (found == nullptr) {
    if (value.empty()) return;
    index_.emplace(key_of(name), entries_.size());
    entries_.push_back({name, value});
    return;
  }
  found->value = value;
  found->removed = value.empty();
}

void EnvironmentBlock::append(const std::wstring& name, const std::wstring& suffix) {
  Entry* found = entry(name);
  if (found == nullptr || found->removed) {
    set(name, suffix);
  } else {
    found->value += suffix;
  }
}

std::wstring EnvironmentBlock::block() {
  if (!loaded_) load();
  // The index is ordered by hash, not by name: sort the upper-case names.
  std::vector<std::pair<std::wstring, const Entry*>> sorted;
  sorted.reserve(entries_.size());
  size_t size = 1;
  for (const auto& indexed : index_) {
    const Entry& entry = entries_[indexed.second];
    if (entry.removed) continue;
    sorted.emplace_back(indexed.first, &entry);
    size += entry.name.size() + entry.value.size() + 2;
  }
  std::sort(sorted.begin(), sorted.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::wstring block;
  block.reserve(size);
  for (const auto& item : sorted) {
    block += item.second->name;
    block += L'=';
    block += item.second->value;
    block += L'\0';
  }
  if (block.empty()) block += L'\0';  // an empty block still ends in two NULs
  block += L'\0';
  return block;
}
