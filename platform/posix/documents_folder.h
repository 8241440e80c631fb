// The documents folder on POSIX, found the way xdg-user-dir finds it.
#ifndef LAUNCHER_PLATFORM_POSIX_DOCUMENTS_FOLDER_H_
#define LAUNCHER_PLATFORM_POSIX_DOCUMENTS_FOLDER_H_

#include <string>

// The XDG_DOCUMENTS_DIR of a user-dirs.dirs file's |content| (the last
// assignment wins), with a leading "$HOME" replaced by |home|; |home| when
// the file names no documents folder.
std::string documents_folder_from_user_dirs(const std::string& content,
                                            const std::string& home);

#endif  // LAUNCHER_PLATFORM_POSIX_DOCUMENTS_FOLDER_H_
