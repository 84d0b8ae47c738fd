// Stands in for Tarnlog.exe in the updater's hand-over test: notes that it was
// started (and with which arguments) in a file beside itself, then ends.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    char *slash = strrchr(path, '\\');
    if (length == 0 || !slash) return 1;
    strcpy(slash + 1, "editor-started.txt");
    FILE *file = fopen(path, "w");
    if (!file) return 1;
    fprintf(file, "%d arguments\n", argc - 1);
    for (int i = 1; i < argc; ++i) fprintf(file, "%s\n", argv[i]);
    fclose(file);
    return 0;
}
