#include <benchmark/benchmark.h>

#include <string>

#include "platform/prompts.h"
#include "skin/skin_painter.h"
#include "skin/skin_reader.h"
#include "skin/skin_line.h"

namespace tolvenmark {
namespace {

// The start-up load of the built-in skin: INI to a temporary file, 25 values,
// a bitmap mask and two JPEG faces. Goal: well under 15 ms.
void BM_BuildDefaultSkin(benchmark::State& state) {
    SilentPrompts prompts;
    Skin previous;
    for (auto _ : state) {
        Skin skin = BuildDefaultSkin(previous, prompts);
        benchmark::DoNotOptimize(skin.HotAreas.data());
    }
}
BENCHMARK(BM_BuildDefaultSkin)->Unit(benchmark::kMillisecond);

// What the window does to the loaded skin before its first paint.
void BM_PrepareDefaultSkin(benchmark::State& state) {
    SilentPrompts prompts;
    const Skin built = BuildDefaultSkin(Skin{}, prompts);
    for (auto _ : state) {
        Skin skin = built;
        PrepareForPainting(skin);
        benchmark::DoNotOptimize(skin.MaskImage.constBits());
    }
}
BENCHMARK(BM_PrepareDefaultSkin)->Unit(benchmark::kMillisecond);

void BM_SplitSkinLine(benchmark::State& state) {
    const std::string line =
        "DATE, Lucida Fax, FALSE, FALSE, 12, $000000FF, 320, 150, Normal, \"September 30, 2003\", , 120, 25";
    for (auto _ : state) benchmark::DoNotOptimize(SplitSkinLine(line, ','));
}
BENCHMARK(BM_SplitSkinLine);

}  // namespace
}  // namespace tolvenmark
