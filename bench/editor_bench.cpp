// The log modules at the size of a long log: 100,000 contacts (the load and the
// export also at 10,000, a chaser's log), reference checking on against
// 180,000 summits. Figures, not pass/fail.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "adifexport.h"
#include "logloader.h"
#include "logwriter.h"
#include "qsolist.h"
#include "settings.h"
#include "summitsdb.h"
#include "uihooks.h"

// The window edges, silent.
int DbAvailable = 0;
int SortColumn = 0;
int SortAscending = 1;
void ShowStatusMessage(const char *, unsigned) {}
void ErrorBeep(void) {}
void SetLogFileName(const char *) {}
int ShowMessageBox(const char *, const char *, unsigned) { return 1; }
int ShowEditorMessage(const char *, unsigned) { return 7; }
void OpenWithProgram(const char *, const char *) {}
void RefillMyCallCombo(void) {}
void RefillBandCombo(void) {}
void RefillModeCombo(void) {}
int ProgramFileVersion(char *, size_t) { return 0; }
void BuildRecentLogMenu(void) {}

namespace {

constexpr int kSummits = 180000;
constexpr int kContacts = 100000;

std::filesystem::path Dir() {
    static std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("tarn_bench_" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

std::string SummitRef(int n) {
    char ref[16];
    snprintf(ref, sizeof ref, "V%d/%c%c-%03d", n % 9, 'A' + n / 1000 % 26, 'A' + n / 26000 % 26, n % 1000);
    return ref;
}

// The summits in many-row statements, so that setting up takes seconds.
void BuildDatabase() {
    static bool built = false;
    if (built) return;
    built = true;
    auto path = Dir() / "VORN_REFS.MDB";
    std::filesystem::remove(path);
    if (DbCreate(path.string().c_str(), 0) != 1) {
        fprintf(stderr, "no database\n");
        return;
    }
    char from[12], to[12];
    DbDateLiteral(0, from, sizeof from);
    DbDateLiteral(2000000000, to, sizeof to);
    std::string values;
    for (int n = 0; n < kSummits; ++n) {
        char row[160];
        snprintf(row, sizeof row, "'%s', 'Hill %d', '%s', '%s', %.4f, %.4f", SummitRef(n).c_str(), n, from, to,
                 -10.0 + n % 200 * 0.1, 40.0 + n % 150 * 0.1);
        if (!values.empty() && values.size() + strlen(row) + 200 > 4000) {
            DbInsert("\"References\"", "SummitRef, SummitName, ValidFrom, ValidTo, Longitude, Latitude",
                     values.c_str());
            values.clear();
        }
        values += values.empty() ? row : std::string("), (") + row;
    }
    DbInsert("\"References\"", "SummitRef, SummitName, ValidFrom, ValidTo, Longitude, Latitude", values.c_str());
    DbAvailable = DbCount("\"References\"", nullptr) == kSummits;
}

// The connection as the editor has it when a log is first loaded or exported:
// just opened, nothing of the summits read yet (a connection keeps what it has
// read until a write or its close).
void Reconnect(benchmark::State &state) {
    state.PauseTiming();
    DbClose();
    DbOpen((Dir() / "VORN_REFS.MDB").string().c_str(), 1);
    state.ResumeTiming();
}

// Sorted input as a saved log gives it, three contacts to a minute; the
// summits drawn from the first pool of the database's references.
void FillLog(int pool, int contacts = kContacts) {
    FreeQsoList();
    std::mt19937 random(7);
    for (int i = 0; i < contacts; ++i) {
        std::string his = SummitRef(static_cast<int>(random() % static_cast<unsigned>(pool)));
        std::string mine = i % 4 ? "" : SummitRef(static_cast<int>(random() % static_cast<unsigned>(pool)));
        InsertQsoEntry(0, 1700000000 + i / 3 * 60, "M0XYZ", "14MHz", "CW", his.c_str(), "R57 S55 QRG:14.062 tnx",
                       "G4ABC/P", mine.c_str(), 0);
    }
}

void BM_InsertSorted(benchmark::State &state) {
    for (auto _ : state) FillLog(kSummits);
}
BENCHMARK(BM_InsertSorted)->Unit(benchmark::kMillisecond);

void BM_SortBySummit(benchmark::State &state) {
    FillLog(kSummits);
    NumberQsoEntries();
    std::vector<int32_t> ids(kContacts);
    for (auto _ : state) {
        std::iota(ids.begin(), ids.end(), 1);
        std::sort(ids.begin(), ids.end(), [](int32_t a, int32_t b) { return CompareLogEntries(a, b, 6) < 0; });
    }
}
BENCHMARK(BM_SortBySummit)->Unit(benchmark::kMillisecond);

void BM_WriteCsvLog(benchmark::State &state) {
    FillLog(kSummits);
    EditorSettings.NoBackup = 0;
    std::string path = (Dir() / "bench.csv").string();
    for (auto _ : state) WriteCsvLog(nullptr, path.c_str());
}
BENCHMARK(BM_WriteCsvLog)->Unit(benchmark::kMillisecond);

// Arguments: how many different summits the log draws from (each looked up
// once), and its contacts.
void BM_ExportAdif(benchmark::State &state) {
    BuildDatabase();
    FillLog(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::string path = (Dir() / "bench.adi").string();
    for (auto _ : state) {
        Reconnect(state);
        ExportAdif(path.c_str());
    }
    state.counters["db"] = DbAvailable;
}
// The log sizes and summit pools of the export and the load.
void LogShapes(benchmark::internal::Benchmark *b) {
    b->ArgNames({"summits", "contacts"});
    for (int contacts : {10000, kContacts})
        for (int pool : {5000, kSummits}) b->Args({pool, contacts});
}
BENCHMARK(BM_ExportAdif)->Apply(LogShapes)->Unit(benchmark::kMillisecond);

// Arguments as for the export: the summits the log draws from, each checked,
// and its contacts. Saves such a log as name, for loading with reference
// checking on.
std::string SaveLogToLoad(int pool, const char *name, int contacts = kContacts) {
    BuildDatabase();
    FillLog(pool, contacts);
    EditorSettings.NoBackup = 1;
    EditorSettings.RefChecking = 1;
    snprintf(EditorSettings.DataDirectory, sizeof EditorSettings.DataDirectory, "%s", Dir().string().c_str());
    std::string path = (Dir() / name).string();
    WriteCsvLog(nullptr, path.c_str());
    return path;
}

void LoadRepeatedly(benchmark::State &state, const std::string &path) {
    int loaded = 0;
    for (auto _ : state) {
        Reconnect(state);
        FreeQsoList();
        loaded = LoadCsvLog(nullptr, path.c_str());
    }
    state.counters["loaded"] = loaded;
    state.counters["db"] = DbAvailable;
}

void BM_LoadCsvLog(benchmark::State &state) {
    LoadRepeatedly(state, SaveLogToLoad(static_cast<int>(state.range(0)), "load.csv", static_cast<int>(state.range(1))));
}
BENCHMARK(BM_LoadCsvLog)->Apply(LogShapes)->Unit(benchmark::kMillisecond);

// The same log in time order (argument 0) and with its lines shuffled (1): any
// order must cost n log n, so the shuffled load stays within twice the other.
void BM_LoadCsvLogOrder(benchmark::State &state) {
    std::string path = SaveLogToLoad(5000, "order.csv");
    if (state.range(0)) {
        std::vector<std::string> lines;
        {
            std::ifstream in(path, std::ios::binary);
            for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
        }
        std::mt19937 random(11);
        std::shuffle(lines.begin() + 1, lines.end(), random);   // the header stays first
        path = (Dir() / "shuffled.csv").string();
        std::ofstream out(path, std::ios::binary);
        for (const std::string &line : lines) out << line;
    }
    LoadRepeatedly(state, path);
}
BENCHMARK(BM_LoadCsvLogOrder)->ArgName("shuffled")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    FreeQsoList();
    DbClose();
    std::error_code ignored;
    std::filesystem::remove_all(Dir(), ignored);
    return 0;
}
