#include "platform/uikit/TimingFunction.h"

#include <cmath>

namespace uikit {

double TimingFunction::evaluate(double t) const {
    if (t <= 0) return 0;
    if (t >= 1) return 1;
    auto bezier = [](double p1, double p2, double s) {
        double u = 1 - s;
        return 3 * u * u * s * p1 + 3 * u * s * s * p2 + s * s * s;
    };
    // Solve x(s) = t by bisection (monotonic for control x in 0...1), then return y(s).
    double lo = 0, hi = 1, s = t;
    for (int i = 0; i < 64; ++i) {
        s = (lo + hi) / 2;
        double x = bezier(x1_, x2_, s);
        if (std::fabs(x - t) < 1e-14) break;
        if (x < t) lo = s;
        else hi = s;
    }
    return bezier(y1_, y2_, s);
}

}  // namespace uikit
