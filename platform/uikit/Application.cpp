#include "platform/uikit/Application.h"

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

}  // namespace uikit
