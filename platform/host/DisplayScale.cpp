#include "platform/host/DisplayScale.h"

#include "platform/foundation/Log.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace host {

namespace {

// The whole text as a finite positive number (blanks around it allowed).
std::optional<double> positiveNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n')) text.remove_suffix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value <= 0)
        return std::nullopt;
    return value;
}

double rounded(double scale) { return std::clamp(std::round(scale * 4) / 4, DisplayScale::smallest, DisplayScale::largest); }

// Xft.dpi as Xlib's resource manager reads it from the server's resources.
std::optional<std::string> resolutionIn(const char* resources) {
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (database == nullptr) return std::nullopt;
    char* type = nullptr;
    XrmValue value{};
    std::optional<std::string> found;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr)
        found = std::string(value.addr);
    XrmDestroyDatabase(database);
    return found;
}

}  // namespace

std::optional<double> DisplayScale::ofResolution(std::string_view dpi) {
    const auto value = positiveNumber(dpi);
    if (!value) return std::nullopt;
    return rounded(*value / 96);
}

std::optional<double> DisplayScale::ofText(std::string_view scale) {
    const auto value = positiveNumber(scale);
    if (!value) return std::nullopt;
    return rounded(*value);
}

double DisplayScale::choose(const char* resources, const char* override) {
    if (override != nullptr && *override != '\0') {
        if (auto given = ofText(override)) return *given;
        foundation::Log::warning(std::string(variable) + "=\"" + override +
                                 "\" is not a positive number; the desktop's scale is used");
    }
    if (resources == nullptr) return 1;
    const auto dpi = resolutionIn(resources);
    return dpi ? ofResolution(*dpi).value_or(1) : 1;
}

}  // namespace host
