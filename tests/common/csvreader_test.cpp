// The CSV line reader: line ends, quoting, long lines and many fields, end of
// input against a read error, and the reset between files.
#include "csvreader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif
#include <string>
#include <vector>

#include "../support/tempfile.h"

namespace {

struct Line {
    std::string text;
    std::vector<std::string> fields;
};

// Reads the whole input, recording every line and its fields.
std::vector<Line> ReadAll(const std::string &input, bool *failed = nullptr) {
    auto path = WriteTestFile("csv_input.csv", input);
    FILE *f = fopen(path.string().c_str(), "rb");
    EXPECT_NE(f, nullptr);
    std::vector<Line> lines;
    while (char *text = CsvReadLine(f)) {
        Line line{text, {}};
        for (int i = 0; i < CsvFieldCount(); ++i) line.fields.emplace_back(CsvGetField(i));
        EXPECT_EQ(CsvGetField(CsvFieldCount()), nullptr);
        EXPECT_EQ(CsvGetField(-1), nullptr);
        lines.push_back(line);
        if (lines.size() > 100000) break;
    }
    if (failed) *failed = CsvLastReadFailed() != 0;
    fclose(f);
    CsvReaderReset();
    return lines;
}

using Fields = std::vector<std::string>;

struct LineEndCase {
    const char *name;
    std::string input;
    std::vector<std::string> lines;
};

TEST(CsvReader, LineEndsAndEmptyLines) {
    const LineEndCase cases[] = {
        {"crlf", "a,b\r\nc", {"a,b", "c"}},
        {"bare cr", "a\rb", {"a", "b"}},
        {"bare lf", "a\nb\n", {"a", "b"}},
        {"lfcr ends a line and an empty one", "a\n\rb", {"a", "", "b"}},
        {"cr at end of input", "a\r", {"a"}},
        {"empty input", "", {}},
        {"empty lines", "\r\n\n\rx", {"", "", "", "x"}},
        {"last line without line end", "x,y\r\nlast", {"x,y", "last"}},
        // A NUL is no text: dropped, the line around it stays one line.
        {"nul bytes are dropped", std::string("\0v2,a\r\nb\0c\r\0", 12), {"v2,a", "bc"}},
        {"a line of nul bytes is empty", std::string("a\n\0\0\nb", 7), {"a", "", "b"}},
    };
    for (const auto &c : cases) {
        auto lines = ReadAll(c.input);
        std::vector<std::string> texts;
        for (const auto &l : lines) texts.push_back(l.text);
        EXPECT_EQ(texts, c.lines) << c.name;
    }
}

TEST(CsvReader, NulBytesLeaveTheFieldsWhole) {
    auto lines = ReadAll(std::string("v2,G4\0ABC,\0\"n\0,o\",x\0\r\n", 22));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "v2,G4ABC,\"n,o\",x");
    EXPECT_EQ(lines[0].fields, (Fields{"v2", "G4ABC", "n,o", "x"}));
}

// Whether a line came with its line end: a list whose last line has none was cut short.
TEST(CsvReader, TellsWhetherTheLastLineEnded) {
    const struct {
        const char *name;
        std::string input;
        std::vector<int> ended;   // per line read
    } cases[] = {
        {"lf", "a\nb\n", {1, 1}},
        {"crlf and cr", "a\r\nb\r", {1, 1}},
        {"last line without line end", "a\nb", {1, 0}},
        {"empty line, then a cut one", "\r\nx,y", {1, 0}},
        {"cut after a nul", std::string("a\n\0", 3), {1}},
    };
    for (const auto &c : cases) {
        auto path = WriteTestFile("csv_ended.csv", c.input);
        FILE *f = fopen(path.string().c_str(), "rb");
        ASSERT_NE(f, nullptr);
        std::vector<int> ended;
        while (CsvReadLine(f)) ended.push_back(CsvLastLineEnded());
        EXPECT_EQ(ended, c.ended) << c.name;
        fclose(f);
        CsvReaderReset();
        EXPECT_EQ(CsvLastLineEnded(), 0);
    }
}

TEST(CsvReader, EmptyLineHasNoField) {
    auto lines = ReadAll("\r\nx");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].fields.empty());
    EXPECT_EQ(lines[1].fields, Fields{"x"});
}

struct SplitCase {
    std::string line;
    Fields fields;
};

TEST(CsvReader, SplitsQuotedFields) {
    const SplitCase cases[] = {
        {"a,b", {"a", "b"}},
        {"\"x,y\",z", {"x,y", "z"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"open,more", {"open,more"}},
        {"a,", {"a", ""}},
        {",,,", {"", "", "", ""}},
        {" \"a\"", {" \"a\""}},
        {"a\"b\",c", {"a\"b\"", "c"}},
        {"\"ab\"cd,e", {"abcd", "e"}},
        {"x,\"", {"x", ""}},
        {"\"\",\"\"\"\"", {"", "\""}},
        {"\"a\"\"", {"a\""}},
        {"\"q\" tail,\"r\"", {"q tail", "r"}},
    };
    for (const auto &c : cases) {
        auto lines = ReadAll(c.line + "\r\n");
        ASSERT_EQ(lines.size(), 1u) << c.line;
        EXPECT_EQ(lines[0].text, c.line) << "the line comes back as read";
        EXPECT_EQ(lines[0].fields, c.fields) << c.line;
    }
}

TEST(CsvReader, LongLinesAndManyFieldsGrowTheBuffers) {
    std::string longLine(10000, 'x');
    std::string many;
    Fields manyFields;
    for (int i = 0; i < 700; ++i) {
        if (i) many += ',';
        many += std::to_string(i);
        manyFields.push_back(std::to_string(i));
    }
    auto lines = ReadAll("short\n" + longLine + "\n" + many + "\nend");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].text, longLine);
    EXPECT_EQ(lines[1].fields, Fields{longLine});
    EXPECT_EQ(lines[2].fields, manyFields);
    EXPECT_EQ(lines[3].fields, Fields{"end"});
}

TEST(CsvReader, EndOfInputIsNotAFailure) {
    bool failed = true;
    ReadAll("a\nb\n", &failed);
    EXPECT_FALSE(failed);
}

TEST(CsvReader, ReadErrorIsReportedAsFailure) {
    // A stream whose descriptor is swapped for a write-only one: the next read
    // fails rather than ending.
    auto path = WriteTestFile("csv_readerror.csv", "a,b\nc,d\n");
    FILE *f = fopen(path.string().c_str(), "rb");
    ASSERT_NE(f, nullptr);
    int writeOnly = open(path.string().c_str(), O_WRONLY);
    ASSERT_GE(writeOnly, 0);
    ASSERT_GE(dup2(writeOnly, fileno(f)), 0);
    close(writeOnly);
    EXPECT_EQ(CsvReadLine(f), nullptr);
    EXPECT_EQ(CsvLastReadFailed(), 1);
    fclose(f);
    CsvReaderReset();
    EXPECT_EQ(CsvLastReadFailed(), 0);
    EXPECT_EQ(CsvReadLine(nullptr), nullptr);
    EXPECT_EQ(CsvLastReadFailed(), 1);
    CsvReaderReset();
}

TEST(CsvReader, ResetBetweenFilesStartsAfresh) {
    auto lines = ReadAll("one,two,three\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(CsvFieldCount(), 0);
    EXPECT_EQ(CsvGetField(0), nullptr);
    lines = ReadAll("four\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].fields, Fields{"four"});
}

// Runs only where the allocator is limited (see tests/CMakeLists.txt), so that
// growing the line buffer really fails.
TEST(CsvReaderMemory, ExhaustedMemoryIsReportedAsFailure) {
    if (!getenv("TARN_OOM_TEST")) GTEST_SKIP() << "needs a limited allocator";
    // Written in pieces: the test itself must not need a block the allocator refuses.
    auto path = TestTempPath("csv_huge.csv");
    {
        std::ofstream out(path, std::ios::binary);
        out << "first,line\n";
        std::string chunk(1u << 20, 'x');
        for (int i = 0; i < 20; ++i) out << chunk;
        out << "\nafter\n";
    }
    FILE *f = fopen(path.string().c_str(), "rb");
    ASSERT_NE(f, nullptr);
    ASSERT_NE(CsvReadLine(f), nullptr);
    EXPECT_EQ(CsvLastReadFailed(), 0);
    EXPECT_EQ(CsvReadLine(f), nullptr);
    EXPECT_EQ(CsvLastReadFailed(), 1);
    EXPECT_EQ(CsvFieldCount(), 0);
    fclose(f);
    CsvReaderReset();
    std::filesystem::remove(path);
}

}  // namespace
