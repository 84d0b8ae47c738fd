// The QSO list: order rules (checked against a plain model over long random
// runs, so the shortcuts for sorted input cannot drift from the walk), the
// spelling and limits of stored texts, deletes, and the list view's comparison.
#include "qsolist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "settings.h"
#include "uihooks.h"
#include "../support/testtime.h"

namespace {

class QsoList : public ::testing::Test {
protected:
    void SetUp() override {
        FreeQsoList();
        LogModified = 0;
        EditorSettings = EditorSettingsRecord{};
        SortAscending = 1;
    }
    void TearDown() override {
        FreeQsoList();
        SortAscending = 1;
    }
};

QsoEntry *Add(UtcTime t, const char *call, const char *band = "", const char *mode = "", int32_t id = 0) {
    return InsertQsoEntry(id, t, call, band, mode, "", "", "", "", 0);
}

std::vector<std::string> Calls() {
    std::vector<std::string> calls;
    for (QsoEntry *e = QsoListHead; e; e = e->next) calls.push_back(e->hisCall);
    return calls;
}

// Head and tail agree with the links.
void ExpectEnds() {
    if (!QsoListHead) {
        EXPECT_EQ(QsoListTail, nullptr);
        return;
    }
    QsoEntry *last = QsoListHead;
    while (last->next) last = last->next;
    EXPECT_EQ(QsoListTail, last);
}

TEST_F(QsoList, InsertOrder) {
    struct Case {
        const char *what;
        std::vector<std::pair<UtcTime, const char *>> inserts;
        std::vector<std::string> order;
    } const cases[] = {
        {"one entry", {{100, "A"}}, {"A"}},
        {"equal times, last inserted first", {{100, "E1"}, {100, "E2"}, {100, "E3"}}, {"E3", "E2", "E1"}},
        {"-1 before every valid time", {{0, "Z"}, {5, "F"}, {-1, "U"}}, {"U", "Z", "F"}},
        {"later than all becomes the tail", {{10, "A"}, {20, "B"}, {30, "C"}}, {"A", "B", "C"}},
        {"earlier than all becomes the head", {{30, "C"}, {20, "B"}, {10, "A"}}, {"A", "B", "C"}},
        {"equal to the tail after a longer run",
         {{10, "A"}, {20, "B1"}, {20, "B2"}, {15, "M"}, {20, "B3"}},
         {"A", "M", "B3", "B2", "B1"}},
        {"between, right before the tail's run", {{10, "A"}, {30, "C1"}, {30, "C2"}, {20, "B"}, {30, "C3"}},
         {"A", "B", "C3", "C2", "C1"}},
        {"equal to the head while the tail is later", {{10, "A1"}, {20, "B"}, {10, "A2"}}, {"A2", "A1", "B"}},
        {"before an all-equal list, then equal to it", {{20, "B1"}, {20, "B2"}, {10, "A"}, {20, "B3"}},
         {"A", "B3", "B2", "B1"}},
    };
    for (const Case &c : cases) {
        FreeQsoList();
        for (auto &[t, call] : c.inserts) ASSERT_NE(Add(t, call), nullptr);
        EXPECT_EQ(Calls(), c.order) << c.what;
        ExpectEnds();
    }
}

// Inserts and deletes at random, few distinct times, against a vector model
// that places every entry before the first one whose time is not less.
TEST_F(QsoList, RandomRunsMatchTheModel) {
    std::mt19937 random(20240501);
    for (int run = 0; run < 40; ++run) {
        FreeQsoList();
        std::vector<std::pair<UtcTime, int32_t>> model;
        int32_t nextId = 1;
        for (int step = 0; step < 300; ++step) {
            if (!model.empty() && random() % 5 == 0) {
                size_t victim = random() % model.size();
                ASSERT_EQ(DeleteQsoEntry(model[victim].second), 0);
                model.erase(model.begin() + static_cast<long>(victim));
            } else {
                UtcTime t = static_cast<UtcTime>(random() % 8) - 1;
                if (run % 3 == 1) t += step;   // mostly sorted input
                if (run % 3 == 2) t = static_cast<UtcTime>(random() % 200) - 1;   // shuffled, few repeats
                int32_t id = nextId++;
                ASSERT_NE(InsertQsoEntry(id, t, "", "", "", "", "", "", "", 0), nullptr);
                auto at = std::find_if(model.begin(), model.end(), [t](auto &m) { return m.first >= t; });
                model.insert(at, {t, id});
            }
            std::vector<std::pair<UtcTime, int32_t>> list;
            for (QsoEntry *e = QsoListHead; e; e = e->next) list.emplace_back(e->qsoTime, e->id);
            ASSERT_EQ(list, model) << "run " << run << " step " << step;
            ExpectEnds();
        }
    }
}

TEST_F(QsoList, BandAndModeTakeTheUsersSpelling) {
    EditorSettingsRecord &s = EditorSettings;
    strcpy(s.UserBands[0], "2m");
    strcpy(s.UserBands[1], "144MHz");
    strcpy(s.UserBands[2], "144mhz");   // the first match wins
    s.UserBandCount = 3;
    strcpy(s.UserModes[0], "SSB");
    strcpy(s.UserModes[1], "Cw");   // beyond the count: never used
    s.UserModeCount = 1;
    struct Case {
        const char *band, *mode, *storedBand, *storedMode;
    } const cases[] = {
        {"144mhz", "ssb", "144MHz", "SSB"},
        {"432MHz", "cw", "432MHz", "cw"},   // no user entry, even where a default one exists
        {"", "", "", ""},
        {"144MHZ", "SsB", "144MHz", "SSB"},
    };
    for (const Case &c : cases) {
        FreeQsoList();
        QsoEntry *e = Add(1, "X", c.band, c.mode);
        ASSERT_NE(e, nullptr);
        EXPECT_STREQ(e->band, c.storedBand) << c.band;
        EXPECT_STREQ(e->mode, c.storedMode) << c.mode;
    }
    s.UserBandCount = 0;
    FreeQsoList();
    EXPECT_STREQ(Add(1, "X", "144mhz")->band, "144mhz");
}

TEST_F(QsoList, TextsAreCutToTheirLimits) {
    const std::string notes(200, 'n');
    QsoEntry *e = InsertQsoEntry(7, 9, "ABCDEFGHIJKLMNO", "1234567890123456", "MODEMODEMODE", "REF/REF-00123",
                                 notes.c_str(), "MYCALLMYCALL1", "MYREF/AB-0001", 1);
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->hisCall, "ABCDEFGHIJKL");
    EXPECT_STREQ(e->band, "123456789012");
    EXPECT_STREQ(e->mode, "MODEMODE");
    EXPECT_STREQ(e->hisSummit, "REF/REF-0012");
    EXPECT_EQ(std::string(e->notes), notes.substr(0, 128));
    EXPECT_STREQ(e->myCall, "MYCALLMYCALL");
    EXPECT_STREQ(e->mySummit, "MYREF/AB-000");
    EXPECT_EQ(e->id, 7);
    EXPECT_EQ(e->swl, 1);
    EXPECT_EQ(LogModified, 0);
}

TEST_F(QsoList, NewEntryOnlyOnAnEmptyList) {
    QsoEntry *first = NewQsoEntryIfEmpty(0, 5, "A", "", "", "", "", "", "", 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(QsoListHead, first);
    EXPECT_EQ(QsoListTail, first);
    EXPECT_EQ(NewQsoEntryIfEmpty(0, 1, "B", "", "", "", "", "", "", 0), nullptr);
    EXPECT_EQ(Calls(), std::vector<std::string>{"A"});
}

TEST_F(QsoList, FindGivesThePredecessor) {
    Add(10, "A", "", "", 1);
    Add(20, "B", "", "", 2);
    Add(30, "C", "", "", 2);   // a second entry with id 2
    QsoEntry *before = reinterpret_cast<QsoEntry *>(&before);
    EXPECT_EQ(FindQsoEntry(1, &before), QsoListHead);
    EXPECT_EQ(before, nullptr);
    EXPECT_STREQ(FindQsoEntry(2, &before)->hisCall, "B");
    EXPECT_STREQ(before->hisCall, "A");
    QsoEntry *untouched = QsoListHead;
    EXPECT_EQ(FindQsoEntry(9, &untouched), nullptr);
    EXPECT_EQ(untouched, QsoListHead);
    EXPECT_STREQ(FindQsoEntry(2, nullptr)->hisCall, "B");
}

TEST_F(QsoList, Delete) {
    EXPECT_EQ(DeleteQsoEntry(1), -1);
    EXPECT_EQ(LogModified, 0);
    Add(10, "A", "", "", 1);
    EXPECT_EQ(DeleteQsoEntry(1), 0);
    EXPECT_EQ(QsoListHead, nullptr);
    EXPECT_EQ(QsoListTail, nullptr);
    EXPECT_EQ(LogModified, 1);

    LogModified = 0;
    Add(10, "A", "", "", 1);
    Add(20, "B", "", "", 2);
    Add(30, "C", "", "", 3);
    EXPECT_EQ(DeleteQsoEntry(9), -1);
    EXPECT_EQ(LogModified, 0);
    EXPECT_EQ(DeleteQsoEntry(3), 0);
    EXPECT_STREQ(QsoListTail->hisCall, "B");
    ExpectEnds();
    EXPECT_EQ(DeleteQsoEntry(1), 0);
    EXPECT_STREQ(QsoListHead->hisCall, "B");
    ExpectEnds();
    // Equal to the new tail after deletes: still before it.
    Add(20, "B2");
    EXPECT_EQ(Calls(), (std::vector<std::string>{"B2", "B"}));
}

TEST_F(QsoList, FreeAndClearMarkTheLog) {
    FreeQsoList();
    EXPECT_EQ(LogModified, 1);
    LogModified = 0;
    ClearQsoList();
    EXPECT_EQ(LogModified, 0);
    Add(1, "A");
    ClearQsoList();
    EXPECT_EQ(QsoListHead, nullptr);
    EXPECT_EQ(QsoListTail, nullptr);
    EXPECT_EQ(LogModified, 1);
}

class CompareEntries : public QsoList {
protected:
    void SetUp() override {
        QsoList::SetUp();
        const char *const bands[] = {"1240MHz", "432MHz", "2.3GHz", "3.5MHz", "10MHz", "10GHz", "VLF"};
        UtcTime t = 100;
        for (const char *band : bands) InsertQsoEntry(0, t++, band, band, "", "", "", "", "", 0);
        NumberQsoEntries();
    }
    int32_t IdOf(const char *call) {
        int32_t n = 1;
        for (QsoEntry *e = QsoListHead; e; e = e->next, ++n)
            if (strcmp(e->hisCall, call) == 0) return n;
        return -1;
    }
    int Band(const char *a, const char *b) { return CompareLogEntries(IdOf(a), IdOf(b), 4); }
};

TEST_F(CompareEntries, BandsByTheirLeadingNumber) {
    EXPECT_GT(Band("1240MHz", "432MHz"), 0);
    EXPECT_LT(Band("2.3GHz", "3.5MHz"), 0);
    EXPECT_EQ(Band("10MHz", "10GHz"), 0);
    EXPECT_EQ(Band("2.3GHz", "VLF"), 2);   // the difference cut toward zero
    EXPECT_LT(Band("VLF", "3.5MHz"), 0);
    SortAscending = 0;
    EXPECT_LT(Band("1240MHz", "432MHz"), 0);
    SortAscending = 1;
    strcpy(FindQsoEntry(IdOf("VLF"), nullptr)->band, "1e39");   // beyond single precision
    strcpy(FindQsoEntry(IdOf("10GHz"), nullptr)->band, "-1e39");
    EXPECT_EQ(Band("VLF", "3.5MHz"), 2147483647);
    EXPECT_EQ(Band("VLF", "10GHz"), 2147483647);
    EXPECT_EQ(Band("10GHz", "3.5MHz"), -2147483647 - 1);
}

TEST_F(CompareEntries, ColumnsAndDirection) {
    QsoEntry *a = FindQsoEntry(1, nullptr);
    QsoEntry *b = FindQsoEntry(2, nullptr);
    strcpy(a->hisCall, "abc");
    strcpy(b->hisCall, "ABD");
    strcpy(a->hisSummit, "a");
    strcpy(b->hisSummit, "B");
    EXPECT_LT(CompareLogEntries(1, 2, 0), 0);
    EXPECT_LT(CompareLogEntries(1, 2, 1), 0);
    EXPECT_LT(CompareLogEntries(1, 2, 3), 0);   // ignoring case
    EXPECT_GT(CompareLogEntries(1, 2, 6), 0);   // with regard to case: 'a' > 'B'
    EXPECT_EQ(CompareLogEntries(1, 2, 10), 0);
    EXPECT_EQ(CompareLogEntries(1, 99, 0), 0);
    SortAscending = 0;
    EXPECT_GT(CompareLogEntries(1, 2, 0), 0);
    EXPECT_GT(CompareLogEntries(1, 2, 2), 0);
    EXPECT_GT(CompareLogEntries(1, 2, 3), 0);
    EXPECT_LT(CompareLogEntries(1, 2, 6), 0);
}

TEST_F(CompareEntries, TimesFarApartDoNotOverflow) {
    FindQsoEntry(1, nullptr)->qsoTime = -1;
    FindQsoEntry(2, nullptr)->qsoTime = 2147483647;
    EXPECT_LT(CompareLogEntries(1, 2, 1), 0);
    EXPECT_GT(CompareLogEntries(2, 1, 1), 0);
}

// The index follows numbering, inserts, deletes and ids written directly.
TEST_F(CompareEntries, FindFollowsTheIds) {
    EXPECT_STREQ(FindQsoEntry(3, nullptr)->hisCall, "2.3GHz");
    Add(50, "FIRST");   // id 0, now the head
    NumberQsoEntries();
    EXPECT_STREQ(FindQsoEntry(1, nullptr)->hisCall, "FIRST");
    EXPECT_STREQ(FindQsoEntry(4, nullptr)->hisCall, "2.3GHz");
    for (QsoEntry *e = QsoListHead; e; e = e->next) e->id += 100;
    QsoEntry *before = nullptr;
    EXPECT_STREQ(FindQsoEntry(104, &before)->hisCall, "2.3GHz");
    EXPECT_STREQ(before->hisCall, "432MHz");
    EXPECT_EQ(FindQsoEntry(4, nullptr), nullptr);
    EXPECT_EQ(DeleteQsoEntry(104), 0);
    EXPECT_EQ(FindQsoEntry(104, nullptr), nullptr);
    EXPECT_STREQ(FindQsoEntry(105, &before)->hisCall, "3.5MHz");
    EXPECT_STREQ(before->hisCall, "432MHz");
}

TEST(QsoTime, FormatsUtcFields) {
    struct Case {
        UtcTime t;
        const char *format, *text;
    } const cases[] = {
        {0, "%d/%m/%Y %H:%M", "01/01/1970 00:00"},
        {Day(2024, 3, 5) + 14 * 3600 + 7 * 60 + 59, "%d/%m/%Y %H:%M", "05/03/2024 14:07"},
        {Day(2024, 2, 29) + 86399, "%Y%m%d %H%M%S", "20240229 235959"},
        {Day(2000, 3, 1), "%Y%m%d", "20000301"},
        {2147483647, "%d/%m/%Y %H:%M:%S", "19/01/2038 03:14:07"},
        {-1, "%d/%m/%Y", ""},
        {-86400, "%H:%M", ""},
    };
    for (const Case &c : cases) {
        char out[32] = "junk";
        FormatQsoTime(c.t, c.format, out, sizeof out);
        EXPECT_STREQ(out, c.text) << c.t;
    }
    char small[4] = "abc";
    FormatQsoTime(0, "%Y%m%d", small, sizeof small);
    EXPECT_STREQ(small, "");
}

}  // namespace
