#include "messages/catalogue.h"

#include "resources/message_ids.h"

namespace {

struct CatalogueText {
  int id;
  const char* text;
};

struct CatalogueLanguage {
  int language;
  CatalogueText texts[6];
};

#define LANGUAGE_BEGIN(language, primary, sub) {language, {
#define MESSAGE_TEXT(id, text) {id, text},
#define LANGUAGE_END }},

const CatalogueLanguage kCatalogue[] = {
#include "resources/messages.def"
};

#undef LANGUAGE_BEGIN
#undef MESSAGE_TEXT
#undef LANGUAGE_END

const CatalogueLanguage* find_language(int language) {
  for (const CatalogueLanguage& entry : kCatalogue) {
    if (entry.language == language) return &entry;
  }
  return nullptr;
}

}  // namespace

std::string catalogue_text(int language, int id) {
  const CatalogueLanguage* entry = find_language(language);
  if (entry == nullptr) entry = find_language(kEnglishLanguage);
  for (const CatalogueText& text : entry->texts) {
    if (text.id == id) return text.text;
  }
  return std::string();
}

std::vector<int> catalogue_languages() {
  std::vector<int> languages;
  for (const CatalogueLanguage& entry : kCatalogue) {
    languages.push_back(entry.language);
  }
  return languages;
}
