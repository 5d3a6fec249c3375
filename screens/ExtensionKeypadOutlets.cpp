#include "screens/ExtensionKeypadOutlets.h"

#include "platform/uikit/ViewController.h"
#include "ui/CalculatorButton.h"

namespace ostrelo {

void ExtensionKeypadOutlets::declareKeypadOutlets(uikit::ViewController& owner) {
    KeypadOutlets::declareKeypadOutlets(owner);
    owner.declareOutlet("buttonOpen", buttonOpen);
    owner.declareOutlet("buttonClose", buttonClose);
    owner.declareOutlet("buttonMultiply", buttonMultiply);
    owner.declareOutlet("buttonDevide", buttonDevide);
    owner.declareOutlet("buttonSubtract", buttonSubtract);
    owner.declareOutlet("buttonAdd", buttonAdd);
}

bool ExtensionKeypadOutlets::keypadOutletsBound() const {
    return KeypadOutlets::keypadOutletsBound() &&
           allBound({buttonOpen, buttonClose, buttonMultiply, buttonDevide, buttonSubtract, buttonAdd});
}

}  // namespace ostrelo
