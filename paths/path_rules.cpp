#include "paths/path_rules.h"

namespace {

// A name is absolute when it starts at a root ("\dir", "/dir") or carries a
// drive ("C:\dir", "C:/dir", "C:dir"); a bare "C:" of two characters is
// searched like a name.
bool windows_is_absolute(const std::string& path) {
  if (!path.empty() && (path[0] == '\\' || path[0] == '/')) return true;
  return path.size() > 2 && path[1] == ':';
}

bool posix_is_absolute(const std::string& path) {
  return !path.empty() && path[0] == '/';
}

}  // namespace

PathRules windows_path_rules() {
  return PathRules{'\\', "\\/", ';', windows_is_absolute, ".exe",
                   ".\\velmora\\velmora.exe", "win32", "", true};
}

PathRules posix_path_rules() {
  return PathRules{'/', "/", ':', posix_is_absolute, "", "./velmora/velmora", "gtk", "", false};
}
