#include "safefile.h"

#include <cerrno>
#include <cstring>

int SafeFileBegin(SafeFile *sf, const char *path) {
    if (!path || !*path) {
        errno = ENOENT;
        return 0;
    }
    sf->target = path;
    sf->temp = sf->target + ".~tmp";
    sf->failed = false;
    sf->file = fopen(sf->temp.c_str(), "wb");
    return sf->file ? 1 : 0;
}

int SafeFileWrite(SafeFile *sf, const char *text, size_t length) {
    if (sf->failed || !sf->file) return 0;
    // As a text-mode stream would: each LF preceded by CR.
    size_t start = 0;
    for (size_t i = 0; i <= length; ++i) {
        if (i < length && text[i] != '\n') continue;
        size_t run = i - start;
        if (run && fwrite(text + start, 1, run, sf->file) != run) sf->failed = true;
        if (i < length && fwrite("\r\n", 1, 2, sf->file) != 2) sf->failed = true;
        if (sf->failed) return 0;
        start = i + 1;
    }
    return 1;
}

int SafeFileClose(SafeFile *sf) {
    if (!sf->file) return 0;
    bool good = !sf->failed && fflush(sf->file) == 0 && !ferror(sf->file);
    if (fclose(sf->file) != 0) good = false;
    sf->file = nullptr;
    if (!good) {
        sf->failed = true;
        remove(sf->temp.c_str());
        return 0;
    }
    return 1;
}

int SafeFileCommit(SafeFile *sf) {
    if (sf->file || sf->failed) return 0;
    if (!MoveFileReplacing(sf->temp.c_str(), sf->target.c_str())) {
        sf->failed = true;
        remove(sf->temp.c_str());
        return 0;
    }
    return 1;
}

void SafeFileAbandon(SafeFile *sf) {
    if (sf->file) {
        fclose(sf->file);
        sf->file = nullptr;
    }
    if (!sf->temp.empty()) remove(sf->temp.c_str());
    sf->failed = true;
}

int SafeCopyFile(const char *from, const char *to) {
    FILE *in = fopen(from, "rb");
    if (!in) return 0;
    SafeFile out;
    if (!SafeFileBegin(&out, to)) {
        fclose(in);
        return 0;
    }
    char buffer[65536];
    size_t got;
    bool good = true;
    while ((got = fread(buffer, 1, sizeof buffer, in)) > 0)
        if (fwrite(buffer, 1, got, out.file) != got) {
            good = false;
            break;
        }
    if (ferror(in)) good = false;
    fclose(in);
    if (!good) out.failed = true;
    return SafeFileClose(&out) && SafeFileCommit(&out) ? 1 : 0;
}
