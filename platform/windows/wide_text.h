// Text at the Windows boundary: the system speaks UTF-16, the launcher
// UTF-8. The conversion keeps every UTF-16 text exactly, an unpaired
// surrogate included (as the three bytes of its code point), so that an
// argument or path that Windows allows comes back unchanged.
#ifndef LAUNCHER_PLATFORM_WINDOWS_WIDE_TEXT_H_
#define LAUNCHER_PLATFORM_WINDOWS_WIDE_TEXT_H_

#include <string>

std::string to_utf8(const wchar_t* text, size_t length);
std::string to_utf8(const std::wstring& text);

// A byte that starts no character, or a sequence cut short, becomes U+FFFD.
std::wstring to_utf16(const std::string& text);

#endif  // LAUNCHER_PLATFORM_WINDOWS_WIDE_TEXT_H_
