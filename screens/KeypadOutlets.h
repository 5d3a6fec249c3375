#pragma once

#include <initializer_list>

namespace uikit {
class View;
class ViewController;
}  // namespace uikit

namespace ostrelo {

class CalculatorButton;
class CalculatorCalcLabel;
class CalculatorView;
struct ScreenLinks;

// The outlets every calculator screen's scene fills: the keypad, the primary display line, the
// digits and the sign, clear and "=" keys. A screen inherits them beside its view controller, so
// that they stay members of their own names; it declares them in its constructor and, once its
// view has loaded, checks that the scene filled them and binds them into its links. The larger
// sets (AppKeypadOutlets, ExtensionKeypadOutlets, ScientificKeypadOutlets) add their keys to
// the same three steps.
struct KeypadOutlets {
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

    // Makes these outlets of `owner`, the screen's controller, under their member names.
    void declareKeypadOutlets(uikit::ViewController& owner);
    // Whether the scene filled every one of them.
    bool keypadOutletsBound() const;
    // The keypad, the "=" and clear keys and the primary line into their roles.
    void bindKeypadLinks(ScreenLinks& links) const;

protected:
    // Whether none of `views` is null.
    static bool allBound(std::initializer_list<const uikit::View*> views);
};

}  // namespace ostrelo
