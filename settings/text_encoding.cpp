#include "settings/text_encoding.h"

namespace {

constexpr unsigned kReplacement = 0xFFFD;

}  // namespace

void append_utf8(unsigned code_point, std::string* out) {
  if (code_point < 0x80) {
    *out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    *out += static_cast<char>(0xC0 | code_point >> 6);
    *out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    *out += static_cast<char>(0xE0 | code_point >> 12);
    *out += static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | code_point >> 18);
    *out += static_cast<char>(0x80 | (code_point >> 12 & 0x3F));
    *out += static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

bool is_valid_utf8(const std::string& text) {
  const size_t size = text.size();
  for (size_t i = 0; i < size;) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t length;
    unsigned code_point, minimum;
    if ((lead & 0xE0) == 0xC0) {
      length = 2, code_point = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, code_point = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, code_point = lead & 0x07, minimum = 0x10000;
    } else {
      return false;
    }
    if (size - i < length) return false;
    for (size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code_point = code_point << 6 | (next & 0x3F);
    }
    if (code_point < minimum || code_point > 0x10FFFF ||
        (code_point >= 0xD800 && code_point <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

void Utf16Decoder::unit(unsigned value, std::string* out) {
  if (high_half_ != 0) {
    if (value >= 0xDC00 && value <= 0xDFFF) {
      append_utf8(0x10000 + ((high_half_ - 0xD800) << 10) + (value - 0xDC00), out);
      high_half_ = 0;
      return;
    }
    append_utf8(kReplacement, out);
    high_half_ = 0;
  }
  if (value >= 0xD800 && value <= 0xDBFF) {
    high_half_ = value;
  } else if (value >= 0xDC00 && value <= 0xDFFF) {
    append_utf8(kReplacement, out);
  } else {
    append_utf8(value, out);
  }
}

void Utf16Decoder::decode(const char* bytes, size_t size, std::string* out) {
  size_t i = 0;
  if (odd_byte_ >= 0 && size > 0) {
    unit(static_cast<unsigned>(odd_byte_) |
             static_cast<unsigned>(static_cast<unsigned char>(bytes[0])) << 8,
         out);
    odd_byte_ = -1;
    i = 1;
  }
  for (; i + 1 < size; i += 2) {
    unit(static_cast<unsigned char>(bytes[i]) |
             static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8,
         out);
  }
  if (i < size) odd_byte_ = static_cast<unsigned char>(bytes[i]);
}

void Utf16Decoder::finish(std::string* out) {
  if (high_half_ != 0 || odd_byte_ >= 0) append_utf8(kReplacement, out);
  high_half_ = 0;
  odd_byte_ = -1;
}
