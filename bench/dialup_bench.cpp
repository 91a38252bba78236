#include <benchmark/benchmark.h>

#include <ctime>
#include <map>

#include <QTest>

#include "bench_app.h"
#include "platform/prompts.h"
#include "setup/internet_setup.h"
#include "setup/ras_nm_backend.h"
#include "support/mock_network_manager.h"

namespace {

using namespace tolvenmark;

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// The user-interface thread's time in one second of the program's life
// while the connection watch tracks a mobile connection made outside the
// program, against the mock NetworkManager. watch 0: the same second with
// the watch switched off, the event loop's floor.
void BM_ConnectionWatchSecond(benchmark::State& state) {
    EnsureBenchApplication();
    if (!testing::MockNetworkManager::Installed()) {
        state.SkipWithError("python3-dbusmock is not installed");
        return;
    }
    testing::MockNetworkManager nm;
    nm.Python("manager.ActivateConnection(path_of('Mobile'), '/', '/')");
    std::map<std::string, std::string> keys;
    SilentPrompts prompts;
    TForm8 form(MakeNetworkManagerBackend(nm.Address()),
                {[&](const std::string& k) { return keys[k]; },
                 [&](const std::string& k, const std::string& v) { keys[k] = v; }},
                prompts, nullptr, true);
    if (!QTest::qWaitFor([&] { return form.ConnectState() == 8192; }, 10000)) {
        state.SkipWithError("the watch did not find the connection");
        return;
    }
    if (state.range(0) == 0) form.Timer1->stop();
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        QTest::qWait(1000);
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_ConnectionWatchSecond)->Arg(1)->Arg(0)->UseManualTime()->Iterations(10)->Unit(benchmark::kMicrosecond);

}  // namespace
