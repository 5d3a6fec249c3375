#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// What a start of a program asks of the application: to come forward, to run a quick action,
// to open a URL (which only starts or raises it) or to continue an activity. A later start
// hands it to the running instance as one line of text.
struct LaunchRequest {
    enum class Kind { activate, shortcut, url, activity };

    Kind kind = Kind::activate;
    // The quick action's type, the URL, or the activity's file (empty: the activity the group
    // directory holds).
    std::string value;

    // "activate", "shortcut TYPE", "url URL" or "activity FILE".
    std::string encode() const;
    // None for text of another form, or holding control characters.
    static std::optional<LaunchRequest> decode(std::string_view text);

    // The request of a command line (the arguments after the program's name): nothing asks to
    // activate; "--shortcut NAME" runs the quick action `bundleIdentifier`.NAME;
    // "--continue-activity [FILE]" continues an activity; one argument with a URL scheme opens
    // it. None for anything else.
    static std::optional<LaunchRequest> fromArguments(const std::vector<std::string>& arguments,
                                                      const std::string& bundleIdentifier);
    // The usage line of those arguments.
    static std::string usage(const std::string& program);

    friend bool operator==(const LaunchRequest&, const LaunchRequest&) = default;
};

}  // namespace host
