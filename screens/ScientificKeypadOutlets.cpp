#include "screens/ScientificKeypadOutlets.h"

#include "platform/uikit/ViewController.h"
#include "screens/ScreenLinks.h"
#include "ui/CalculatorButton.h"

namespace ostrelo {

void ScientificKeypadOutlets::declareKeypadOutlets(uikit::ViewController& owner) {
    ExtensionKeypadOutlets::declareKeypadOutlets(owner);
    owner.declareOutlet("buttonMemoryClear", buttonMemoryClear);
    owner.declareOutlet("buttonMemoryAdd", buttonMemoryAdd);
    owner.declareOutlet("buttonMemorySubtract", buttonMemorySubtract);
    owner.declareOutlet("buttonMemoryRecall", buttonMemoryRecall);
    owner.declareOutlet("buttonSine", buttonSine);
    owner.declareOutlet("buttonArcsine", buttonArcsine);
    owner.declareOutlet("buttonCosine", buttonCosine);
    owner.declareOutlet("buttonArccosine", buttonArccosine);
    owner.declareOutlet("buttonTangent", buttonTangent);
    owner.declareOutlet("buttonArctangent", buttonArctangent);
    owner.declareOutlet("buttonLn", buttonLn);
    owner.declareOutlet("buttonEuler", buttonEuler);
    owner.declareOutlet("buttonSquare", buttonSquare);
    owner.declareOutlet("buttonSquareroot", buttonSquareroot);
    owner.declareOutlet("buttonInverse", buttonInverse);
    owner.declareOutlet("buttonPi", buttonPi);
    owner.declareOutlet("buttonFactorial", buttonFactorial);
    owner.declareOutlet("buttonPercentage", buttonPercentage);
}

bool ScientificKeypadOutlets::keypadOutletsBound() const {
    return ExtensionKeypadOutlets::keypadOutletsBound() &&
           allBound({buttonMemoryClear, buttonMemoryAdd, buttonMemorySubtract, buttonMemoryRecall, buttonSine,
                     buttonArcsine, buttonCosine, buttonArccosine, buttonTangent, buttonArctangent, buttonLn,
                     buttonEuler, buttonSquare, buttonSquareroot, buttonInverse, buttonPi, buttonFactorial,
                     buttonPercentage});
}

void ScientificKeypadOutlets::bindKeypadLinks(ScreenLinks& links) const {
    ExtensionKeypadOutlets::bindKeypadLinks(links);
    links.memoryRecallKey = buttonMemoryRecall;
}

}  // namespace ostrelo
