#pragma once

#include "platform/host/AppDescription.h"

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
    // activate; "--shortcut NAME" runs the quick action of the app's bundle identifier, a dot
    // and NAME, one of its quick actions (any name when it lists none); "--continue-activity
    // [FILE]" continues an activity; one argument with the app's URL scheme (any URL that can
    // be opened when it names none) opens it. None for anything else.
    static std::optional<LaunchRequest> fromArguments(const std::vector<std::string>& arguments,
                                                      const AppDescription& app);
    // The usage line of those arguments, naming the app's quick actions.
    static std::string usage(const AppDescription& app);

    friend bool operator==(const LaunchRequest&, const LaunchRequest&) = default;
};

}  // namespace host
