#include <benchmark/benchmark.h>

#include <ctime>
#include <map>
#include <memory>

#include <QEventLoop>
#include <QTest>
#include <QTimer>

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

constexpr const char* kNoWatch = "no mock NetworkManager, or the watch did not find its connection";

// The internet dialog as the program makes it, its watch tracking a mobile
// connection made outside the program, against the mock NetworkManager.
struct WatchedConnection {
    bool app = EnsureBenchApplication();  // before the mock's processes
    testing::MockNetworkManager nm;
    std::map<std::string, std::string> keys;
    SilentPrompts prompts;
    std::unique_ptr<TForm8> form;

    bool Ready() {
        if (!testing::MockNetworkManager::Installed() || !nm.Ready() || !nm.Python("manager.ActivateConnection(path_of('Mobile'), '/', '/')")) return false;
        form = std::make_unique<TForm8>(MakeNetworkManagerBackend(nm.Address()),
                                        ConfigKeys{[this](const std::string& k) { return keys[k]; },
                                                   [this](const std::string& k, const std::string& v) { keys[k] = v; }},
                                        prompts, nullptr, true);
        return QTest::qWaitFor([&] { return form->ConnectState() == 8192; }, 10000);
    }
};

// The user-interface thread's time in one second of the program's life with
// the watch running (1) and with it switched off, the event loop's floor (0).
void BM_ConnectionWatchSecond(benchmark::State& state) {
    WatchedConnection watched;
    if (!watched.Ready()) return state.SkipWithError(kNoWatch);
    if (state.range(0) == 0) watched.form->Timer1->stop();
    for (auto _ : state) {
        QEventLoop second;
        QTimer::singleShot(1000, &second, &QEventLoop::quit);
        const double start = ThreadCpuSeconds();
        second.exec();
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
}
BENCHMARK(BM_ConnectionWatchSecond)->Arg(1)->Arg(0)->UseManualTime()->Iterations(10)->Unit(benchmark::kMicrosecond);

// One round of the watch alone: it reads the model and asks nobody.
void BM_ConnectionWatchRound(benchmark::State& state) {
    WatchedConnection watched;
    if (!watched.Ready()) return state.SkipWithError(kNoWatch);
    watched.form->Timer1->stop();
    for (auto _ : state) watched.form->Timer1Timer();
}
BENCHMARK(BM_ConnectionWatchRound)->Unit(benchmark::kMicrosecond);

}  // namespace
