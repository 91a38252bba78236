#include <QApplication>
#include <benchmark/benchmark.h>

#include "clock/tick_texts.h"
#include "skin/skin_form.h"
#include "bench_app.h"

namespace {

using namespace tolvenmark;

// One tick as the clock runs it: the texts formatted, six display items
// set, the face composed once.
void BM_OneTickBuiltInSkin(benchmark::State& state) {
    EnsureBenchApplication();
    TSkinForm form;
    form.LoadDefaultSkin();
    RegionalSettings settings;
    DateTime now{2026, 12, 7, 9, 5, 7, 0};
    for (auto _ : state) {
        now.second = (now.second + 1) % 60;
        const TickTexts texts = ComputeTickTexts(now, settings);
        form.SetDisplayText("AM_PM", texts.amPm);
        form.SetDisplayText("TIME", texts.time);
        form.SetDisplayText("SECONDS", texts.seconds);
        form.SetDisplayText("DATE", texts.date);
        form.SetDisplayText("AL_HEADER", "Wake up");
        form.SetDisplayText("AL_DATE", "12/8/2026 at 7:00:00 AM");
        benchmark::DoNotOptimize(form.Face().constBits());
    }
}
BENCHMARK(BM_OneTickBuiltInSkin)->Unit(benchmark::kMillisecond);

void BM_TickTextsOnly(benchmark::State& state) {
    RegionalSettings settings;
    DateTime now{2026, 12, 7, 9, 5, 7, 0};
    for (auto _ : state) benchmark::DoNotOptimize(ComputeTickTexts(now, settings));
}
BENCHMARK(BM_TickTextsOnly);

}  // namespace
