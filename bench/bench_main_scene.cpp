// Loading the calculator screen from the storyboard "Main" (about 60 views: keypad, display,
// currency row, wide-layout keys set aside) and drawing its first frame at scale 2.
#include "platform/foundation/RunLoop.h"
#include "platform/render/PangoTextMeasurer.h"
#include "platform/render/Renderer.h"
#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/Storyboard.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"
#include "ui/InterfaceKitClasses.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <string>

namespace {

// Stands in for the app's screen: its class name and outlets, nothing more.
class MainScreen : public uikit::ViewController {
public:
    MainScreen() {
        for (const char* name :
             {"buttonsMemoryClear", "buttonsMemoryAdd", "buttonMemoryRecall", "buttonDecimalSeparator",
              "buttonPlusMinus", "buttonDegRad", "buttonClear", "buttonEqual", "buttonZero", "buttonOne", "buttonTwo",
              "buttonThree", "buttonFour", "buttonFive", "buttonSix", "buttonSeven", "buttonEight", "buttonNine",
              "buttonFunctions", "buttonParenthesisOpen", "buttonParenthesisClose", "buttonsMultiply",
              "buttonsDivide", "buttonsSubtract", "buttonsAdd", "labelConvert", "primaryCalculatorLine",
              "secondaryCalculatorLine", "convertFromPicker", "convertToPicker", "ostreloView", "scrollView"})
            declareOutlet(name, outlets_[name]);
    }

private:
    std::map<std::string, uikit::View*> outlets_;
};

int countViews(const uikit::View& view) {
    int n = 1;
    for (const auto& sub : view.subviews()) n += countViews(*sub);
    return n;
}

void BM_LoadMainSceneAndDrawFirstFrame(benchmark::State& state) {
    foundation::RunLoop::main().useVirtualTime();
    render::PangoTextMeasurer::install();
    ostrelo::registerInterfaceKitClasses();
    uikit::ClassRegistry::shared().registerController<MainScreen>("ViewController");
    int views = 0;
    for (auto _ : state) {
        std::string error;
        auto board = uikit::Storyboard::named("Main", error);
        auto controller = board ? board->instantiateInitialViewController(error) : nullptr;
        if (!controller) {
            state.SkipWithError(error.c_str());
            return;
        }
        uikit::Window window(uikit::Rect(0, 0, 393, 852), uikit::UserInterfaceIdiom::phone, 2);
        window.setSafeAreaInsets({59, 0, 34, 0});
        window.setRootViewController(std::move(controller));
        auto image = render::Renderer::render(window, 2);
        benchmark::DoNotOptimize(image.pixel(10, 10));
        views = countViews(*window.rootViewController()->view());
    }
    state.counters["views"] = views;
    uikit::TextMeasurer::setShared(nullptr);
}
BENCHMARK(BM_LoadMainSceneAndDrawFirstFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
