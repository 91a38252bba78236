#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include <QApplication>

#include "bin/bin_files.h"
#include "bin/schedule.h"
#include "bin/storage_bin_form.h"
#include "platform/regional_settings.h"
#include "bench_app.h"

namespace tolvenmark {
namespace {

// Alarms over 2003 and 2004 at random minutes, as a long-used bin holds them.
SavedAlarmList ManyAlarms(std::size_t n) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> month(1, 12), day(1, 28), hour(1, 12), minute(0, 59), year(2003, 2004);
    SavedAlarmList list;
    list.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        char time[32];
        std::snprintf(time, sizeof time, "%d:%02d:00 %s", hour(rng), minute(rng), rng() % 2 ? "AM" : "PM");
        list.push_back({"Alarm " + std::to_string(i),
                        std::to_string(month(rng)) + "/" + std::to_string(day(rng)) + "/" + std::to_string(year(rng)),
                        time});
    }
    return list;
}

// Both files read, dates and times rewritten, both tables filled.
void BM_OpenStorageBin(benchmark::State& state) {
    EnsureBenchApplication();
    RegionalSettings settings;
    settings.shortTimeFormat = "h:mm:ss AMPM";
    SetAppRegionalSettings(&settings);
    BenchFolder folder;
    RewriteSavedAlarms(AlarmsPath(folder.path()), ManyAlarms(static_cast<std::size_t>(state.range(0))));
    RewriteFileSettings(StorageBinPath(folder.path()), {{"/music/wake.mp3", "", "WMP"}});
    for (auto _ : state) {
        TForm7 form(nullptr, folder.path(), {});
        benchmark::DoNotOptimize(form.AlarmRows().size());
    }
    SetAppRegionalSettings(nullptr);
}
BENCHMARK(BM_OpenStorageBin)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// 52 weeks with every day ticked against a full bin; the file is put back
// before each run so every run appends its 364 lines.
void BM_WeeklySchedule(benchmark::State& state) {
    const RegionalSettings settings;
    BenchFolder folder;
    const std::string path = AlarmsPath(folder.path());
    const SavedAlarmList saved = ManyAlarms(static_cast<std::size_t>(state.range(0)));
    ScheduleRequest request;
    request.interval = ScheduleInterval::Weekly;
    request.header = "Work";
    request.startDate = "4/15/2003";
    request.time = "7:00:00 AM";
    request.weekdays.fill(true);
    request.weeks = 52;
    const DateTime today{2003, 4, 15, 6, 0, 0, 0};
    for (auto _ : state) {
        state.PauseTiming();
        RewriteSavedAlarms(path, saved);
        state.ResumeTiming();
        benchmark::DoNotOptimize(SetSchedule(request, path, today, settings));
    }
}
BENCHMARK(BM_WeeklySchedule)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolvenmark
