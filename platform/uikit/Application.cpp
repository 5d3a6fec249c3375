#include "platform/uikit/Application.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"

#include <cctype>

namespace uikit {

namespace {
// Where the chosen icon's name is kept, in the group directory's store.
constexpr const char* alternateIconKey = "UIApplicationAlternateIconName";
}  // namespace

Application& Application::shared() {
    static Application application;
    return application;
}

bool Application::openURL(const std::string& url) {
    if (url.empty()) return false;
    openedURLs_.push_back(url);
    if (urlHandler) urlHandler(url);
    return true;
}

bool Application::canOpenURL(const std::string& url) const {
    auto colon = url.find(':');
    if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(url[0]))) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        unsigned char c = static_cast<unsigned char>(url[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

void Application::setAlternateIconName(std::optional<std::string> name,
                                       std::function<void(std::optional<std::string>)> completion) {
    std::optional<std::string> error;
    if (supportsAlternateIcons) {
        iconRequests_.push_back(name);
        foundation::UserDefaults store;
        if (name) store.set(alternateIconKey, *name);
        else store.removeObject(alternateIconKey);
        if (iconHandler) iconHandler(name);
    } else {
        error = "alternate icons are not supported";
    }
    if (completion) foundation::RunLoop::main().schedule(0, [completion, error] { completion(error); });
}

std::optional<std::string> Application::alternateIconName() const {
    return foundation::UserDefaults().stringForKey(alternateIconKey);
}

void Application::clearRecords() {
    openedURLs_.clear();
    iconRequests_.clear();
    supportsAlternateIcons = true;
}

}  // namespace uikit
