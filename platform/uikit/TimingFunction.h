#pragma once

namespace uikit {

// A cubic timing curve from (0, 0) to (1, 1) with two control points.
class TimingFunction {
public:
    static TimingFunction linear() { return {0, 0, 1, 1}; }
    static TimingFunction easeIn() { return {0.42, 0, 1, 1}; }
    static TimingFunction easeOut() { return {0, 0, 0.58, 1}; }
    static TimingFunction easeInEaseOut() { return {0.42, 0, 0.58, 1}; }
    static TimingFunction defaultFunction() { return {0.25, 0.1, 0.25, 1}; }

    TimingFunction(double x1, double y1, double x2, double y2) : x1_(x1), y1_(y1), x2_(x2), y2_(y2) {}
    // Progress for elapsed fraction t (clamped to 0...1).
    double evaluate(double t) const;
    friend bool operator==(const TimingFunction&, const TimingFunction&) = default;

private:
    double x1_, y1_, x2_, y2_;
};

}  // namespace uikit
