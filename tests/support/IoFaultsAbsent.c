/* Where no dynamic linker lets a program wrap the C library's calls, faults cannot be armed: the
   controls do nothing, and a fault never happens, so a test that checks IoFault::Happened() says
   so instead of passing without its fault. */

void korvane_io_fault_watch(const char* root) { (void)root; }

void korvane_io_fault_arm(const char* kind, const char* part, int error, int skip)
{
    (void)kind;
    (void)part;
    (void)error;
    (void)skip;
}

int korvane_io_fault_pending(void) { return 1; }

void korvane_io_fault_disarm(void) {}
