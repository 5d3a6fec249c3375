#include "today/TodayStartup.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/Storyboard.h"
#include "screens/AppIdentity.h"
#include "today/TodayViewController.h"
#include "ui/InterfaceKitClasses.h"

namespace ostrelo {

namespace {
// The widget ships inside the app: the app's versions, an identifier of its own below the app's.
constexpr const char* widgetIdentifier = "org.ostrelo().Ostrelo.OstreloToday";
}  // namespace

void TodayStartup::registerClasses() {
    registerInterfaceKitClasses();
    uikit::ClassRegistry::shared().registerController<TodayViewController>("TodayViewController");
}

std::unique_ptr<TodayViewController> TodayStartup::makeWidget(std::string& error) {
    registerClasses();
    auto storyboard = uikit::Storyboard::named("Today", error);
    if (!storyboard) return nullptr;
    auto root = storyboard->instantiateInitialViewController(error);
    if (!root) return nullptr;
    if (dynamic_cast<TodayViewController*>(root.get()) == nullptr) {
        error = "the initial scene of the storyboard Today is not the widget";
        return nullptr;
    }
    return std::unique_ptr<TodayViewController>(static_cast<TodayViewController*>(root.release()));
}

host::PanelHost::Factory TodayStartup::factory() {
    return []() -> std::unique_ptr<uikit::ViewController> {
        foundation::Bundle::mainBundle().setInfoDictionary({
            {"CFBundleIdentifier", widgetIdentifier},
            {"CFBundleShortVersionString", AppIdentity::shortVersion},
            {"CFBundleVersion", AppIdentity::buildVersion},
        });
        std::string error;
        auto widget = makeWidget(error);
        if (!widget) foundation::Log::error(error);
        return widget;
    };
}

}  // namespace ostrelo
