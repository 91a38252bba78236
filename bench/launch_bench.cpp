#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "clock/alarm_launch.h"
#include "clock/config.h"
#include "clock/launch_timer_qt.h"
#include "bench_app.h"

namespace {

using namespace tolvenmark;

// A warning ends the run: the launch could not start its player.
class WarningPrompts final : public SilentPrompts {
public:
    void Warning(const std::string& t) override { last = t; }
    std::string last;
};

struct NoInternet final : InternetSetupActions {
    std::uint16_t ConnectState() const override { return 0; }
    void ShowSetup() override {}
    void TestConnection() override {}
    void HideSetup() override {}
    void Disconnect() override {}
};

// The main window's timers and nothing else: Timer3 is a real QTimer.
struct BenchHost final : LaunchHost {
    BenchHost() : t2(timer2), t3(timer3) {}
    LaunchTimer& Timer2() override { return t2; }
    LaunchTimer& Timer3() override { return t3; }
    InternetSetupActions& InternetSetup() override { return internet; }
    void Beep() override {}
    void BringToFront() override {}
    void UpdateAlarm() override { ++launches; }
    QTimer timer2, timer3;
    QtLaunchTimer t2, t3;
    NoInternet internet;
    int launches = 0;
};

double NowSeconds() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// From the tick that finds the alarm due (taken as the alarm's second) to the
// player process running, as the player itself records it.
void BM_AlarmLaunchLatency(benchmark::State& state) {
    EnsureBenchApplication();
    const std::string dir = (std::filesystem::temp_directory_path() / "tolvenmark-launch-bench").string();
    std::filesystem::create_directories(dir);
    const std::string stamp = dir + "/started";
    const std::string player = dir + "/player";
    std::ofstream(player) << "#!/bin/sh\ndate +%s.%N > '" << stamp << ".tmp'; mv '" << stamp << ".tmp' '" << stamp
                          << "'\nexec sleep 60\n";
    chmod(player.c_str(), 0755);
    std::ofstream(dir + "/song.mp3") << "ID3";
    SetConfigPath(dir + "/TOLVENMARKCLOCK.INI");
    WriteConfigKey("PLAYER", "CUSTOM");
    WriteConfigKey("CUSTOM", player);
    WriteConfigKey("MTYPE", "MP3");
    WriteConfigKey("ALFILE", dir + "/song.mp3");

    BenchHost host;
    Launcher launcher;
    WarningPrompts prompts;
    AlarmLaunch launch(host, launcher, prompts, SystemLookups({ReadConfigKey, WriteConfigKey}));
    QObject::connect(&host.timer3, &QTimer::timeout, [&] { launch.Timer3Timer(); });

    std::vector<double> latencies;
    for (auto _ : state) {
        std::filesystem::remove(stamp);
        const double due = NowSeconds();
        launch.SetupAlarm();
        QElapsedTimer waited;
        waited.start();
        while (!std::filesystem::exists(stamp) && waited.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        double started = 0;
        std::ifstream(stamp) >> started;
        const double latency = started > 0 ? started - due : 5.0;
        latencies.push_back(latency);
        state.SetIterationTime(latency);
        // Let the launch finish, then stop the player.
        while (host.timer3.isActive() || !launch.PlayerStarted()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (!prompts.last.empty()) break;
        }
        launcher.Stop(launch.Player());
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_s"] = latencies[latencies.size() / 2];
    state.counters["worst_s"] = latencies.back();
    state.counters["launches"] = host.launches;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_AlarmLaunchLatency)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
