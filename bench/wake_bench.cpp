#include <QTimer>
#include <benchmark/benchmark.h>

#include "bench_app.h"
#include "clock/main_window.h"
#include "clock/wake_keeper.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"

namespace {

using namespace tolvenmark;

// What waking from sleep adds to every tick: the pending alarm's instant (its
// conversion kept), the snooze timer looked at, nothing sent when unchanged.
void BM_WakeSyncPerTick(benchmark::State& state) {
    EnsureBenchApplication();
    SystemClock clock;
    RegionalSettings settings;
    SetAppClock(&clock);
    SetAppRegionalSettings(&settings);
    TForm1 form;
    form.AlarmOnFlag = true;
    form.pendingAlarm = {"Wake up", "12/8/2099", "7:00:00 AM"};
    if (state.range(0)) form.Timer2->start(300000);  // a snooze waiting
    WakeKeeper keeper(form, "", QDBusConnection(QStringLiteral("no bus")));
    for (auto _ : state) keeper.Sync();
    SetAppClock(nullptr);
    SetAppRegionalSettings(nullptr);
}
BENCHMARK(BM_WakeSyncPerTick)->Arg(0)->Arg(1);

}  // namespace
