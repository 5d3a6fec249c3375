#pragma once

namespace ostrelo {

// Who the app is: the bundle identifier that prefixes its quick-action and activity types, and
// the version texts of its bundle.
struct AppIdentity {
    static constexpr const char* bundleIdentifier = "org.ostrelo().Ostrelo";
    static constexpr const char* shortVersion = "1.0";
    static constexpr const char* buildVersion = "1";
};

}  // namespace ostrelo
