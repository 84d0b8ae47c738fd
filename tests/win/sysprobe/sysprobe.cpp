// A program for the system-function tests to start under names of their choosing.
// With "version" it ends with IsVistaOrLater's answer as exit code; otherwise it
// waits until the test ends it.
#include <windows.h>

#include <cstring>

#include "sysinfo.h"

int main(int argc, char **argv) {
    if (argc > 1 && strcmp(argv[1], "version") == 0) return IsVistaOrLater();
    Sleep(120000);
    return 0;
}
