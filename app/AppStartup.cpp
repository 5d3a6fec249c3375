#include "app/AppStartup.h"

#include "app/AppDelegate.h"
#include "app/AppIdentity.h"
#include "app/ViewController.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/Storyboard.h"
#include "platform/uikit/Window.h"
#include "ui/InterfaceKitClasses.h"

namespace ostrelo {

void AppStartup::registerClasses() {
    registerInterfaceKitClasses();
    uikit::ClassRegistry::shared().registerController<ViewController>("ViewController");
}

std::string AppStartup::shortcutType(const std::string& name) {
    return std::string(AppIdentity::bundleIdentifier) + "." + name;
}

std::unique_ptr<AppDelegate> AppStartup::launch(uikit::Window& window, const AppDelegate::LaunchOptions& options,
                                                std::string& error) {
    registerClasses();
    foundation::Bundle::mainBundle().setInfoDictionary({
        {"CFBundleIdentifier", AppIdentity::bundleIdentifier},
        {"CFBundleShortVersionString", AppIdentity::shortVersion},
        {"CFBundleVersion", AppIdentity::buildVersion},
    });
    auto storyboard = uikit::Storyboard::named("Main", error);
    if (!storyboard) return nullptr;
    auto root = storyboard->instantiateInitialViewController(error);
    if (!root) return nullptr;
    if (dynamic_cast<ViewController*>(root.get()) == nullptr) {
        error = "the initial scene of the storyboard Main is not the calculator screen";
        return nullptr;
    }
    auto delegate = std::make_unique<AppDelegate>();
    delegate->window = &window;
    delegate->observeApplication();
    delegate->didFinishLaunchingWithOptions(options);
    window.setRootViewController(std::move(root));
    uikit::Application::shared().applicationState = uikit::ApplicationState::active;
    foundation::NotificationCenter::defaultCenter().post(uikit::Application::didBecomeActiveNotification);
    return delegate;
}

}  // namespace ostrelo
