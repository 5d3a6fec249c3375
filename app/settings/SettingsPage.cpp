#include "app/settings/SettingsPage.h"

#include "app/settings/SettingsPageDelegate.h"
#include "app/settings/SettingsPageViewController.h"

namespace ostrelo {

host::AppDescription SettingsPage::description() {
    host::AppDescription app;
    app.name = "ostrelo-settings";
    app.title = "Ostrelo Settings";
    app.size = {360, 200};
    // The page's switches need its whole size.
    app.windowStyle.minimumSize = app.size;
    app.makeRootViewController = [] { return std::make_unique<SettingsPageViewController>(); };
    app.makeDelegate = [] { return std::make_unique<SettingsPageDelegate>(); };
    app.singleInstance = true;
    return app;
}

}  // namespace ostrelo
