// Tarnsync's command line, the decision to restart with administrator rights
// and the argument text handed to the restarted copy.
#pragma once

#include <cstddef>

struct UpdaterOptions {
    int PauseSeconds;   // closing pause; 20 unless an option changes it
    int ForceUpdate;    // download and rebuild whatever the dates say
    int UpdateNow;      // started by the editor: restart it at the end
    int AllowAsUser;    // never restart elevated
};

// Sets the defaults, then reads argv[1..argc-1] in order, reporting unknown
// arguments on standard error and the allow-as-user warning on standard
// output. 1 to go on; 0 when "version" was met (the run ends with 0).
int ParseUpdaterOptions(int argc, char **argv, UpdaterOptions *options);

// 1 when the run must restart elevated: the system is Vista or later, UAC is
// on, the user is no administrator, and dataDirectory lies under "Program
// Files" or the Windows folder. The three tests are called in that order and
// only as far as needed.
int RestartNeeded(int (*isVistaOrLater)(void), int (*isUacEnabled)(void), int (*isUserAdmin)(void),
                  const char *dataDirectory, const char *windowsDirectory);

// The arguments after the program name, separated by one blank, each holding a
// blank inside double quotes. 1 when they fit in outSize (1024 holds 1023
// characters); 0 otherwise, out then empty.
int BuildRestartArguments(int argc, char **argv, char *out, size_t outSize);
