// A stand-in for the product's program, for trying the launcher out: it
// prints each argument it received on a line of its own, then the
// environment variables that the demo INI file sets.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  std::printf("velmora demo received %d argument(s):\n", argc - 1);
  std::printf("  argv[0] = [%s]\n", argv[0]);
  for (int i = 1; i < argc; ++i) std::printf("  argv[%d] = [%s]\n", i, argv[i]);

  const char* names[] = {"VELMORA_HOME", "VELMORA_WORKSPACES", "PATH"};
  std::printf("environment:\n");
  for (const char* name : names) {
    const char* value = std::getenv(name);
    std::printf("  %s = %s\n", name, value != nullptr ? value : "(unset)");
  }
  return 0;
}
