#include "platform/host/LaunchRequest.h"

#include "platform/uikit/Application.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace host {

namespace {

constexpr std::array<std::pair<LaunchRequest::Kind, std::string_view>, 4> kindNames{{
    {LaunchRequest::Kind::activate, "activate"},
    {LaunchRequest::Kind::shortcut, "shortcut"},
    {LaunchRequest::Kind::url, "url"},
    {LaunchRequest::Kind::activity, "activity"},
}};

bool hasControlCharacters(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

bool isShortcutName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
    });
}

}  // namespace

std::string LaunchRequest::encode() const {
    for (const auto& [k, name] : kindNames)
        if (k == kind) return kind == Kind::activate ? std::string(name) : std::string(name) + " " + value;
    return {};
}

std::optional<LaunchRequest> LaunchRequest::decode(std::string_view text) {
    if (hasControlCharacters(text)) return std::nullopt;
    std::string_view word = text.substr(0, text.find(' '));
    std::string_view rest = word.size() < text.size() ? text.substr(word.size() + 1) : std::string_view();
    for (const auto& [k, name] : kindNames) {
        if (word != name) continue;
        if (k == Kind::activate) return text == name ? std::optional(LaunchRequest{}) : std::nullopt;
        if (k != Kind::activity && rest.empty()) return std::nullopt;
        return LaunchRequest{k, std::string(rest)};
    }
    return std::nullopt;
}

std::optional<LaunchRequest> LaunchRequest::fromArguments(const std::vector<std::string>& arguments,
                                                          const AppDescription& app) {
    if (std::any_of(arguments.begin(), arguments.end(), [](const std::string& a) { return hasControlCharacters(a); }))
        return std::nullopt;
    if (arguments.empty()) return LaunchRequest{};
    const std::string& first = arguments[0];
    if (first == "--shortcut") {
        if (arguments.size() != 2 || !isShortcutName(arguments[1])) return std::nullopt;
        const auto& actions = app.quickActions;
        if (!actions.empty() && std::none_of(actions.begin(), actions.end(), [&](const AppDescription::QuickAction& a) {
                return a.name == arguments[1];
            }))
            return std::nullopt;
        return LaunchRequest{Kind::shortcut, app.bundleIdentifier + "." + arguments[1]};
    }
    if (first == "--continue-activity") {
        if (arguments.size() > 2) return std::nullopt;
        if (arguments.size() == 1) return LaunchRequest{Kind::activity, {}};
        std::error_code error;
        std::filesystem::path file = std::filesystem::absolute(arguments[1], error);
        if (error || arguments[1].empty()) return std::nullopt;
        return LaunchRequest{Kind::activity, file.string()};
    }
    const bool ownScheme = app.urlScheme.empty() || first.rfind(app.urlScheme + ":", 0) == 0;
    if (arguments.size() == 1 && first.rfind("-", 0) != 0 && ownScheme && uikit::Application::shared().canOpenURL(first))
        return LaunchRequest{Kind::url, first};
    return std::nullopt;
}

std::string LaunchRequest::usage(const AppDescription& app) {
    std::string names;
    for (const auto& action : app.quickActions) names += (names.empty() ? "" : "|") + action.name;
    return "usage: " + app.name + " [--shortcut " + (names.empty() ? "NAME" : names) + " | --continue-activity [FILE] | " +
           (app.urlScheme.empty() ? "URL" : app.urlScheme + "://") + "]";
}

}  // namespace host
