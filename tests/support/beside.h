// Windows tests: files built into the folder of the running test program.
#pragma once

#include <windows.h>

#include <string>

inline std::string Beside(const char *fileName) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text(path, length);
    return text.substr(0, text.find_last_of("\\/") + 1) + fileName;
}
