#include "platform/host/PanelHost.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/host/DesktopUrlOpener.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/WindowHost.h"
#include "platform/uikit/Window.h"

namespace host {

int PanelHost::run(int argc, char** argv, Factory makeWidget, const std::string& appInstanceName) {
    PanelHostController::Options options;
    // The app's program has the name of its instance.
    DesktopUrlOpener opener(foundation::UserDefaults::groupDirectory(), appInstanceName, {"xdg-open"}, appInstanceName);
    options.openURL = [opener](const std::string& url, std::function<void(bool)> completion) {
        opener.open(url, std::move(completion));
    };
    return WindowHost::run(argc, argv, description(std::move(makeWidget), std::move(options)));
}

AppDescription PanelHost::description(Factory makeWidget, PanelHostController::Options options) {
    AppDescription app;
    app.title = "Ostrelo";
    app.size = {options.compactMaximum.width, PanelHostController::headerHeight + options.compactMaximum.height};
    app.windowStyle.decorated = false;
    app.windowStyle.resizable = false;
    app.windowStyle.alwaysOnTop = true;
    app.windowStyle.placement = AppDescription::WindowStyle::Placement::topRight;
    app.singleInstance = true;
    app.dragsWindow = [](uikit::Window& window, uikit::Point point) {
        auto* panel = controller(window);
        return panel != nullptr && panel->dragsWindowAt(point);
    };
    app.makeRootViewController = [makeWidget = std::move(makeWidget), options = std::move(options)] {
        return std::make_unique<PanelHostController>(makeWidget, options);
    };
    return app;
}

PanelHostController* PanelHost::launch(HeadlessHost& host, Factory makeWidget, PanelHostController::Options options) {
    host.driver().setSafeAreaInsets({});
    host.launch(description(std::move(makeWidget), std::move(options)));
    return controller(host.window());
}

PanelHostController* PanelHost::controller(uikit::Window& window) {
    return dynamic_cast<PanelHostController*>(window.rootViewController());
}

}  // namespace host
