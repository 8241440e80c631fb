// The language of the launcher's messages on POSIX, chosen from the locale.
#ifndef LAUNCHER_PLATFORM_POSIX_LOCALE_LANGUAGE_H_
#define LAUNCHER_PLATFORM_POSIX_LOCALE_LANGUAGE_H_

#include <string>

// The catalogue language (a Windows language id) for a locale name such as
// "de_DE.UTF-8" or "zh_TW"; English for anything the catalogue lacks.
int language_for_locale(const std::string& locale);

// The locale that decides the messages' language: the first non-empty of
// LC_ALL, LC_MESSAGES and LANG (as given by |lc_all|, |lc_messages|, |lang|).
std::string message_locale(const char* lc_all, const char* lc_messages,
                           const char* lang);

#endif  // LAUNCHER_PLATFORM_POSIX_LOCALE_LANGUAGE_H_
