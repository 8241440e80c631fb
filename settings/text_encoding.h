// The text encodings an INI file may come in: UTF-8 (the launcher's own),
// UTF-16LE with its byte order mark (what a "Unicode" save writes), and the
// system's legacy code page, which the platform decodes.
#ifndef LAUNCHER_SETTINGS_TEXT_ENCODING_H_
#define LAUNCHER_SETTINGS_TEXT_ENCODING_H_

#include <cstddef>
#include <string>

// Appends the UTF-8 form of |code_point| (up to U+10FFFF; a surrogate is
// written as its three bytes) to |out|.
void append_utf8(unsigned code_point, std::string* out);

// True when |text| is well-formed UTF-8: no overlong form, no surrogate,
// nothing above U+10FFFF, no sequence cut short.
bool is_valid_utf8(const std::string& text);

// Turns UTF-16LE bytes into UTF-8 as they arrive, in pieces of any size.
// An unpaired surrogate, and an odd byte at the end, become U+FFFD.
class Utf16Decoder {
 public:
  // Appends the UTF-8 of every character that |bytes| completes to |out|.
  void decode(const char* bytes, size_t size, std::string* out);
  // Appends what is left over at the end of the text to |out|.
  void finish(std::string* out);

 private:
  void unit(unsigned value, std::string* out);

  int odd_byte_ = -1;       // the first byte of a unit still to come
  unsigned high_half_ = 0;  // a high surrogate waiting for its low one
};

#endif  // LAUNCHER_SETTINGS_TEXT_ENCODING_H_
