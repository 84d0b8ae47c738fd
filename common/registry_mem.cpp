// The registry store of native builds, in memory, keeping the registry's
// observable rules: key paths and value names compared without case, exact
// types and bytes, missing keys and values read as missing, and nothing created
// by a read or a write. The readers and writers common to both stores are in
// registry.cpp; registry_win.cpp is the store on advapi32.
#include "registry.h"
#include "registry_store.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

struct StoredValue {
    int type = 0;
    std::vector<unsigned char> data;
};

typedef std::map<std::string, StoredValue> ValueMap;                // by lower-case name
typedef std::map<std::pair<uintptr_t, std::string>, ValueMap> KeyMap;   // by root and lower-case path


KeyMap &Keys() {
    static KeyMap keys;
    return keys;
}

std::string Lower(const char *text) {
    std::string result = text ? text : "";
    for (char &c : result) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return result;
}

std::pair<uintptr_t, std::string> KeyId(HKEY root, const char *subKey) {
    return {reinterpret_cast<uintptr_t>(root), Lower(subKey)};
}

// The root itself always exists, as the platform's predefined keys do.
ValueMap *FindKey(HKEY root, const char *subKey) {
    auto id = KeyId(root, subKey);
    auto found = Keys().find(id);
    if (found != Keys().end()) return &found->second;
    if (id.second.empty()) return &Keys()[id];
    return nullptr;
}

const StoredValue *FindValue(HKEY root, const char *subKey, const char *valueName) {
    ValueMap *key = FindKey(root, subKey);
    if (!key) return nullptr;
    auto found = key->find(Lower(valueName));
    return found == key->end() ? nullptr : &found->second;
}

}  // namespace

void RegReadBytes(HKEY root, const char *subKey, const char *valueName, void *buffer, int *size, bool text) {
    const int capacity = *size;
    *size = 0;
    const StoredValue *value = FindValue(root, subKey, valueName);
    if (!value || capacity <= 0) return;
    const size_t length = value->data.size();
    if (!RegBytesReadable(value->type, text, value->data.data(), length, static_cast<size_t>(capacity))) return;
    if (length > 0) memcpy(buffer, value->data.data(), length);
    *size = static_cast<int>(length);
}

void RegQueryValueInfo(HKEY root, const char *subKey, const char *valueName, int *type, int *size) {
    const StoredValue *value = FindValue(root, subKey, valueName);
    *type = value ? value->type : 0;
    *size = value ? static_cast<int>(value->data.size()) : 0;
}

void RegReadDword(HKEY root, const char *subKey, const char *valueName, uint32_t *value, int *size) {
    *value = 0;
    const StoredValue *stored = FindValue(root, subKey, valueName);
    const size_t length = stored ? stored->data.size() : 0;
    if (!stored || !RegNumberDataFits(stored->type, stored->data.data(), length)) {
        *size = 0;
        return;
    }
    unsigned char data[kNumberBufferSize + 1] = {};
    if (length > 0) memcpy(data, stored->data.data(), length);
    *value = RegNumberFromData(stored->type, data);
}

int RegWriteValue(HKEY root, const char *subKey, const char *valueName, int type, const void *data, int length) {
    if (length < 0 || (length > 0 && !data)) return 0;
    ValueMap *key = FindKey(root, subKey);
    if (!key) return 0;
    StoredValue &value = (*key)[Lower(valueName)];
    value.type = type;
    const unsigned char *bytes = static_cast<const unsigned char *>(data);
    value.data.assign(bytes, bytes + length);
    return 0;
}

int RegRemoveValue(HKEY root, const char *subKey, const char *valueName) {
    ValueMap *key = FindKey(root, subKey);
    if (key) key->erase(Lower(valueName));
    return 0;
}

void RegMemCreateKey(HKEY root, const char *subKey) {
    std::string path = Lower(subKey);
    for (size_t end = path.find('\\'); end != std::string::npos; end = path.find('\\', end + 1))
        Keys()[{reinterpret_cast<uintptr_t>(root), path.substr(0, end)}];
    Keys()[{reinterpret_cast<uintptr_t>(root), path}];
}

void RegMemDeleteKey(HKEY root, const char *subKey) {
    const std::string path = Lower(subKey);
    const uintptr_t rootId = reinterpret_cast<uintptr_t>(root);
    for (auto it = Keys().begin(); it != Keys().end();) {
        const std::string &other = it->first.second;
        const bool inside = it->first.first == rootId &&
                            (other == path || (other.size() > path.size() && other.compare(0, path.size(), path) == 0 &&
                                               other[path.size()] == '\\'));
        it = inside ? Keys().erase(it) : std::next(it);
    }
}

int RegMemKeyExists(HKEY root, const char *subKey) { return FindKey(root, subKey) ? 1 : 0; }
