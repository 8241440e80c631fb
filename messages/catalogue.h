// The message catalogue compiled into the program, for platforms that have no
// string-table resources of their own.
#ifndef LAUNCHER_MESSAGES_CATALOGUE_H_
#define LAUNCHER_MESSAGES_CATALOGUE_H_

#include <string>
#include <vector>

constexpr int kEnglishLanguage = 1033;

// The text of message |id| in |language| (a Windows language id); languages
// outside the catalogue get English, unknown ids an empty text.
std::string catalogue_text(int language, int id);

// The language ids of the catalogue, English first.
std::vector<int> catalogue_languages();

#endif  // LAUNCHER_MESSAGES_CATALOGUE_H_
