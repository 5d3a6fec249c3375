#pragma once

#include <string>
#include <vector>

namespace uikit {

enum class ApplicationState { active = 0, inactive = 1, background = 2 };

// The running application: its state, the names of its lifecycle notifications (posted by the
// host on the default notification centre) and URL opening, which is recorded for the host.
class Application {
public:
    static constexpr const char* didBecomeActiveNotification = "UIApplicationDidBecomeActiveNotification";
    static constexpr const char* didEnterBackgroundNotification = "UIApplicationDidEnterBackgroundNotification";
    static constexpr const char* willEnterForegroundNotification = "UIApplicationWillEnterForegroundNotification";
    static constexpr const char* willResignActiveNotification = "UIApplicationWillResignActiveNotification";

    static Application& shared();

    ApplicationState applicationState = ApplicationState::active;
    // Records the request; true when the URL is not empty.
    bool openURL(const std::string& url);
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }
    void clearRecords() { openedURLs_.clear(); }

private:
    std::vector<std::string> openedURLs_;
};

}  // namespace uikit
