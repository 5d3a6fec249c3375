#include "keyboard/KeyboardBundle.h"

#include "app/AppIdentity.h"
#include "platform/foundation/Bundle.h"
#include "ui/InterfaceKitClasses.h"

namespace ostrelo {

void KeyboardBundle::load() {
    foundation::Bundle::mainBundle().setInfoDictionary({
        {"CFBundleIdentifier", bundleIdentifier},
        {"CFBundleShortVersionString", AppIdentity::shortVersion},
        {"CFBundleVersion", AppIdentity::buildVersion},
        {"NSExtensionPrincipalClass", "KeyboardViewController"},
    });
    registerInterfaceKitClasses();
}

}  // namespace ostrelo
