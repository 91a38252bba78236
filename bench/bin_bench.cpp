#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "bin/bin_files.h"
#include "bin/sort_alarms.h"
#include "clock/config.h"
#include "clock/succession.h"
#include "bench_app.h"

namespace tolvenmark {
namespace {

// A year of alarms in random order, a few on the same second.
SavedAlarmList RandomAlarms(std::size_t n) {
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> month(1, 12), day(1, 28), hour(1, 12), minute(0, 59);
    SavedAlarmList list;
    list.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        char time[32];
        std::snprintf(time, sizeof time, "%d:%02d:00 %s", hour(rng), minute(rng), rng() % 2 ? "AM" : "PM");
        list.push_back({"Alarm " + std::to_string(i),
                        std::to_string(month(rng)) + "/" + std::to_string(day(rng)) + "/2003", time});
    }
    return list;
}

void BM_LoadAlarms(benchmark::State& state) {
    BenchFolder folder;
    const std::string path = AlarmsPath(folder.path());
    RewriteSavedAlarms(path, RandomAlarms(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(LoadSavedAlarms(path));
}
BENCHMARK(BM_LoadAlarms)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SortAlarms(benchmark::State& state) {
    const SavedAlarmList list = RandomAlarms(static_cast<std::size_t>(state.range(0)));
    const RegionalSettings settings;
    for (auto _ : state) benchmark::DoNotOptimize(SortAlarms(list, settings, 2003));
}
BENCHMARK(BM_SortAlarms)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One alarm in twenty without a time: the selection's general case.
void BM_SortAlarmsSomeUntimed(benchmark::State& state) {
    SavedAlarmList list = RandomAlarms(static_cast<std::size_t>(state.range(0)));
    for (std::size_t i = 0; i < list.size(); i += 20) list[i].time.clear();
    const RegionalSettings settings;
    for (auto _ : state) benchmark::DoNotOptimize(SortAlarms(list, settings, 2003));
}
BENCHMARK(BM_SortAlarmsSomeUntimed)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_RewriteAlarms(benchmark::State& state) {
    BenchFolder folder;
    const std::string path = AlarmsPath(folder.path());
    const SavedAlarmList list = RandomAlarms(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) RewriteSavedAlarms(path, list);
}
BENCHMARK(BM_RewriteAlarms)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

class NoView final : public AlarmView {
public:
    void SetDisplayText(const std::string&, const std::string&) override {}
    bool AlarmMenuChecked() const override { return true; }
    void SetAlarmMenuCaption(const std::string&) override {}
};

// The launched alarm halfway down a 10,000-line file: read it, find the
// alarm, rewrite the file, take the next one.
void BM_UpdateAlarm(benchmark::State& state) {
    BenchFolder folder;
    const std::string previousConfig = ConfigPath();
    SetConfigPath(folder.path() + "/TOLVENMARKCLOCK.INI");
    WriteConfigKey("CHANGEALARM", "Yes");
    WriteConfigKey("DELETEALARM", "No");
    SavedAlarmList list;
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    for (std::size_t i = 0; i < n; ++i)
        list.push_back({"Alarm " + std::to_string(i), i < n / 2 ? "4/19/2003" : "4/21/2003", "7:00:00 AM"});
    list[n / 2] = {"Launched", "4/20/2003", "7:00:00 AM"};
    RewriteSavedAlarms(AlarmsPath(folder.path()), list);
    FixedClock clock({2003, 4, 20, 7, 0, 1});
    const RegionalSettings settings;
    NoView view;
    for (auto _ : state) {
        PendingAlarm pending{"Launched", "4/20/2003", "7:00:00 AM"};
        UpdateAlarm(pending, folder.path(), clock, settings, view);
        benchmark::DoNotOptimize(pending);
    }
    SetConfigPath(previousConfig);
}
BENCHMARK(BM_UpdateAlarm)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolvenmark
