// A stand-in for Tarnfetch, the release downloader, for the editor's tests: it
// writes the parameters it was started with into tarnfetch-args.txt beside
// itself and its process id into tarnfetch-pid.txt. A tarnfetch-hang.txt beside
// it makes it wait a minute before ending, as a program that does not end.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Beside(const char *name) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text(path, length);
    return text.substr(0, text.find_last_of("\\/") + 1) + name;
}

// The command line without the program's own name and the one blank after it.
const char *Parameters() {
    const char *p = GetCommandLineA();
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p) ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    if (*p == ' ') ++p;
    return p;
}

bool WriteText(const std::string &path, const std::string &text) {
    FILE *file = fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && ok;
}

}  // namespace

int main() {
    if (!WriteText(Beside("tarnfetch-pid.txt"), std::to_string(GetCurrentProcessId()))) return 1;
    if (!WriteText(Beside("tarnfetch-args.txt"), Parameters())) return 1;
    if (GetFileAttributesA(Beside("tarnfetch-hang.txt").c_str()) != INVALID_FILE_ATTRIBUTES) Sleep(60000);
    return 0;
}
