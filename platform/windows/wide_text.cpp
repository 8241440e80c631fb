#include "platform/windows/wide_text.h"

#include "settings/text_encoding.h"

namespace {

bool is_high_surrogate(unsigned unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool is_low_surrogate(unsigned unit) { return unit >= 0xDC00 && unit < 0xE000; }

}  // namespace

std::string to_utf8(const wchar_t* text, size_t length) {
  std::string out;
  out.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    unsigned unit = static_cast<unsigned short>(text[i]);
    if (is_high_surrogate(unit) && i + 1 < length &&
        is_low_surrogate(static_cast<unsigned short>(text[i + 1]))) {
      unsigned low = static_cast<unsigned short>(text[++i]);
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    append_utf8(unit, &out);
  }
  return out;
}

std::string to_utf8(const std::wstring& text) {
  return to_utf8(text.data(), text.size());
}

std::wstring to_utf16(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  const size_t size = text.size();
  for (size_t i = 0; i < size;) {
    const unsigned lead = static_cast<unsigned char>(text[i]);
    size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2
                  : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    unsigned value = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    if (length == 1) value = lead;
    bool whole = length > 0 && i + length <= size;
    for (size_t k = 1; whole && k < length; ++k) {
      const unsigned next = static_cast<unsigned char>(text[i + k]);
      whole = (next & 0xC0) == 0x80;
      value = (value << 6) | (next & 0x3F);
    }
    // Overlong forms and values beyond U+10FFFF start no character.
    if (whole && ((length == 3 && value < 0x800) ||
                  (length == 4 && (value < 0x10000 || value > 0x10FFFF)))) {
      whole = false;
    }
    if (!whole) {
      out.push_back(L'\xFFFD');
      ++i;
      continue;
    }
    if (value >= 0x10000) {
      value -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (value >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (value & 0x3FF)));
    } else {
      out.push_back(static_cast<wchar_t>(value));
    }
    i += length;
  }
  return out;
}
