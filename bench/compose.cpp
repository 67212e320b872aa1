// One full window composition (800 x 500 background, 790 x 330 page, 40 small controls with alpha),
// ours beside the same composition done by pixman; prints both times and their ratio.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/image.h"

using namespace mivo::gfx;

namespace {

constexpr int kW = 800, kH = 500;

// Deterministic content: an opaque window with transparent rounded corners and a soft shadow
// band, an opaque page, and controls whose alpha varies across them (opaque middle, soft edges).
Image MakeBackground() {
    Image img(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            uint32_t a = 255;
            int dx = std::min(x, kW - 1 - x), dy = std::min(y, kH - 1 - y);
            if (dx < 8 && dy < 8 && (8 - dx) * (8 - dx) + (8 - dy) * (8 - dy) > 64) a = 0;
            else if (dx < 3 || dy < 3) a = 96 + 40 * std::min(dx, dy);
            img.Set(x, y, Premultiply(a << 24 | ((x * 7) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | 0x40));
        }
    return img;
}

Image MakePage() {
    Image img(790, 330);
    for (int y = 0; y < 330; ++y)
        for (int x = 0; x < 790; ++x) img.Set(x, y, 0xFF000000u | ((x ^ y) & 0xFF) << 8 | 0x20);
    return img;
}

Image MakeControl(int seed) {
    Image img(60, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            int edge = std::min({x, 59 - x, y, 19 - y});
            uint32_t a = edge >= 4 ? 255 : edge == 0 ? 0 : 60 * edge;
            img.Set(x, y, Premultiply(a << 24 | ((seed * 37 + x) & 0xFF) << 16 | ((y * 11) & 0xFF) << 8 | 0x90));
        }
    return img;
}

struct Scene {
    Image background = MakeBackground();
    Image page = MakePage();
    std::vector<Image> controls;
    std::vector<Point> positions;
    Scene() {
        for (int i = 0; i < 40; ++i) {
            controls.push_back(MakeControl(i));
            positions.push_back({20 + (i % 8) * 95, 130 + (i / 8) * 60});
        }
    }
};

const Scene& GetScene() {
    static Scene scene;
    return scene;
}

void ComposeOurs(Image& target, const Scene& s) {
    std::fill(target.Pixels().begin(), target.Pixels().end(), 0u);
    Canvas dc(target);
    dc.DrawImage(&s.background, 0, 0);
    dc.DrawImage(&s.page, 4, 115);
    for (size_t i = 0; i < s.controls.size(); ++i) dc.DrawImage(&s.controls[i], s.positions[i].x, s.positions[i].y);
}

pixman_image_t* Wrap(const Image& img) {
    // pixman reads the pixels in place; the composition never writes through a source.
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, img.Width(), img.Height(),
                                    const_cast<uint32_t*>(img.Pixels().data()), img.Width() * 4);
}

struct PixmanScene {
    pixman_image_t* background;
    pixman_image_t* page;
    std::vector<pixman_image_t*> controls;
    explicit PixmanScene(const Scene& s) : background(Wrap(s.background)), page(Wrap(s.page)) {
        for (const Image& c : s.controls) controls.push_back(Wrap(c));
    }
    ~PixmanScene() {
        pixman_image_unref(background);
        pixman_image_unref(page);
        for (auto* c : controls) pixman_image_unref(c);
    }
};

void ComposePixman(pixman_image_t* target, uint32_t* bits, const Scene& s, const PixmanScene& p) {
    std::memset(bits, 0, sizeof(uint32_t) * kW * kH);
    pixman_image_composite32(PIXMAN_OP_OVER, p.background, nullptr, target, 0, 0, 0, 0, 0, 0, kW, kH);
    pixman_image_composite32(PIXMAN_OP_OVER, p.page, nullptr, target, 0, 0, 0, 0, 4, 115, 790, 330);
    for (size_t i = 0; i < p.controls.size(); ++i)
        pixman_image_composite32(PIXMAN_OP_OVER, p.controls[i], nullptr, target, 0, 0, 0, 0, s.positions[i].x,
                                 s.positions[i].y, 60, 20);
}

void BM_ComposeOurs(benchmark::State& state) {
    const Scene& s = GetScene();
    Image target(kW, kH);
    for (auto _ : state) {
        ComposeOurs(target, s);
        benchmark::DoNotOptimize(target.Pixels().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeOurs)->Unit(benchmark::kMicrosecond);

void BM_ComposePixman(benchmark::State& state) {
    const Scene& s = GetScene();
    PixmanScene p(s);
    Image target(kW, kH);
    pixman_image_t* t = Wrap(target);
    for (auto _ : state) {
        ComposePixman(t, target.Pixels().data(), s, p);
        benchmark::DoNotOptimize(target.Pixels().data());
        benchmark::ClobberMemory();
    }
    pixman_image_unref(t);
}
BENCHMARK(BM_ComposePixman)->Unit(benchmark::kMicrosecond);

// Small blits on their own: one 60 x 20 control with alpha over an opaque window.
void BM_SmallControlOurs(benchmark::State& state) {
    const Scene& s = GetScene();
    Image target = s.page.Copy();
    Canvas dc(target);
    for (auto _ : state) {
        dc.DrawImage(&s.controls[3], 100, 100);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SmallControlOurs)->Unit(benchmark::kNanosecond);

void BM_SmallControlPixman(benchmark::State& state) {
    const Scene& s = GetScene();
    Image target = s.page.Copy();
    pixman_image_t* t = Wrap(target);
    pixman_image_t* c = Wrap(s.controls[3]);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, c, nullptr, t, 0, 0, 0, 0, 100, 100, 60, 20);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(c);
    pixman_image_unref(t);
}
BENCHMARK(BM_SmallControlPixman)->Unit(benchmark::kNanosecond);

// Keeps each benchmark's CPU time per iteration (the machine is shared: wall time is noisier), to print the ratios after the run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration || r.aggregate_name == "mean")
                times[r.run_name.function_name] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    // Both compositions must produce the same pixels, or the comparison means nothing.
    {
        const Scene& s = GetScene();
        PixmanScene p(s);
        Image ours(kW, kH), theirs(kW, kH);
        ComposeOurs(ours, s);
        pixman_image_t* t = Wrap(theirs);
        ComposePixman(t, theirs.Pixels().data(), s, p);
        pixman_image_unref(t);
        size_t differ = 0;
        for (size_t i = 0; i < ours.Pixels().size(); ++i) differ += ours.Pixels()[i] != theirs.Pixels()[i];
        std::printf("pixels that differ between the two compositions: %zu of %zu\n", differ, ours.Pixels().size());
        if (differ) return 1;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* ours, const char* theirs) {
        auto a = reporter.times.find(ours), b = reporter.times.find(theirs);
        if (a != reporter.times.end() && b != reporter.times.end() && b->second > 0)
            std::printf("CPU time %s / %s = %.3f (%.2f vs %.2f, in the unit shown above)\n", ours, theirs,
                        a->second / b->second, a->second, b->second);
    };
    ratio("BM_ComposeOurs", "BM_ComposePixman");
    ratio("BM_SmallControlOurs", "BM_SmallControlPixman");
    benchmark::Shutdown();
    return 0;
}
