// What a summit lookup costs on a connection, against a summits table of the
// real size (180,000): single lookups, the one that reads the whole table, and
// those answered from it; and from these the number of lookups at which the
// read pays. Built natively (build/native/bench/lookup_bench) and for Windows
// (bash tools/bench-win.sh lookups). Figures, not pass/fail.
//
// lookup_bench [rounds] [database file]   (default 3 rounds, a file in the
// temporary folder, made first and removed after)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "summitsdb.h"

namespace {

constexpr int kSummits = 180000;
constexpr int kFromTable = 20000;

std::string Ref(int n) {
    char ref[16];
    snprintf(ref, sizeof ref, "V%d/%c%c-%03d", n % 9, 'A' + n / 1000 % 26, 'A' + n / 26000 % 26, n % 1000);
    return ref;
}

double Now() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool MakeDatabase(const std::string &path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    if (DbCreate(path.c_str(), 0) != 1) return false;
    char from[12], to[12];
    DbDateLiteral(0, from, sizeof from);
    DbDateLiteral(2000000000, to, sizeof to);
    bool made = DbBeginTransaction() == 1 && DbPrepareSummitInsert() == 1;
    for (int n = 0; made && n < kSummits; ++n) {
        char name[32];
        snprintf(name, sizeof name, "Hill %d", n);
        made = DbInsertSummit(Ref(n).c_str(), name, from, to, -10.0 + n % 200 * 0.1, 40.0 + n % 150 * 0.1) == 1;
    }
    DbFinishSummitInsert();
    made = DbEndTransaction(made) == 1 && made;
    DbClose();
    return made;
}

}  // namespace

int main(int argc, char **argv) {
    const int rounds = argc > 1 ? atoi(argv[1]) : 3;
    const std::string path =
        argc > 2 ? argv[2] : (std::filesystem::temp_directory_path() / "lookup_bench.mdb").string();
    if (!MakeDatabase(path)) {
        fprintf(stderr, "the summits database could not be made at %s\n", path.c_str());
        return 1;
    }
    printf("%d summits; the table is read at lookup %d on a connection\n", kSummits, kLookupsBeforeTable + 1);
    int status = 0;
    for (int round = 0; round < rounds && status == 0; ++round) {
        if (DbOpen(path.c_str(), 1) != 1) {
            fprintf(stderr, "the database could not be opened\n");
            status = 1;
            break;
        }
        SummitInfo info;
        int found = 0;
        const double start = Now();
        for (int i = 0; i < kLookupsBeforeTable; ++i) found += DbLookupSummit(Ref(i * 7919 % kSummits).c_str(), &info);
        const double singles = Now();
        found += DbLookupSummit(Ref(12345).c_str(), &info);
        const double read = Now();
        for (int i = 0; i < kFromTable; ++i) found += DbLookupSummit(Ref(i * 104729 % kSummits).c_str(), &info);
        const double end = Now();
        DbClose();
        if (found != kLookupsBeforeTable + 1 + kFromTable) {
            fprintf(stderr, "only %d of the summits were found\n", found);
            status = 1;
        }
        const double single = (singles - start) / kLookupsBeforeTable, fromTable = (end - read) / kFromTable;
        printf("  single %7.2f us   table read %7.1f ms   from the table %6.3f us   the read pays past %6.0f lookups\n",
               single * 1000, read - singles, fromTable * 1000, (read - singles) / (single - fromTable));
        fflush(stdout);
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return status;
}
