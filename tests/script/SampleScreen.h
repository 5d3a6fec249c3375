#pragma once

#include "engine/Calculator.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/uikit/ViewController.h"
#include "tools/script/ScreenDefinition.h"
#include "ui/CalculatorViewTouchDelegate.h"

namespace ostrelo {
class CalculatorButton;
class CalculatorCalcLabel;
class CalculatorView;
}  // namespace ostrelo

namespace scripttest {

// A small calculator screen for the runner's own tests (scene "ScriptSample" in the test data):
// each key clicks (1104) and goes to the engine, "=" copies the result, a held "M+" becomes "M−"
// with a vibration, "=" reads "𝑑" in date mode, each activation reloads the stored calculation,
// and "✕" aborts the process (a screen's fault).
class SampleScreen : public uikit::ViewController, public ostrelo::CalculatorViewTouchDelegate {
public:
    SampleScreen();
    void viewDidLoad() override;
    void handleKeyPress(ostrelo::CalculatorButton* button, bool longPress, const std::string& key) override;

    // The screen as scripts name it: "sample".
    static script::ScreenDefinition definition();

private:
    void show(const std::string& primary, const std::string& secondary);

    ostrelo::CalculatorView* ostreloView = nullptr;
    ostrelo::CalculatorCalcLabel* primaryCalculatorLine = nullptr;
    ostrelo::CalculatorCalcLabel* secondaryCalculatorLine = nullptr;
    ostrelo::CalculatorButton* buttonEqual = nullptr;
    uikit::View* memoryClearLeft = nullptr;
    uikit::View* memoryClearRight = nullptr;
    ostrelo::Calculator calculator_;
    foundation::NotificationCenter::Token activation_;
};

}  // namespace scripttest
