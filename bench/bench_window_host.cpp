// The window host: an idle window over one second (how often its loop woke, the CPU it used,
// the frames it drew) and the time of one frame of a screen of about 60 views.
// Runs in an offscreen window unless OSTRELO_WINDOW_SYSTEM names another window system.
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "platform/host/WindowHost.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/Label.h"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <sys/resource.h>

#include <cstdlib>
#include <memory>

namespace {

// Two display lines over a pad of 40 keys: 42 views, 82 with the keys' title labels.
class Screen : public uikit::ViewController {
public:
    void viewDidLoad() override {
        view()->setBackgroundColor(uikit::Color::black());
        for (int line = 0; line < 2; ++line) {
            auto* label = view()->add(std::make_unique<uikit::Label>(uikit::Rect(0, 40.0 + line * 50, 375, 50)));
            label->setText(line == 0 ? "1 234 567.89" : "1+1 233 566.89=1 234 567.89");
            label->setTextColor(uikit::Color::white());
        }
        const char* captions[] = {"MC", "M+", "M−", "MR", "C", "(", ")", "÷", "𝜋", "𝑒", "√", "×", "7", "8",
                                  "9", "−", "4", "5", "6", "+", "1", "2", "3", "=", "0", ",", "±", "⌫",
                                  "x²", "xʸ", "㏑", "ƒ(x)", "sin", "cos", "tan", "%", "deg", "⁻¹", "€", "⇨"};
        for (int i = 0; i < 40; ++i) {
            auto* key = view()->add(std::make_unique<uikit::Button>(
                uikit::Rect((i % 4) * 93.75, 147 + (i / 4) * 52.0, 93.75, 52)));
            key->setTitle(captions[i], uikit::ControlStateNormal);
            key->setTitleColor(uikit::Color::white(), uikit::ControlStateNormal);
            key->setBackgroundColor(i % 4 == 3 ? uikit::Color::rgb(48, 48, 48) : uikit::Color::rgb(64, 64, 64));
        }
    }
};

std::unique_ptr<host::WindowHost> openWindow(benchmark::State& state) {
    setenv("OSTRELO_WINDOW_SYSTEM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    host::AppDescription app;
    app.name = "bench_window_host";
    app.makeRootViewController = [] { return std::make_unique<Screen>(); };
    std::string error;
    auto window = host::WindowHost::open(app, error);
    if (!window) state.SkipWithError(("no window: " + error).c_str());
    else window->launch();
    return window;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// After its first frame the window has nothing to do for a second; a timer then ends the run.
// Expected: one wake-up (that timer), no frame, next to no CPU.
void BM_IdleWindowForOneSecond(benchmark::State& state) {
    auto window = openWindow(state);
    if (!window) return;
    for (auto _ : state) {
        // Settles first: the window's own first events and its first frame.
        foundation::RunLoop::main().schedule(0, [&] { window->quit(); });
        window->exec();
        window->drawFrame();
        std::size_t frames = window->frames();
        std::size_t wakeUps = window->wakeUps();
        double cpu = cpuSeconds();
        auto end = foundation::Timer::scheduledTimer(1.0, false, [&](foundation::Timer&) { window->quit(); });
        window->exec();
        state.counters["wake_ups"] = static_cast<double>(window->wakeUps() - wakeUps);
        state.counters["frames"] = static_cast<double>(window->frames() - frames);
        state.counters["cpu_ms"] = (cpuSeconds() - cpu) * 1000;
    }
}
BENCHMARK(BM_IdleWindowForOneSecond)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Drawing and showing one whole frame in the window surface (as after the window was exposed;
// the offscreen surface is at scale 1).
void BM_WindowFrame(benchmark::State& state) {
    auto window = openWindow(state);
    if (!window) return;
    for (auto _ : state) {
        window->driver().forgetFrame();
        window->driver().setNeedsFrame();
        window->drawFrame();
    }
}
BENCHMARK(BM_WindowFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same whole frame at scale 2 into an image, as on a phone's screen.
void BM_FrameAtScale2(benchmark::State& state) {
    auto window = openWindow(state);
    if (!window) return;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 750, 1334);
    for (auto _ : state) {
        window->driver().forgetFrame();
        cairo_t* cr = cairo_create(image);
        window->driver().drawFrame(cr, 2);
        cairo_destroy(cr);
        cairo_surface_flush(image);
    }
    cairo_surface_destroy(image);
}
BENCHMARK(BM_FrameAtScale2)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
