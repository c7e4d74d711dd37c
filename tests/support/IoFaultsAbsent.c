/* Where no dynamic linker lets a program wrap the C library's calls, faults cannot be armed: the
   controls do nothing, and a fault never happens, so a test that checks IoFault::Happened() says
   so instead of passing without its fault. Nor are calls counted: the count is -1. */

void korvane_io_fault_watch(const char* root)
{
    (void)root;
}

void korvane_io_fault_arm(const char* kind, const char* part, int error, int skip)
{
    (void)kind;
    (void)part;
    (void)error;
    (void)skip;
}

int korvane_io_fault_pending(void)
{
    return 1;
}

void korvane_io_fault_disarm(void) {}

void korvane_io_fault_count(const char* kind, const char* part)
{
    (void)kind;
    (void)part;
}

long korvane_io_fault_counted(void)
{
    return -1;
}
