#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_app.h"
#include "platform/date_time_text.h"
#include "platform/profile_file.h"

namespace {

using namespace tolvenmark;

// A profile file of the clock's size: one section, 40 keys.
std::string ConfigText() {
    std::string text = "[ALARM]\n";
    for (int i = 0; i < 40; ++i) text += "KEY" + std::to_string(i) + "=value number " + std::to_string(i) + "\n";
    return text;
}

// A folder of our own, removed with its files when the program ends.
const std::string& Folder() {
    static const BenchFolder folder;
    return folder.path();
}

std::string MakeFile(const std::string& name, const std::string& content) {
    const std::string path = Folder() + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

void BM_ProfileReadKey(benchmark::State& state) {
    const std::string path = MakeFile("read.ini", ConfigText());
    for (auto _ : state) benchmark::DoNotOptimize(GetPrivateProfileString("ALARM", "key39", "", 255, path));
}
BENCHMARK(BM_ProfileReadKey);

void BM_ProfileWriteKey(benchmark::State& state) {
    const std::string path = MakeFile("write.ini", ConfigText());
    int n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(WritePrivateProfileString("ALARM", "KEY20", std::to_string(++n), path));
}
BENCHMARK(BM_ProfileWriteKey)->Unit(benchmark::kMicrosecond);

// A 50 MB file with the key at its end: time must grow with the size only.
void BM_ProfileReadHugeFile(benchmark::State& state) {
    std::string content = "[OTHER]\n";
    const std::string line = "SOMEKEY=" + std::string(90, 'x') + "\n";
    while (content.size() < 50u * 1024 * 1024) content += line;
    content += "[ALARM]\nSKIN=Default\n";
    const std::string path = MakeFile("huge.ini", content);
    for (auto _ : state) benchmark::DoNotOptimize(GetPrivateProfileString("ALARM", "SKIN", "", 255, path));
    std::filesystem::remove(path);
}
BENCHMARK(BM_ProfileReadHugeFile)->Unit(benchmark::kMillisecond)->Iterations(5);

const RegionalSettings kSettings;
const DateTime kValue{2024, 3, 5, 13, 5, 9, 0};

void BM_StrToDate(benchmark::State& state) {
    const std::string text = "3/5/2024";
    for (auto _ : state) benchmark::DoNotOptimize(StrToDate(text, kSettings, 2024));
}
BENCHMARK(BM_StrToDate);

void BM_StrToTime(benchmark::State& state) {
    const std::string text = "1:05:09 PM";
    for (auto _ : state) benchmark::DoNotOptimize(StrToTime(text, kSettings));
}
BENCHMARK(BM_StrToTime);

void BM_DateToStr(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(DateToStr(kValue, kSettings));
}
BENCHMARK(BM_DateToStr);

void BM_TimeToStr(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(TimeToStr(kValue, kSettings));
}
BENCHMARK(BM_TimeToStr);

void BM_StrToInt(benchmark::State& state) {
    const std::string text = "1234567";
    for (auto _ : state) benchmark::DoNotOptimize(StrToInt(text));
}
BENCHMARK(BM_StrToInt);

}  // namespace
