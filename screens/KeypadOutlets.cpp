#include "screens/KeypadOutlets.h"

#include "platform/uikit/ViewController.h"
#include "screens/ScreenLinks.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorView.h"

#include <algorithm>

namespace ostrelo {

void KeypadOutlets::declareKeypadOutlets(uikit::ViewController& owner) {
    owner.declareOutlet("ostreloView", ostreloView);
    owner.declareOutlet("primaryCalculatorLine", primaryCalculatorLine);
    owner.declareOutlet("buttonPlusMinus", buttonPlusMinus);
    owner.declareOutlet("buttonClear", buttonClear);
    owner.declareOutlet("buttonEqual", buttonEqual);
    owner.declareOutlet("buttonZero", buttonZero);
    owner.declareOutlet("buttonOne", buttonOne);
    owner.declareOutlet("buttonTwo", buttonTwo);
    owner.declareOutlet("buttonThree", buttonThree);
    owner.declareOutlet("buttonFour", buttonFour);
    owner.declareOutlet("buttonFive", buttonFive);
    owner.declareOutlet("buttonSix", buttonSix);
    owner.declareOutlet("buttonSeven", buttonSeven);
    owner.declareOutlet("buttonEight", buttonEight);
    owner.declareOutlet("buttonNine", buttonNine);
}

bool KeypadOutlets::keypadOutletsBound() const {
    return allBound({ostreloView, primaryCalculatorLine, buttonPlusMinus, buttonClear, buttonEqual, buttonZero, buttonOne,
                     buttonTwo, buttonThree, buttonFour, buttonFive, buttonSix, buttonSeven, buttonEight, buttonNine});
}

void KeypadOutlets::bindKeypadLinks(ScreenLinks& links) const {
    links.keypad = ostreloView;
    links.primaryLine = primaryCalculatorLine;
    links.equalKey = buttonEqual;
    links.clearKey = buttonClear;
}

bool KeypadOutlets::allBound(std::initializer_list<const uikit::View*> views) {
    return std::none_of(views.begin(), views.end(), [](const uikit::View* view) { return view == nullptr; });
}

}  // namespace ostrelo
