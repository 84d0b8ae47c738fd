// The summits table rebuild through the SQLite stand-in: the updater's way (one
// transaction) against one INSERT per row under auto-commit, in rows per second.
// The row-by-row way is timed on the first rows of the list only (it costs about
// two minutes for the whole list) and its rate holds for the whole.
//
//   rebuild_bench [--list FILE] [google benchmark options]
// Without --list the project's generator writes a 180,000-row list first.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "csvreader.h"
#include "rebuild.h"
#include "summitsdb.h"
#include "summitslist.h"

namespace {

std::string listPath;
std::string dbPath;
constexpr int RowByRowSample = 5000;

// The rebuild's messages (progress, warnings) would drown the figures.
struct QuietOutput {
    int out, err;
    QuietOutput() {
        fflush(stdout);
        fflush(stderr);
        out = dup(1);
        err = dup(2);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        close(null);
    }
    ~QuietOutput() {
        fflush(stdout);
        fflush(stderr);
        dup2(out, 1);
        dup2(err, 2);
        close(out);
        close(err);
    }
};

// A new, empty database and the list opened after its header line.
FILE *Prepare(ListHeader *header) {
    DbClose();
    std::remove(dbPath.c_str());
    if (!DbCreate(dbPath.c_str(), 0)) return nullptr;
    FILE *list = fopen(listPath.c_str(), "rb");
    if (!list) return nullptr;
    CsvReaderReset();
    QuietOutput quiet;
    if (CheckSummitsListHeader(list, -1, 1, 0, header) != 1) {
        fclose(list);
        return nullptr;
    }
    return list;
}

void BM_RebuildOneTransaction(benchmark::State &state) {
    int64_t rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ListHeader header;
        FILE *list = Prepare(&header);
        if (!list) {
            state.SkipWithError("cannot prepare the database or the list");
            return;
        }
        state.ResumeTiming();
        int result;
        {
            QuietOutput quiet;
            result = RebuildReferences(list, &header, std::chrono::steady_clock::now());
        }
        state.PauseTiming();
        fclose(list);
        if (result != 1) {
            state.SkipWithError("rebuild failed");
            return;
        }
        rows += DbCount("\"References\"", nullptr);
        state.ResumeTiming();
    }
    state.counters["rows_per_second"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
    state.counters["rows"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

// One INSERT per row, each committed on its own, on the list's first rows.
void BM_RebuildRowByRowAutocommit(benchmark::State &state) {
    int64_t rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ListHeader header;
        FILE *list = Prepare(&header);
        if (!list) {
            state.SkipWithError("cannot prepare the database or the list");
            return;
        }
        state.ResumeTiming();
        {
            QuietOutput quiet;
            int line = header.HeaderLineCount;
            for (int n = 0; n < RowByRowSample && CsvReadLine(list); ++n) {
                SummitRow row;
                if (ConvertListRow(&header, ++line, &row) != 1) continue;
                char from[12], to[12], values[512];
                DbDateLiteral(row.ValidFrom, from, sizeof from);
                DbDateLiteral(row.ValidTo, to, sizeof to);
                snprintf(values, sizeof values, "'%s', '%s', '%s', '%s', %f, %f", row.Ref, row.Name, from, to,
                         static_cast<double>(row.Latitude), static_cast<double>(row.Longitude));
                if (DbInsert("\"References\"", "SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude",
                             values))
                    ++rows;
            }
        }
        state.PauseTiming();
        fclose(list);
        state.ResumeTiming();
    }
    state.counters["rows_per_second"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
    state.counters["rows"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

BENCHMARK(BM_RebuildOneTransaction)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RebuildRowByRowAutocommit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char **argv) {
    std::string dir = "/tmp/tarn_rebuild_bench_" + std::to_string(getpid());
    std::string command = "mkdir -p " + dir;
    if (system(command.c_str()) != 0) return 1;
    dbPath = dir + "/VORN_REFS.MDB";
    for (int i = 1; i + 1 < argc; ++i)
        if (strcmp(argv[i], "--list") == 0) {
            listPath = argv[i + 1];
            for (int j = i; j + 2 <= argc; ++j) argv[j] = argv[j + 2];
            argc -= 2;
            break;
        }
    if (listPath.empty()) {
        listPath = dir + "/summitslist.csv";
        command = "python3 " TARN_SOURCE_DIR "/tools/gen_summits_list.py --rows 180000 --out " + listPath;
        if (system(command.c_str()) != 0) return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DbClose();
    command = "rm -rf " + dir;
    return system(command.c_str()) == 0 ? 0 : 1;
}
