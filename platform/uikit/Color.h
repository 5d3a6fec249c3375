#pragma once

namespace uikit {

// An RGBA colour, channels 0 to 1. Equality compares the channels.
struct Color {
    double red = 0, green = 0, blue = 0, alpha = 1;

    static Color rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0, 1.0}; }
    static Color clear() { return {0, 0, 0, 0}; }
    static Color black() { return {0, 0, 0, 1}; }
    static Color white() { return {1, 1, 1, 1}; }
    static Color redColor() { return {1, 0, 0, 1}; }
    static Color fromHSB(double hue, double saturation, double brightness, double alpha = 1.0);
    // "#RRGGBB", "#RRGGBBAA", "r,g,b" or "r,g,b,a" (0 to 255), or a name: clear, black, white, red.
    static bool parse(const char* text, Color& out);
    friend bool operator==(const Color&, const Color&) = default;
    static Color interpolate(const Color& from, const Color& to, double t);
};

}  // namespace uikit
