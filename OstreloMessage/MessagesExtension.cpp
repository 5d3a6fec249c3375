#include "OstreloMessage/MessagesExtension.h"

#include "OstreloMessage/MessageExpandedViewControllerFunctions.h"
#include "OstreloMessage/MessageExpandedViewControllerMemory.h"
#include "OstreloMessage/MessagesCollapsedViewController.h"
#include "OstreloMessage/MessagesExpandedViewController.h"
#include "OstreloMessage/MessagesViewController.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/Storyboard.h"
#include "screens/AppIdentity.h"
#include "ui/InterfaceKitClasses.h"

#include <functional>

namespace ostrelo {

namespace {

// Whether the scene `identifier` makes a controller that `isOfClass` accepts.
bool sceneMakes(const uikit::Storyboard& storyboard, const std::string& identifier,
                const std::function<bool(uikit::ViewController*)>& isOfClass, std::string& error) {
    auto made = storyboard.instantiateViewController(identifier, error);
    if (!made) return false;
    if (isOfClass(made.get())) return true;
    error = "the scene " + identifier + " is of another class";
    return false;
}

template <class T>
bool isA(uikit::ViewController* controller) {
    return dynamic_cast<T*>(controller) != nullptr;
}

}  // namespace

void MessagesExtension::registerClasses() {
    registerInterfaceKitClasses();
    auto& registry = uikit::ClassRegistry::shared();
    registry.registerController<MessagesViewController>("MessagesViewController");
    registry.registerController<MessagesCollapsedViewController>("MessagesCollapsedViewController");
    registry.registerController<MessagesExpandedViewController>("MessagesExpandedViewController");
    registry.registerController<MessageExpandedViewControllerFunctions>("MessageExpandedViewControllerFunctions");
    registry.registerController<MessageExpandedViewControllerMemory>("MessageExpandedViewControllerMemory");
}

std::unique_ptr<uikit::MessagesAppViewController> MessagesExtension::makeRoot() {
    registerClasses();
    foundation::Bundle::mainBundle().setInfoDictionary({
        {"CFBundleIdentifier", bundleIdentifier},
        {"CFBundleShortVersionString", AppIdentity::shortVersion},
        {"CFBundleVersion", AppIdentity::buildVersion},
    });
    std::string error;
    auto storyboard = uikit::Storyboard::named(storyboardName, error);
    auto made = storyboard ? storyboard->instantiateInitialViewController(error) : nullptr;
    if (!isA<MessagesViewController>(made.get())) {
        foundation::Log::error(error.empty() ? "the initial scene of MainInterface is not the messages root" : error);
        return nullptr;
    }
    return std::unique_ptr<uikit::MessagesAppViewController>(static_cast<MessagesViewController*>(made.release()));
}

bool MessagesExtension::checkScenes(std::string& error) {
    registerClasses();
    auto storyboard = uikit::Storyboard::named(storyboardName, error);
    if (!storyboard) return false;
    auto root = storyboard->instantiateInitialViewController(error);
    if (!isA<MessagesViewController>(root.get())) {
        if (root) error = "the initial scene of " + std::string(storyboardName) + " is not the messages root";
        return false;
    }
    for (const auto& [scene, isOfClass] :
         std::initializer_list<std::pair<const char*, bool (*)(uikit::ViewController*)>>{
             {MessagesViewController::expandedScene, isA<MessagesExpandedViewController>},
             {MessagesViewController::collapsedScene, isA<MessagesCollapsedViewController>}}) {
        if (!sceneMakes(*storyboard, scene, isOfClass, error)) {
            error = MessagesViewController::unableToInstantiate(scene) + ": " + error;
            return false;
        }
    }
    return sceneMakes(*storyboard, "Functions", isA<MessageExpandedViewControllerFunctions>, error) &&
           sceneMakes(*storyboard, "Memory", isA<MessageExpandedViewControllerMemory>, error);
}

}  // namespace ostrelo
