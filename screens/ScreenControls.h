#pragma once

#include <memory>

namespace uikit {
class LayoutConstraint;
class ViewController;
}  // namespace uikit

namespace ostrelo {

class CalculatorButton;
class CalculatorCalcLabel;
class CalculatorLabel;
class CalculatorPicker;
class CalculatorScrollView;
class CalculatorView;
class CalculatorViewTouchDelegate;
struct ScreenLinks;

// The controls a calculator screen's scene fills, under their outlet names, held in one member
// of the screen. Which outlets a screen's scene has, which of them it must fill and the role
// each plays for the shared routines (ScreenLinks) is one table per keypad kind
// (ScreenControls.cpp): the screen declares them from its constructor and binds them once its
// view has loaded. A control the screen's kind does not have stays null.
class ScreenControls {
public:
    enum class Kind { app, widget, messagesCompact, messagesExpanded, keyboard };

    explicit ScreenControls(Kind kind) : kind_(kind) {}
    // The outlets point at these members.
    ScreenControls(const ScreenControls&) = delete;
    ScreenControls& operator=(const ScreenControls&) = delete;

    // Makes the kind's outlets outlets of `owner` under their names.
    void declare(uikit::ViewController& owner);
    // The controls into their roles in `links`, and the keypad reporting its keys to `screen`
    // while the screen lives (`links.guard`). False (logged) with nothing bound when the scene
    // left a control the kind needs unbound: the screen then stays inert.
    bool bind(ScreenLinks& links, CalculatorViewTouchDelegate& screen) const;

    // ---- Every kind: the keypad, the display line, digits, sign, clear and "=" -----------------
    CalculatorView* ostreloView = nullptr;
    CalculatorCalcLabel* primaryCalculatorLine = nullptr;
    CalculatorButton* buttonPlusMinus = nullptr;
    CalculatorButton* buttonClear = nullptr;
    CalculatorButton* buttonEqual = nullptr;
    CalculatorButton* buttonZero = nullptr;
    CalculatorButton* buttonOne = nullptr;
    CalculatorButton* buttonTwo = nullptr;
    CalculatorButton* buttonThree = nullptr;
    CalculatorButton* buttonFour = nullptr;
    CalculatorButton* buttonFive = nullptr;
    CalculatorButton* buttonSix = nullptr;
    CalculatorButton* buttonSeven = nullptr;
    CalculatorButton* buttonEight = nullptr;
    CalculatorButton* buttonNine = nullptr;

    // ---- The app's and the widget's pad --------------------------------------------------------
    CalculatorButton* buttonsMemoryClear = nullptr;
    CalculatorButton* buttonsMemoryAdd = nullptr;
    // Also the wide extension pads' memory-recall key.
    CalculatorButton* buttonMemoryRecall = nullptr;
    // Also the keyboard's angle and separator keys.
    CalculatorButton* buttonDegRad = nullptr;
    CalculatorButton* buttonDecimalSeparator = nullptr;
    // Also the expanded messages screen's function key.
    CalculatorButton* buttonFunctions = nullptr;
    CalculatorButton* buttonParenthesisOpen = nullptr;
    CalculatorButton* buttonParenthesisClose = nullptr;
    CalculatorButton* buttonsMultiply = nullptr;
    CalculatorButton* buttonsDivide = nullptr;
    CalculatorButton* buttonsSubtract = nullptr;
    CalculatorButton* buttonsAdd = nullptr;
    // Also the expanded messages screen's second line and conversion label.
    CalculatorCalcLabel* secondaryCalculatorLine = nullptr;
    CalculatorLabel* labelConvert = nullptr;
    // The app's (and the expanded messages screen's) currency pickers; the app's display strip.
    CalculatorPicker* convertFromPicker = nullptr;
    CalculatorPicker* convertToPicker = nullptr;
    CalculatorScrollView* scrollView = nullptr;
    // The widget's display height.
    std::weak_ptr<uikit::LayoutConstraint> labelHeight;

    // ---- The extensions' pads ------------------------------------------------------------------
    CalculatorButton* buttonOpen = nullptr;
    CalculatorButton* buttonClose = nullptr;
    CalculatorButton* buttonMultiply = nullptr;
    CalculatorButton* buttonDevide = nullptr;
    CalculatorButton* buttonSubtract = nullptr;
    CalculatorButton* buttonAdd = nullptr;
    CalculatorButton* buttonDecimal = nullptr;
    CalculatorButton* buttonRadiant = nullptr;
    // The currency keys (the widget's and the compact pads'), the convert and send keys.
    CalculatorButton* convertFrom = nullptr;
    CalculatorButton* convertTo = nullptr;
    CalculatorButton* buttonConvertFrom = nullptr;
    CalculatorButton* buttonConvertTo = nullptr;
    CalculatorButton* buttonConvert = nullptr;
    CalculatorButton* buttonSend = nullptr;
    // The memory keys and the scientific row of the wide pads; their presses arrive by title.
    CalculatorButton* buttonMemoryClear = nullptr;
    CalculatorButton* buttonMemoryAdd = nullptr;
    CalculatorButton* buttonMemorySubtract = nullptr;
    CalculatorButton* buttonSine = nullptr;
    CalculatorButton* buttonArcsine = nullptr;
    CalculatorButton* buttonCosine = nullptr;
    CalculatorButton* buttonArccosine = nullptr;
    CalculatorButton* buttonTangent = nullptr;
    CalculatorButton* buttonArctangent = nullptr;
    CalculatorButton* buttonLn = nullptr;
    CalculatorButton* buttonEuler = nullptr;
    CalculatorButton* buttonSquare = nullptr;
    CalculatorButton* buttonSquareroot = nullptr;
    CalculatorButton* buttonInverse = nullptr;
    CalculatorButton* buttonPi = nullptr;
    CalculatorButton* buttonFactorial = nullptr;
    CalculatorButton* buttonPercentage = nullptr;
    // The keyboard's keys that act on the host.
    CalculatorButton* nextKeyboardButton = nullptr;
    CalculatorButton* buttonSpace = nullptr;
    CalculatorButton* buttonBackSpace = nullptr;
    CalculatorButton* buttonReturn = nullptr;

private:
    Kind kind_;
};

}  // namespace ostrelo
