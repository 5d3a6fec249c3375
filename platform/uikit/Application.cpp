#include "platform/uikit/Application.h"

#include "platform/foundation/RunLoop.h"

#include <cctype>

namespace uikit {

Application& Application::shared() {
    static Application application;
    return application;
}

bool Application::openURL(const std::string& url) {
    if (url.empty()) return false;
    openedURLs_.push_back(url);
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
        alternateIconName_ = std::move(name);
    } else {
        error = "alternate icons are not supported";
    }
    if (completion) foundation::RunLoop::main().schedule(0, [completion, error] { completion(error); });
}

void Application::clearRecords() {
    openedURLs_.clear();
    iconRequests_.clear();
    alternateIconName_.reset();
    supportsAlternateIcons = true;
}

}  // namespace uikit
