// Layout and drawing of a 40-key keypad at scale 2 (one frame).
#include "platform/foundation/RunLoop.h"
#include "platform/render/PangoTextMeasurer.h"
#include "platform/render/Renderer.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/Font.h"
#include "platform/uikit/Layer.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

// A key painted the way the calculator's keys are: background, title colour and thin font, a title
// that shrinks to fit, two 0.5-point border layers rebuilt at every layout, one rounded corner on
// the pad's corners.
class Key : public uikit::Button {
public:
    unsigned corner = 0;
    void layoutSubviews() override {
        uikit::Button::layoutSubviews();
        for (const char* name : {"borderTop", "borderLeft"})
            if (auto* old = layer().sublayerNamed(name)) old->removeFromSuperlayer();
        auto top = uikit::Layer::make();
        top->name = "borderTop";
        top->backgroundColor = uikit::Color::black();
        top->setFrame(uikit::Rect(0, 0, frame().size.width, 0.5));
        layer().addSublayer(top);
        auto left = uikit::Layer::make();
        left->name = "borderLeft";
        left->backgroundColor = uikit::Color::black();
        left->setFrame(uikit::Rect(0, 0, 0.5, frame().size.height));
        layer().addSublayer(left);
        double w = bounds().size.width, h = bounds().size.height;
        titleLabel()->setFont(uikit::Font::named("HelveticaNeue-Thin", (h / 3) * std::min(w / h, 1.0)));
        titleLabel()->adjustsFontSizeToFitWidth = true;
        titleLabel()->minimumScaleFactor = 0.5;
        if (corner != 0) roundCorners(corner, 12);
    }
};

void BM_KeypadLayoutAndDraw(benchmark::State& state) {
    foundation::RunLoop::main().useVirtualTime();
    render::PangoTextMeasurer::install();
    const char* captions[] = {"MC", "M+", "M−", "MR", "C", "(", ")", "÷", "𝜋", "𝑒", "√", "×", "7", "8", "9", "−",
                              "4", "5", "6", "+", "1", "2", "3", "=", "0", ",", "±", "⌫", "x²", "xʸ", "㏑", "ƒ(x)",
                              "sin", "cosh⁻¹", "tan", "%", "deg", "⁻¹", "€", "🌐"};
    uikit::View pad(uikit::Rect(0, 0, 390, 520));
    pad.setBackgroundColor(uikit::Color::black());
    std::vector<Key*> keys;
    for (int i = 0; i < 40; ++i) {
        auto key = std::make_unique<Key>();
        key->relativeFrame = uikit::Rect((i % 4) / 4.0, (i / 4) / 10.0, 0.25, 0.1);
        key->setTitle(captions[i], uikit::ControlStateNormal);
        key->setTitleColor(uikit::Color::white(), uikit::ControlStateNormal);
        key->setBackgroundColor(i % 4 == 3 ? uikit::Color::rgb(48, 48, 48) : uikit::Color::rgb(64, 64, 64));
        if (i == 0) key->corner = 1;
        if (i == 3) key->corner = 2;
        if (i == 36) key->corner = 4;
        if (i == 39) key->corner = 8;
        keys.push_back(pad.add(std::move(key)));
    }
    for (auto _ : state) {
        pad.setNeedsLayout();
        for (Key* key : keys) key->setNeedsLayout();
        auto image = render::Renderer::render(pad, 2);
        benchmark::DoNotOptimize(image.pixel(10, 10));
    }
    uikit::TextMeasurer::setShared(nullptr);
}
BENCHMARK(BM_KeypadLayoutAndDraw)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
