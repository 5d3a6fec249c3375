#include "app/AppStartup.h"

#include "app/AppDelegate.h"
#include "app/ViewController.h"
#include "app/ViewControllerFunctions.h"
#include "app/ViewControllerMemory.h"
#include "app/ViewControllerSettings.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/Storyboard.h"
#include "screens/AppIdentity.h"
#include "ui/InterfaceKitClasses.h"

namespace ostrelo {

void AppStartup::registerClasses() {
    registerInterfaceKitClasses();
    auto& registry = uikit::ClassRegistry::shared();
    registry.registerController<ViewController>("ViewController");
    registry.registerController<ViewControllerMemory>("ViewControllerMemory");
    registry.registerController<ViewControllerFunctions>("ViewControllerFunctions");
    registry.registerController<ViewControllerSettings>("ViewControllerSettings");
}

std::unique_ptr<ViewController> AppStartup::makeMainScreen(std::string& error) {
    registerClasses();
    auto storyboard = uikit::Storyboard::named("Main", error);
    if (!storyboard) return nullptr;
    auto root = storyboard->instantiateInitialViewController(error);
    if (!root) return nullptr;
    if (dynamic_cast<ViewController*>(root.get()) == nullptr) {
        error = "the initial scene of the storyboard Main is not the calculator screen";
        return nullptr;
    }
    return std::unique_ptr<ViewController>(static_cast<ViewController*>(root.release()));
}

host::AppDescription AppStartup::description() {
    registerClasses();
    foundation::Bundle::mainBundle().setInfoDictionary({
        {"CFBundleIdentifier", AppIdentity::bundleIdentifier},
        {"CFBundleShortVersionString", AppIdentity::shortVersion},
        {"CFBundleVersion", AppIdentity::buildVersion},
    });
    host::AppDescription app;
    app.name = "ostrelo";
    app.title = "Ostrelo";
    app.size = {375, 667};
    app.makeRootViewController = []() -> std::unique_ptr<uikit::ViewController> {
        std::string error;
        auto screen = makeMainScreen(error);
        if (!screen) foundation::Log::error(error);
        return screen;
    };
    app.makeDelegate = [] { return std::make_unique<AppDelegate>(); };
    app.bundleIdentifier = AppIdentity::bundleIdentifier;
    app.quickActions = {{ViewController::copyResultAction},
                        {ViewController::copyExpressionAction},
                        {ViewController::pasteCalculationAction, true}};
    app.urlScheme = "ostrelo";
    app.acceptsLaunchRequests = true;
    app.singleInstance = true;
    app.settingsProgram = "ostrelo-settings";
    return app;
}

}  // namespace ostrelo
