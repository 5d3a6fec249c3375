#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace uikit {

enum class ApplicationState { active = 0, inactive = 1, background = 2 };

// The running application: its state, the names of its lifecycle notifications (posted by the
// host on the default notification centre), URL opening and the alternate icon, both recorded
// for the host and handed to it.
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

    // Alternate icons: the host says whether it can change the icon. A request is recorded, the
    // name is kept in the group directory (later starts find it, as the system keeps the icon)
    // and handed to the host; its completion runs on the main queue with no error, or with one
    // when icons cannot change.
    bool supportsAlternateIcons = true;
    void setAlternateIconName(std::optional<std::string> name,
                              std::function<void(std::optional<std::string> error)> completion = {});
    // The name chosen last, by this process or an earlier one; none for the primary icon.
    std::optional<std::string> alternateIconName() const;
    const std::vector<std::optional<std::string>>& alternateIconRequests() const { return iconRequests_; }

    // Set by a host that does more than keep the records: what it does with an opened URL, and
    // how it shows a chosen icon. Cleared by the host when it ends.
    std::function<void(const std::string& url)> urlHandler;
    std::function<void(const std::optional<std::string>& iconName)> iconHandler;

    void clearRecords();

private:
    std::vector<std::string> openedURLs_;
    std::vector<std::optional<std::string>> iconRequests_;
};

}  // namespace uikit
