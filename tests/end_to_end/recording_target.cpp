// Stands in for velmora/velmora in the end-to-end tests: it writes down what
// it received and exits with a status of its own, so that a test can tell
// that it ran. The record goes to the file named by RECORD_FILE (standard
// output when that is unset) and survives any byte but NUL:
//   argc <count>\n
//   arg <length>\n<bytes>\n     one per argv element, in order
//   env <length>\n<bytes>\n     one per environment entry, in order
//   fd <length>\n<number>\n     one per open descriptor but the record's own
// Exit status 42 (kTargetExitStatus in installation.h); 3 when the record
// cannot be written.
#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

void write_entry(FILE* out, const char* kind, const char* text) {
  size_t length = std::strlen(text);
  std::fprintf(out, "%s %zu\n", kind, length);
  std::fwrite(text, 1, length, out);
  std::fputc('\n', out);
}

}  // namespace

int main(int argc, char** argv) {
  const char* record = std::getenv("RECORD_FILE");
  FILE* out = record != nullptr ? std::fopen(record, "wb") : stdout;
  if (out == nullptr) return 3;
  std::fprintf(out, "argc %d\n", argc);
  for (int i = 0; i < argc; ++i) write_entry(out, "arg", argv[i]);
  for (char** entry = environ; *entry != nullptr; ++entry) {
    write_entry(out, "env", *entry);
  }
  DIR* descriptors = opendir("/proc/self/fd");
  if (descriptors == nullptr) return 3;
  while (const dirent* entry = readdir(descriptors)) {
    const int descriptor = std::atoi(entry->d_name);
    if (entry->d_name[0] != '.' && descriptor != dirfd(descriptors) &&
        (out == stdout || descriptor != fileno(out))) {
      write_entry(out, "fd", entry->d_name);
    }
  }
  closedir(descriptors);
  if (std::fflush(out) != 0 || (out != stdout && std::fclose(out) != 0)) return 3;
  return 42;
}
