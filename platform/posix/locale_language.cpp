#include "platform/posix/locale_language.h"

#include "messages/catalogue.h"

namespace {

struct LanguageCode {
  const char* code;
  int language;
};

const LanguageCode kLanguages[] = {
    {"en", 1033}, {"de", 1031}, {"fr", 1036}, {"it", 1040}, {"es", 3082},
    {"pt", 1046}, {"ja", 1041}, {"ko", 1042}, {"zh", 2052},
};

}  // namespace

int language_for_locale(const std::string& locale) {
  // language[_territory][.codeset][@modifier]
  size_t language_end = locale.find_first_of("_.@");
  std::string language = locale.substr(0, language_end);
  std::string territory;
  if (language_end != std::string::npos && locale[language_end] == '_') {
    size_t territory_end = locale.find_first_of(".@", language_end + 1);
    territory = locale.substr(language_end + 1,
                              territory_end == std::string::npos
                                  ? std::string::npos
                                  : territory_end - language_end - 1);
  }

  if (language == "zh" &&
      (territory == "TW" || territory == "HK" || territory == "MO")) {
    return 1028;  // Traditional Chinese
  }
  for (const LanguageCode& entry : kLanguages) {
    if (language == entry.code) return entry.language;
  }
  return kEnglishLanguage;
}

std::string message_locale(const char* lc_all, const char* lc_messages,
                           const char* lang) {
  for (const char* value : {lc_all, lc_messages, lang}) {
    if (value != nullptr && value[0] != '\0') return value;
  }
  return std::string();
}
