// The portable text utilities, checked against the C library's own functions
// where they stand in for them.
#include "strutil.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Takes over a token array from SplitString and frees it the way callers must.
std::vector<std::string> TakeTokens(char **tokens, int count) {
    std::vector<std::string> result;
    for (int i = 0; i < count; ++i) {
        result.emplace_back(tokens[i]);
        free(tokens[i]);
    }
    free(tokens);
    return result;
}

// strtok's own cuts, as the reference for SplitString.
std::vector<std::string> StrtokTokens(const char *source, const char *delimiters) {
    std::vector<char> work(source, source + strlen(source) + 1);
    std::vector<std::string> result;
    for (char *t = strtok(work.data(), delimiters); t; t = strtok(nullptr, delimiters)) result.emplace_back(t);
    return result;
}

std::string Shown(const std::vector<std::string> &tokens) {
    std::string text;
    for (const auto &t : tokens) text += "[" + t + "]";
    return text;
}

TEST(StrReplaceAll, ReplacesEveryOccurrenceOnce) {
    struct Case {
        const char *source, *search, *replacement, *expected;
    };
    const Case cases[] = {
        {"'", "'", "''", "''"},   // doubling a quote must not go on doubling
        {"O'Neil's 'x'", "'", "''", "O''Neil''s ''x''"},
        {"no quote here", "'", "''", "no quote here"},
        {"", "a", "b", ""},
        {"aaa", "a", "aa", "aaaaaa"},   // the replacement holds the search text
        {"aaaa", "aa", "b", "bb"},
        {"aaa", "aa", "b", "ba"},       // left to right, occurrences do not overlap
        {"abcabc", "abc", "x", "xx"},
        {"start mid end", "start", "S", "S mid end"},
        {"start mid end", "end", "the end", "start mid the end"},
        {"a,b,,c", ",", "", "abc"},
        {"x", "x", "a much longer text", "a much longer text"},
        {"Ab ab", "a", "x", "Ab xb"},   // case-sensitive
        {"ab", "abc", "x", "ab"},       // search longer than the text
    };
    for (const auto &c : cases) {
        char *result = StrReplaceAll(c.source, c.search, c.replacement);
        ASSERT_NE(result, nullptr) << c.source;
        EXPECT_STREQ(result, c.expected) << c.source << " / " << c.search << " / " << c.replacement;
        EXPECT_NE(result, c.source);
        free(result);
    }
}

TEST(StrReplaceAll, WithoutAUsableSearchReturnsACopy) {
    struct Case {
        const char *search, *replacement;
    };
    // An empty search text would otherwise match forever at one place.
    const Case cases[] = {{"", "x"}, {nullptr, "x"}, {"a", nullptr}, {nullptr, nullptr}};
    const char source[] = "a text";
    for (const auto &c : cases) {
        char *result = StrReplaceAll(source, c.search, c.replacement);
        ASSERT_NE(result, nullptr);
        EXPECT_STREQ(result, source);
        EXPECT_NE(result, source);
        free(result);
    }
    EXPECT_EQ(StrReplaceAll(nullptr, "a", "b"), nullptr);
}

TEST(SplitString, CutsLikeStrtok) {
    struct Case {
        const char *source, *delimiters;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"R1 QRG:14.285", " ", {"R1", "QRG:14.285"}},
        {"QRG:14.285", ":", {"QRG", "14.285"}},
        {"a", " ", {"a"}},
        {"  a   b  ", " ", {"a", "b"}},   // runs separate once, nothing at either end
        {"one\r\ntwo\r\n\r\nthree\r\n", "\r\n", {"one", "two", "three"}},
        {"a:b c::d", ": ", {"a", "b", "c", "d"}},
        {"whole text", "", {"whole text"}},   // no delimiters: one token
        {"x,y", ";", {"x,y"}},
        {"ab", "b", {"a"}},
        {"\xE9t\xE9 \xFF", " ", {"\xE9t\xE9", "\xFF"}},
    };
    for (const auto &c : cases) {
        char sentinel = 0;
        char **tokens = reinterpret_cast<char **>(&sentinel);
        int count = SplitString(c.source, c.delimiters, &tokens);
        ASSERT_EQ(count, static_cast<int>(c.expected.size())) << c.source;
        ASSERT_NE(tokens, nullptr) << c.source;
        auto got = TakeTokens(tokens, count);
        EXPECT_EQ(got, c.expected) << c.source;
        EXPECT_EQ(got, StrtokTokens(c.source, c.delimiters)) << c.source;
    }
}

TEST(SplitString, NoTokenGivesZeroAndNull) {
    struct Case {
        const char *source, *delimiters;
    };
    const Case cases[] = {{"  ", " "}, {"", " "}, {"", ""}, {":::", ":"}, {"\r\n\r\n", "\r\n"}, {"a", "a"}};
    for (const auto &c : cases) {
        char sentinel = 0;
        char **tokens = reinterpret_cast<char **>(&sentinel);
        EXPECT_EQ(SplitString(c.source, c.delimiters, &tokens), 0) << '"' << c.source << '"';
        EXPECT_EQ(tokens, nullptr) << '"' << c.source << '"';
    }
}

TEST(SplitString, ManyTokensEachInItsOwnBlock) {
    // Every other character a token: the most a text can hold.
    std::string source;
    for (int i = 0; i < 1000; ++i) source += std::string(1, static_cast<char>('a' + i % 26)) + ",";
    char **tokens = nullptr;
    int count = SplitString(source.c_str(), ",", &tokens);
    ASSERT_EQ(count, 1000);
    auto got = TakeTokens(tokens, count);
    EXPECT_EQ(got, StrtokTokens(source.c_str(), ","));
}

TEST(SplitString, LeavesACallersStrtokAlone) {
    char outer[] = "first second third";
    const char *token = strtok(outer, " ");
    ASSERT_STREQ(token, "first");

    char **tokens = nullptr;
    int count = SplitString("x:y:z", ":", &tokens);
    EXPECT_EQ(Shown(TakeTokens(tokens, count)), "[x][y][z]");

    EXPECT_STREQ(strtok(nullptr, " "), "second");
    EXPECT_STREQ(strtok(nullptr, " "), "third");
    EXPECT_EQ(strtok(nullptr, " "), nullptr);
}

TEST(StrFindNoCase, FindsTheFirstMatchIgnoringCase) {
    struct Case {
        const char *text, *search;
        int expected;   // index into text, -1 for no match
    };
    const Case cases[] = {
        {"abc", "B", 1},
        {"aab", "ab", 1},
        {"aaab", "aab", 1},        // begins inside a failed partial match
        {"abababc", "ababc", 2},
        {"mississippi", "ISSIP", 4},
        {"Hello World", "world", 6},
        {"ABCabc", "cA", 2},
        {"abc", "c", 2},
        {"abc", "", 0},
        {"", "", 0},
        {"", "a", -1},
        {"abc", "abcd", -1},
        {"abc", "x", -1},
        {"aa", "aaa", -1},
        {"x\xE9y", "\xE9Y", 1},    // bytes above 127 compare as they are
        {"x\xC9y", "\xE9", -1},    // and are not case-folded in the default locale
        {"[@`{", "{", 3},          // neighbours of the letters are not folded onto them
        {"@", "`", -1},
    };
    for (const auto &c : cases) {
        const char *got = StrFindNoCase(c.text, c.search);
        if (c.expected < 0) {
            EXPECT_EQ(got, nullptr) << c.text << " / " << c.search;
        } else {
            EXPECT_EQ(got, c.text + c.expected) << c.text << " / " << c.search;
        }
    }
}

TEST(StrCompareNoCase, OrdersAsStrcmpOnLowerCaseLetters) {
    struct Case {
        const char *a, *b;
        int sign;
    };
    const Case cases[] = {
        {"QX1ab/P", "qx1AB/p", 0}, {"14MHz", "14mhz", 0}, {"", "", 0},
        {nullptr, "", 0},          {"", nullptr, 0},      {nullptr, "a", -1},
        {"ab", "abc", -1},         {"abc", "AB", 1},      {"CW", "SSB", -1},
        // Letters fold to lower case, so '_' (between the two cases) sorts before them.
        {"_", "a", -1},            {"_", "A", -1},        {"Z", "_", 1},
        // Only ASCII letters fold.
        {"\xC9", "\xE9", -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.a ? c.a : "(null)") + " / " + (c.b ? c.b : "(null)"));
        const int result = StrCompareNoCase(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign);
    }
}

TEST(StrTrim, CutsTheSixWhiteSpaceCharactersAtBothEnds) {
    struct Case {
        const char *text;
        size_t start;   // where the trimmed text begins in the buffer
        const char *expected;
    };
    const Case cases[] = {
        {"   ", 3, ""},
        {"a ", 0, "a"},
        {"", 0, ""},
        {"a", 0, "a"},
        {" \t\n\v\f\ra\r\n\t\v\f ", 6, "a"},
        {"  a b\tc  ", 2, "a b\tc"},
        {"\xA0x\xA0", 0, "\xA0x\xA0"},   // bytes above 127 are never white space
        {"\x85 ", 0, "\x85"},
        {"\x1C\x1Fx\x08", 0, "\x1C\x1Fx\x08"},   // other control characters stay
    };
    for (const auto &c : cases) {
        std::vector<char> buffer(c.text, c.text + strlen(c.text) + 1);
        char *got = StrTrim(buffer.data());
        EXPECT_EQ(got, buffer.data() + c.start) << '"' << c.text << '"';
        EXPECT_STREQ(got, c.expected) << '"' << c.text << '"';
    }
}

TEST(FormatByteSize, UnitAndDecimalsFollowTheDivisions) {
    struct Case {
        double count;
        const char *expected;
    };
    const Case cases[] = {
        {0, "0 B"},
        {1, "1 B"},
        {1023.25, "1023 B"},
        {1024, "1024 B"},        // at most 1024 stays as it is
        {1025, "1.0 kB"},
        {1536, "1.5 kB"},
        {1048576, "1024.0 kB"},
        {3145728, "3.00 MB"},
        {1.5 * 0x1p30, "1.500 GB"},
        {0x1p40, "1024.000 GB"},
        {1.25 * 0x1p40, "1.2500 TB"},
        {2.25 * 0x1p50, "2.25000 PB"},
        {3 * 0x1p60, "3.000000 EB"},
        {0x1p70, "1024.000000 EB"},
        {5 * 0x1p70, "5.0000000 ZB"},
        {0x1p80, "1024.0000000 ZB"},
        {0x1p81, "2.00000000 YB"},
        {0x1p90, "1024.00000000 YB"},          // past the table the count stays in YB
        {0x1p100, "1048576.00000000 YB"},
        {-1, "-1 B"},                           // never divided
        {-5000, "-5000 B"},
        {NAN, "nan B"},
        {INFINITY, "inf B"},
        {-INFINITY, "-inf B"},
    };
    for (const auto &c : cases) {
        char out[64];
        EXPECT_EQ(FormatByteSize(c.count, out, sizeof out), out);
        EXPECT_STREQ(out, c.expected) << c.count;
    }
}

TEST(FormatByteSize, CutsToTheBufferAndTerminates) {
    struct Case {
        double count;
        size_t size;
        const char *expected;
    };
    const Case cases[] = {
        {1536, 4, "1.5"},
        {1536, 1, ""},
        {0x1p100, 8, "1048576"},
        {NAN, 3, "na"},
        {-INFINITY, 2, "-"},
    };
    for (const auto &c : cases) {
        char out[32];
        memset(out, '#', sizeof out);
        EXPECT_EQ(FormatByteSize(c.count, out, c.size), out);
        EXPECT_STREQ(out, c.expected) << c.count << " in " << c.size;
        for (size_t i = c.size; i < sizeof out; ++i) EXPECT_EQ(out[i], '#') << "written past the buffer at " << i;
    }

    char untouched[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(FormatByteSize(1536, untouched, 0), untouched);
    EXPECT_EQ(std::string(untouched, 4), "####");
}

TEST(FormatByteSize, LargestCountStaysBounded) {
    // DBL_MAX / 1024^8 has 285 digits before the point.
    std::vector<char> out(400, '#');
    FormatByteSize(DBL_MAX, out.data(), out.size());
    std::string text(out.data());
    EXPECT_EQ(text.size(), 285u + strlen(".00000000 YB"));
    EXPECT_EQ(text.substr(0, 4), "1487");
    EXPECT_EQ(text.substr(text.size() - 12), ".00000000 YB");

    char small[16];
    FormatByteSize(DBL_MAX, small, sizeof small);
    EXPECT_EQ(std::string(small), text.substr(0, sizeof small - 1));
}

// Run with a limited allocator (TARN_OOM_TEST): refused blocks must give clean failures.
TEST(StrUtilMemory, RefusedBlocksGiveCleanFailures) {
    if (!getenv("TARN_OOM_TEST")) GTEST_SKIP() << "needs a limited allocator";
    // The token array for this text needs more than the allocator's 16 MB.
    std::string longWord(2 * ((17u << 20) / sizeof(char *)), 'x');
    char sentinel = 0;
    char **tokens = reinterpret_cast<char **>(&sentinel);
    EXPECT_EQ(SplitString(longWord.c_str(), " ", &tokens), 0);
    EXPECT_EQ(tokens, nullptr);

    // The replaced text would be 17 MB: NULL, and the working copy freed (the leak checker sees it).
    std::string source(9u << 20, 'y');
    source[0] = 'x';
    std::string replacement(8u << 20, 'z');
    EXPECT_EQ(StrReplaceAll(source.c_str(), "x", replacement.c_str()), nullptr);
}

}  // namespace
