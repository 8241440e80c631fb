// What ends the launcher when the C++ runtime cannot go on (it cannot
// allocate memory, say; the launcher itself throws nothing). The runtime's
// own handler would name the exception, and for that it brings in a
// demangler and a printf: about 58 KB, a fifth of the executable. This
// one ends the process the same way, with a plain line.
#include <cstdio>
#include <cstdlib>
#include <exception>

#ifdef __GLIBCXX__
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  fputs("terminate called: the C++ runtime cannot go on\n", stderr);
  abort();
}
}  // namespace __gnu_cxx
#endif
