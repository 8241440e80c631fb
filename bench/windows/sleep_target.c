/* A target that sleeps 50 ms before it ends: with it in place of the no-op
 * target every chain must take at least 50 ms, which shows that the
 * benchmark waits for the whole chain and not only for its first process. */
#include <windows.h>

int main(void) {
  Sleep(50);
  return 0;
}
