#pragma once

#include "app/AppStartup.h"
#include "app/ViewController.h"
#include "platform/uikit/Storyboard.h"

#include <memory>
#include <string>

namespace apptest {

// A plain scene of the calculator screen for tests: every control the screen declares, on a
// five-by-five keypad under the display.
inline std::unique_ptr<ostrelo::ViewController> makeCalculatorScreen() {
    static const char* const keys[5][5][3] = {
        {{"MC", "buttonsMemoryClear", "3"}, {"M+", "buttonsMemoryAdd", "3"}, {"MR", "buttonMemoryRecall", "4"},
         {"deg", "buttonDegRad", "7"}, {"AC", "buttonClear", "5"}},
        {{"7", "buttonSeven", "1"}, {"8", "buttonEight", "1"}, {"9", "buttonNine", "1"},
         {"(", "buttonParenthesisOpen", "0"}, {")", "buttonParenthesisClose", "0"}},
        {{"4", "buttonFour", "1"}, {"5", "buttonFive", "1"}, {"6", "buttonSix", "1"}, {"÷", "buttonsDivide", "2"},
         {"×", "buttonsMultiply", "2"}},
        {{"1", "buttonOne", "1"}, {"2", "buttonTwo", "1"}, {"3", "buttonThree", "1"}, {"−", "buttonsSubtract", "2"},
         {"+", "buttonsAdd", "2"}},
        {{"ƒ(x)", "buttonFunctions", "13"}, {"0", "buttonZero", "1"}, {".", "buttonDecimalSeparator", "1"},
         {"±", "buttonPlusMinus", "1"}, {"=", "buttonEqual", "15"}},
    };
    std::string text =
        "scene Calculator ViewController\n"
        "  view View rframe=0,0,1,1\n"
        "    view CalculatorScrollView outlet=scrollView frame=0,40,393,120\n"
        "      view CalculatorCalcLabel outlet=primaryCalculatorLine frame=0,0,393,120\n"
        "    view CalculatorCalcLabel outlet=secondaryCalculatorLine frame=0,160,393,60\n"
        "    view CalculatorPicker outlet=convertFromPicker frame=0,220,150,60\n"
        "    view CalculatorLabel outlet=labelConvert frame=150,220,93,60\n"
        "    view CalculatorPicker outlet=convertToPicker frame=243,220,150,60\n"
        "    view CalculatorView outlet=ostreloView rframe=0,0.4,1,0.6\n";
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            text += "      view CalculatorButton outlet=" + std::string(keys[r][c][1]) + " rframe=" +
                    std::to_string(c / 5.0) + "," + std::to_string(r / 5.0) + ",0.2,0.2 title=\"" + keys[r][c][0] +
                    "\" type=" + keys[r][c][2] + "\n";
    ostrelo::AppStartup::registerClasses();
    std::string error;
    auto board = uikit::Storyboard::parse(text, "CalculatorFixture", error);
    if (!board) return nullptr;
    auto controller = board->instantiateViewController("Calculator", error);
    return std::unique_ptr<ostrelo::ViewController>(dynamic_cast<ostrelo::ViewController*>(controller.release()));
}

}  // namespace apptest
