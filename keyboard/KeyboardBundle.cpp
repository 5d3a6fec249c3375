#include "keyboard/KeyboardBundle.h"

#include "platform/foundation/Bundle.h"
#include "screens/AppIdentity.h"
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
