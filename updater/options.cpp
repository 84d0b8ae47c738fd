// Tarnsync's command line, the decision to restart elevated and the arguments
// of the restarted copy: portable, so the native tests run them; the program's
// stages in tarnsync_win.cpp call them.
#include "options.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>

namespace {

constexpr char kAsUserWarning[] =
    "\nWARNING: Allowing the program to run without Administrator rights is\n"
    "not recommended as Windows may re-map the location of certain files, which\n"
    "could lead to unexpected results.\n\n";

bool Is(const char *word, const char *name) { return strcasecmp(word, name) == 0; }

}  // namespace

int ParseUpdaterOptions(int argc, char **argv, UpdaterOptions *options) {
    options->PauseSeconds = 20;
    options->ForceUpdate = 0;
    options->UpdateNow = 0;
    options->AllowAsUser = 0;
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        if (argument[0] == '-' || argument[0] == '/') {
            const char *word = argument + 1;
            if (Is(word, "version") || Is(word, "v")) return 0;
            if (Is(word, "always-update") || Is(word, "a")) {
                options->ForceUpdate = 1;
                continue;
            }
            if (Is(word, "nopause") || Is(word, "n")) {
                options->PauseSeconds = 0;
                continue;
            }
            if (Is(word, "update-now")) {
                options->UpdateNow = 1;
                options->PauseSeconds = 3;
                options->ForceUpdate = 1;
                continue;
            }
            if (Is(word, "allow-as-user") || Is(word, "u")) {
                options->AllowAsUser = 1;
                fputs(kAsUserWarning, stdout);
                continue;
            }
        }
        fprintf(stderr, "\nUnknown argument '%s' ignored.\n\n", argument);
    }
    return 1;
}

int RestartNeeded(int (*isVistaOrLater)(void), int (*isUacEnabled)(void), int (*isUserAdmin)(void),
                  const char *dataDirectory, const char *windowsDirectory) {
    if (!isVistaOrLater() || !isUacEnabled() || isUserAdmin()) return 0;
    // An empty Windows folder (not found) would match every path.
    return strstr(dataDirectory, "Program Files") || (windowsDirectory[0] && strstr(dataDirectory, windowsDirectory)) ? 1 : 0;
}

int BuildRestartArguments(int argc, char **argv, char *out, size_t outSize) {
    if (!out || outSize == 0) return 0;
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        if (strchr(argv[i], ' '))
            text += std::string("\"") + argv[i] + "\"";
        else
            text += argv[i];
    }
    out[0] = '\0';
    if (text.size() >= outSize) return 0;
    memcpy(out, text.c_str(), text.size() + 1);
    return 1;
}
