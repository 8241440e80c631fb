/* The target program of the process benchmark: starts and ends at once, so
 * that a chain's time is the cost of what runs before it. */
int main(void) { return 0; }
