// The portable text utilities (replace, split, search, trim, byte sizes); the
// ones that need the platform, version resources and the console pause, are in
// strutil_win.cpp.
#include "strutil.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

char *CopyText(const char *text) {
    size_t size = strlen(text) + 1;
    char *copy = static_cast<char *>(malloc(size));
    if (copy) memcpy(copy, text, size);
    return copy;
}

// The six white-space characters of the "C" locale, compared directly so that
// bytes above 127 never count and glibc and msvcrt agree.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int Lower(char c) {
    return tolower(static_cast<unsigned char>(c));
}

}  // namespace

char *StrReplaceAll(const char *source, const char *search, const char *replacement) {
    if (!source) return nullptr;
    char *text = CopyText(source);
    // An empty search text would match everywhere without moving on.
    if (!text || !search || !*search || !replacement) return text;

    const size_t searchLength = strlen(search);
    const size_t replacementLength = strlen(replacement);
    size_t length = strlen(text);
    size_t from = 0;
    for (;;) {
        const char *hit = strstr(text + from, search);
        if (!hit) return text;
        const size_t at = static_cast<size_t>(hit - text);
        const size_t newLength = length - searchLength + replacementLength;
        char *next = static_cast<char *>(malloc(newLength + 1));
        if (!next) {
            free(text);
            return nullptr;
        }
        memcpy(next, text, at);
        memcpy(next + at, replacement, replacementLength);
        memcpy(next + at + replacementLength, hit + searchLength, length - at - searchLength + 1);
        free(text);
        text = next;
        length = newLength;
        // Go on after the replacement, so a replacement holding the search text stays as it is.
        from = at + replacementLength;
    }
}

int SplitString(const char *source, const char *delimiters, char ***out) {
    if (!out) return 0;
    *out = nullptr;
    if (!source || !delimiters) return 0;

    // Tokens are at least one character apart, so n characters hold at most (n + 1) / 2.
    const size_t capacity = (strlen(source) + 1) / 2;
    if (capacity == 0 || capacity > INT_MAX) return 0;
    char **tokens = static_cast<char **>(malloc(capacity * sizeof *tokens));
    if (!tokens) return 0;

    // strspn/strcspn give strtok's cuts without its hidden state, which would
    // break a caller that is itself tokenising with strtok.
    int count = 0;
    const char *p = source;
    for (;;) {
        p += strspn(p, delimiters);
        if (!*p) break;
        const size_t length = strcspn(p, delimiters);
        char *token = static_cast<char *>(malloc(length + 1));
        if (!token) {
            while (count > 0) free(tokens[--count]);
            free(tokens);
            return 0;
        }
        memcpy(token, p, length);
        token[length] = '\0';
        tokens[count++] = token;
        p += length;
    }

    if (count == 0) {
        free(tokens);
        return 0;
    }
    // A failed shrink leaves the larger array, which is just as good.
    char **shrunk = static_cast<char **>(realloc(tokens, static_cast<size_t>(count) * sizeof *tokens));
    *out = shrunk ? shrunk : tokens;
    return count;
}

const char *StrFindNoCase(const char *text, const char *search) {
    if (!text || !search) return nullptr;
    // Every start is tried, so a match beginning inside a failed partial match is found.
    for (const char *start = text;; ++start) {
        size_t j = 0;
        while (search[j] && Lower(start[j]) == Lower(search[j])) ++j;
        if (!search[j]) return start;
        // The text ran out before the search text: no later start can match.
        if (!start[j]) return nullptr;
    }
}

int StrCompareNoCase(const char *a, const char *b) {
    if (!a) a = "";
    if (!b) b = "";
    for (;; ++a, ++b) {
        const int ca = Lower(*a), cb = Lower(*b);
        if (ca != cb || ca == 0) return ca - cb;
    }
}

char *StrTrim(char *text) {
    if (!text) return nullptr;
    while (IsSpace(*text)) ++text;
    char *end = text + strlen(text);
    while (end > text && IsSpace(end[-1])) --end;
    *end = '\0';
    return text;
}

char *FormatByteSize(double count, char *out, size_t outSize) {
    static const char *const units[] = {"B", "kB", "MB", "GB", "TB", "PB", "EB", "ZB", "YB"};
    const int lastUnit = static_cast<int>(sizeof units / sizeof units[0]) - 1;
    if (!out || outSize == 0) return out;

    // Not a count: fixed words with the byte unit, rather than whatever the
    // runtime's printf makes of them, so every runtime writes the same text.
    if (std::isnan(count)) {
        snprintf(out, outSize, "%s", "nan B");
        return out;
    }
    if (std::isinf(count)) {
        snprintf(out, outSize, "%s", count > 0 ? "inf B" : "-inf B");
        return out;
    }

    // Beyond the table the count stays in YB, however many digits that takes;
    // negative counts are never divided and show as whole bytes.
    int divisions = 0;
    while (count > 1024 && divisions < lastUnit) {
        count /= 1024;
        ++divisions;
    }
    snprintf(out, outSize, "%.*f %s", divisions, count, units[divisions]);
    return out;
}
