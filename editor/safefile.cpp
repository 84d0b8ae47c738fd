// The safe file writer on C streams; the steps that differ by platform, writing
// the file through to the disk and replacing the target, are in safefile_win.cpp
// and safefile_native.cpp.
#include "safefile.h"

#include <cerrno>
#include <cstring>

#include "uihooks.h"

namespace {

// Records the first failure, removes the temporary file and shows the reason.
void Fail(SafeFile *sf, const char *reason) {
    if (sf->file) {
        fclose(sf->file);
        sf->file = nullptr;
    }
    if (!sf->temp.empty()) remove(sf->temp.c_str());
    if (sf->failed) return;
    sf->failed = true;
    sf->reason = reason;
    if (sf->quiet) return;
    std::string text = "Error: " + sf->reason + "\n";
    ShowStatusMessage(text.c_str(), 0);
    ErrorBeep();
}

}  // namespace

int SafeFileBegin(SafeFile *sf, const char *path) {
    if (!path || !*path) {
        errno = ENOENT;
        return 0;
    }
    sf->target = path;
    sf->temp = sf->target + ".~tmp";
    sf->failed = false;
    sf->reason.clear();
    sf->file = fopen(sf->temp.c_str(), "wb");
    return sf->file ? 1 : 0;
}

int SafeFileWrite(SafeFile *sf, const char *text, size_t length) {
    if (sf->failed || !sf->file) return 0;
    // As a text-mode stream would: each LF preceded by CR.
    size_t start = 0;
    errno = 0;
    for (size_t i = 0; i <= length; ++i) {
        if (i < length && text[i] != '\n') continue;
        size_t run = i - start;
        bool good = (!run || fwrite(text + start, 1, run, sf->file) == run) &&
                    (i == length || fwrite("\r\n", 1, 2, sf->file) == 2);
        if (!good) {
            Fail(sf, strerror(errno ? errno : EIO));
            return 0;
        }
        start = i + 1;
    }
    return 1;
}

int SafeFileClose(SafeFile *sf) {
    if (!sf->file) return 0;
    errno = 0;
    char reason[256] = "";
    bool good = !sf->failed && fflush(sf->file) == 0 && !ferror(sf->file);
    if (!good)
        snprintf(reason, sizeof reason, "%s", strerror(errno ? errno : EIO));
    else
        good = SyncFileToDisk(sf->file, reason, sizeof reason) != 0;
    errno = 0;
    if (fclose(sf->file) != 0 && good) {
        good = false;
        snprintf(reason, sizeof reason, "%s", strerror(errno ? errno : EIO));
    }
    sf->file = nullptr;
    if (!good) {
        Fail(sf, reason);
        return 0;
    }
    return 1;
}

int SafeFileCommit(SafeFile *sf) {
    if (sf->file || sf->failed) return 0;
    char reason[256] = "";
    if (!MoveFileReplacing(sf->temp.c_str(), sf->target.c_str(), reason, sizeof reason)) {
        Fail(sf, reason);
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

int SafeCopyBegin(const char *from, const char *to, SafeFile *out) {
    out->quiet = true;
    FILE *in = fopen(from, "rb");
    if (!in) {
        out->failed = true;
        out->reason = strerror(errno);
        return 0;
    }
    if (!SafeFileBegin(out, to)) {
        out->failed = true;
        out->reason = strerror(errno);
        fclose(in);
        return 0;
    }
    char buffer[65536];
    size_t got;
    errno = 0;
    while ((got = fread(buffer, 1, sizeof buffer, in)) > 0)
        if (fwrite(buffer, 1, got, out->file) != got) {
            Fail(out, strerror(errno ? errno : EIO));
            break;
        }
    if (ferror(in)) Fail(out, strerror(errno ? errno : EIO));
    fclose(in);
    return !out->failed && SafeFileClose(out) ? 1 : 0;
}
