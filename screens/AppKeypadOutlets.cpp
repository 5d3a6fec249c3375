#include "screens/AppKeypadOutlets.h"

#include "platform/uikit/ViewController.h"
#include "screens/ScreenLinks.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorLabel.h"

namespace ostrelo {

void AppKeypadOutlets::declareKeypadOutlets(uikit::ViewController& owner) {
    KeypadOutlets::declareKeypadOutlets(owner);
    owner.declareOutlet("buttonsMemoryClear", buttonsMemoryClear);
    owner.declareOutlet("buttonsMemoryAdd", buttonsMemoryAdd);
    owner.declareOutlet("buttonMemoryRecall", buttonMemoryRecall);
    owner.declareOutlet("buttonDecimalSeparator", buttonDecimalSeparator);
    owner.declareOutlet("buttonDegRad", buttonDegRad);
    owner.declareOutlet("buttonFunctions", buttonFunctions);
    owner.declareOutlet("buttonParenthesisOpen", buttonParenthesisOpen);
    owner.declareOutlet("buttonParenthesisClose", buttonParenthesisClose);
    owner.declareOutlet("buttonsMultiply", buttonsMultiply);
    owner.declareOutlet("buttonsDivide", buttonsDivide);
    owner.declareOutlet("buttonsSubtract", buttonsSubtract);
    owner.declareOutlet("buttonsAdd", buttonsAdd);
    owner.declareOutlet("secondaryCalculatorLine", secondaryCalculatorLine);
    owner.declareOutlet("labelConvert", labelConvert);
}

bool AppKeypadOutlets::keypadOutletsBound() const {
    return KeypadOutlets::keypadOutletsBound() &&
           allBound({buttonsMemoryClear, buttonsMemoryAdd, buttonMemoryRecall, buttonDecimalSeparator, buttonDegRad,
                     buttonFunctions, buttonParenthesisOpen, buttonParenthesisClose, buttonsMultiply, buttonsDivide,
                     buttonsSubtract, buttonsAdd, secondaryCalculatorLine, labelConvert});
}

void AppKeypadOutlets::bindKeypadLinks(ScreenLinks& links) const {
    KeypadOutlets::bindKeypadLinks(links);
    links.functionKey = buttonFunctions;
    links.memoryRecallKey = buttonMemoryRecall;
    links.decimalSeparatorKey = buttonDecimalSeparator;
    links.parenthesisOpenKey = buttonParenthesisOpen;
    links.parenthesisCloseKey = buttonParenthesisClose;
    links.degRadKey = buttonDegRad;
    links.secondaryLine = secondaryCalculatorLine;
    links.convertLabel = labelConvert;
}

}  // namespace ostrelo
