// The system's reason in the status texts of a failed save, for tests that
// check a save reports why it failed.
#pragma once

#include <string>

// The reason in "Error: <reason>\n" or "ERROR: Unable to backup Log (<reason>)";
// empty for any other text.
inline std::string ReasonIn(const std::string &text) {
    const std::string error = "Error: ", backup = "ERROR: Unable to backup Log (";
    if (text.size() > error.size() + 1 && text.compare(0, error.size(), error) == 0 && text.back() == '\n')
        return text.substr(error.size(), text.size() - error.size() - 1);
    if (text.size() > backup.size() + 1 && text.compare(0, backup.size(), backup) == 0 && text.back() == ')')
        return text.substr(backup.size(), text.size() - backup.size() - 1);
    return "";
}
