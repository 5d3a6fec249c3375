#include "platform/uikit/ClassRegistry.h"

#include "platform/uikit/Button.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/LongPressGestureRecognizer.h"
#include "platform/uikit/PickerView.h"
#include "platform/uikit/ScrollView.h"
#include "platform/uikit/Switch.h"
#include "platform/uikit/TapGestureRecognizer.h"
#include "platform/uikit/View.h"
#include "platform/uikit/ViewController.h"

namespace uikit {

ClassRegistry::ClassRegistry() {
    registerView<View>("View");
    registerView<Label>("Label");
    registerView<Button>("Button");
    registerView<ScrollView>("ScrollView");
    registerView<Switch>("Switch");
    registerView<PickerView>("PickerView");
    registerController<ViewController>("ViewController");
    registerRecognizer<TapGestureRecognizer>("TapGestureRecognizer");
    registerRecognizer<LongPressGestureRecognizer>("LongPressGestureRecognizer");
}

ClassRegistry& ClassRegistry::shared() {
    static ClassRegistry registry;
    return registry;
}

void ClassRegistry::registerView(const std::string& name, ViewFactory factory) { views_[name] = std::move(factory); }

void ClassRegistry::registerController(const std::string& name, ControllerFactory factory) {
    controllers_[name] = std::move(factory);
}

std::unique_ptr<View> ClassRegistry::makeView(const std::string& name) const {
    auto it = views_.find(name);
    return it == views_.end() ? nullptr : it->second();
}

std::unique_ptr<ViewController> ClassRegistry::makeController(const std::string& name) const {
    auto it = controllers_.find(name);
    return it == controllers_.end() ? nullptr : it->second();
}

void ClassRegistry::registerRecognizer(const std::string& name, RecognizerFactory factory) {
    recognizers_[name] = std::move(factory);
}

std::unique_ptr<GestureRecognizer> ClassRegistry::makeRecognizer(const std::string& name) const {
    auto it = recognizers_.find(name);
    return it == recognizers_.end() ? nullptr : it->second();
}

}  // namespace uikit
