#pragma once

#include <optional>
#include <string_view>

namespace host {

// How many pixels a desktop window draws per point: the desktop's own scale, from its font
// resolution in the X resources (Xft.dpi: 96 is one pixel per point, 192 two), unless the
// environment names one (OSTRELO_SCALE, any positive number). Either is rounded to the nearest
// quarter and kept between 1 and 4; a resolution that is missing or no number means 1, and an
// environment value that is no positive number is logged once and ignored.
class DisplayScale {
public:
    static constexpr const char* variable = "OSTRELO_SCALE";
    static constexpr double smallest = 1, largest = 4;

    // `resources`: the X resources as the server holds them (RESOURCE_MANAGER), or null;
    // `override`: the environment's value, or null.
    static double choose(const char* resources, const char* override);
    // The scale of a font resolution in dots per inch; none when it is no positive number.
    static std::optional<double> ofResolution(std::string_view dpi);
    // A scale as given, rounded to a quarter and kept in range; none when it is no positive number.
    static std::optional<double> ofText(std::string_view scale);
};

}  // namespace host
