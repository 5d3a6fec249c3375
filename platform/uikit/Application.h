#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace uikit {

enum class ApplicationState { active = 0, inactive = 1, background = 2 };

// The running application: its state, the names of its lifecycle notifications (posted by the
// host on the default notification centre), URL opening and the alternate icon, both recorded
// for the host.
class Application {
public:
    static constexpr const char* didBecomeActiveNotification = "UIApplicationDidBecomeActiveNotification";
    static constexpr const char* didEnterBackgroundNotification = "UIApplicationDidEnterBackgroundNotification";
    static constexpr const char* willEnterForegroundNotification = "UIApplicationWillEnterForegroundNotification";
    static constexpr const char* willResignActiveNotification = "UIApplicationWillResignActiveNotification";

    // The URL that opens this application's page of the system settings.
    static constexpr const char* openSettingsURLString = "app-settings:";

    static Application& shared();

    ApplicationState applicationState = ApplicationState::active;
    // Records the request; true when the URL is not empty.
    bool openURL(const std::string& url);
    // True when the URL has a scheme ("scheme:..." with a letter first).
    bool canOpenURL(const std::string& url) const;
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }

    // Alternate icons: the host says whether it can change the icon; a request is recorded and
    // its completion runs on the main queue with no error, or with one when icons cannot change.
    bool supportsAlternateIcons = true;
    void setAlternateIconName(std::optional<std::string> name,
                              std::function<void(std::optional<std::string> error)> completion = {});
    const std::optional<std::string>& alternateIconName() const { return alternateIconName_; }
    const std::vector<std::optional<std::string>>& alternateIconRequests() const { return iconRequests_; }

    void clearRecords();

private:
    std::vector<std::string> openedURLs_;
    std::optional<std::string> alternateIconName_;
    std::vector<std::optional<std::string>> iconRequests_;
};

}  // namespace uikit
