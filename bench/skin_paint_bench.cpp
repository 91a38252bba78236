#include <random>
#include <string>

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <benchmark/benchmark.h>

#include "skin/mask_region.h"
#include "skin/skin_form.h"
#include "bench_app.h"

namespace {

using namespace tolvenmark;

void BM_MaskToRegionBuiltInMask(benchmark::State& state) {
    const QImage mask(QStringLiteral(":/BMP/ACMASK"), "BMP");
    if (mask.isNull()) {
        state.SkipWithError("built-in mask not found");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(MaskToRegion(mask, 0xFFFFFF, 0));
}
BENCHMARK(BM_MaskToRegionBuiltInMask)->Unit(benchmark::kMillisecond);

// The worst case for run building: every other pixel or so changes.
void BM_MaskToRegionNoise1000(benchmark::State& state) {
    QImage mask(1000, 1000, QImage::Format_RGB32);
    std::mt19937 random(217);
    for (int y = 0; y < mask.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < mask.width(); ++x) row[x] = (random() & 1) ? 0xFFFFFFFF : 0xFF000000;
    }
    std::size_t rects = 0;
    for (auto _ : state) {
        const QRegion region = MaskToRegion(mask, 0xFFFFFF, 0);
        rects = static_cast<std::size_t>(region.rectCount());
        benchmark::DoNotOptimize(rects);
    }
    state.counters["rects"] = static_cast<double>(rects);
}
BENCHMARK(BM_MaskToRegionNoise1000)->Unit(benchmark::kMillisecond);

// One tick's repaint: the six clock texts set, then the face composed once.
void BM_RedrawBuiltInSkinSixTexts(benchmark::State& state) {
    if (!EnsureBenchApplication()) {
        state.SkipWithError("needs a widget application");
        return;
    }
    TSkinForm form;
    form.LoadDefaultSkin();
    int second = 0;
    for (auto _ : state) {
        second = (second + 1) % 60;
        const std::string seconds = (second < 10 ? "0" : "") + std::to_string(second);
        form.SetDisplayText("AM_PM", "PM");
        form.SetDisplayText("TIME", "12:45");
        form.SetDisplayText("SECONDS", seconds);
        form.SetDisplayText("DATE", "September 30, 2026");
        form.SetDisplayText("AL_HEADER", "Alarm Set For:");
        form.SetDisplayText("AL_DATE", "12/31/2026 at 12:32:00 PM");
        benchmark::DoNotOptimize(form.Face().constBits());
    }
}
BENCHMARK(BM_RedrawBuiltInSkinSixTexts)->Unit(benchmark::kMicrosecond);

// The whole face of the Round skin shown in a translucent window's buffer, the
// pixels outside its outline made transparent: the worst a paint does.
void BM_PaintRoundFaceTranslucent(benchmark::State& state) {
    if (!EnsureBenchApplication()) {
        state.SkipWithError("needs a widget application");
        return;
    }
    QWidget window;
    auto* form = new TSkinForm(&window);
    form->LoadSkin(TOLVENMARK_SOURCE_DIR "/resources/skins/round/skin.ini");
    QImage buffer(form->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        buffer.fill(Qt::transparent);
        form->render(&buffer, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(buffer.constBits());
    }
}
BENCHMARK(BM_PaintRoundFaceTranslucent)->Unit(benchmark::kMicrosecond);

}  // namespace
