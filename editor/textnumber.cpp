// The number a text begins with, read by rules of our own rather than the C
// library's, so that every runtime reads the same value.
#include "textnumber.h"

#include <cctype>
#include <cstdlib>
#include <string>

double ReadLeadingNumber(const char *text) {
    const char *p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    std::string number;
    if (*p == '+' || *p == '-') number += *p++;
    size_t digits = 0;
    while (isdigit(static_cast<unsigned char>(*p))) number += *p++, ++digits;
    if (*p == '.') {
        number += *p++;
        while (isdigit(static_cast<unsigned char>(*p))) number += *p++, ++digits;
    }
    if (!digits) return 0;
    if (*p == 'e' || *p == 'E') {
        const char *q = p + 1;
        std::string exponent = "e";
        if (*q == '+' || *q == '-') exponent += *q++;
        if (isdigit(static_cast<unsigned char>(*q))) {
            while (isdigit(static_cast<unsigned char>(*q))) exponent += *q++;
            number += exponent;
        }
    }
    return strtod(number.c_str(), nullptr);
}
