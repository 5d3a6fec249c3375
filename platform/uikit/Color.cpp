#include "platform/uikit/Color.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace uikit {

Color Color::fromHSB(double h, double s, double v, double alpha) {
    h = h - std::floor(h);
    double i = std::floor(h * 6);
    double f = h * 6 - i;
    double p = v * (1 - s), q = v * (1 - f * s), t = v * (1 - (1 - f) * s);
    switch (static_cast<int>(i) % 6) {
        case 0: return {v, t, p, alpha};
        case 1: return {q, v, p, alpha};
        case 2: return {p, v, t, alpha};
        case 3: return {p, q, v, alpha};
        case 4: return {t, p, v, alpha};
        default: return {v, p, q, alpha};
    }
}

bool Color::parse(const char* text, Color& out) {
    std::string s(text);
    if (s == "clear") { out = clear(); return true; }
    if (s == "black") { out = black(); return true; }
    if (s == "white") { out = white(); return true; }
    if (s == "red") { out = redColor(); return true; }
    if (!s.empty() && s[0] == '#') {
        unsigned r = 0, g = 0, b = 0, a = 255;
        if (s.size() == 7 && std::sscanf(s.c_str(), "#%2x%2x%2x", &r, &g, &b) == 3) {
        } else if (s.size() == 9 && std::sscanf(s.c_str(), "#%2x%2x%2x%2x", &r, &g, &b, &a) == 4) {
        } else {
            return false;
        }
        out = {r / 255.0, g / 255.0, b / 255.0, a / 255.0};
        return true;
    }
    int r = 0, g = 0, b = 0, a = 255, used = 0;
    int n = std::sscanf(s.c_str(), "%d,%d,%d%n,%d%n", &r, &g, &b, &used, &a, &used);
    if (n < 3 || static_cast<std::size_t>(used) != s.size()) return false;
    for (int v : {r, g, b, a})
        if (v < 0 || v > 255) return false;
    out = {r / 255.0, g / 255.0, b / 255.0, a / 255.0};
    return true;
}

Color Color::interpolate(const Color& f, const Color& t, double k) {
    auto mix = [k](double x, double y) { return x + (y - x) * k; };
    return {mix(f.red, t.red), mix(f.green, t.green), mix(f.blue, t.blue), mix(f.alpha, t.alpha)};
}

}  // namespace uikit
