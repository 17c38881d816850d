#include "base/TimingCurve.h"

#include <algorithm>
#include <cmath>

namespace vesk {

namespace {

// One coordinate of a cubic Bezier from (0, 0) to (1, 1) with control points p1, p2.
double bezier(double s, double p1, double p2) {
    const double u = 1.0 - s;
    return 3.0 * u * u * s * p1 + 3.0 * u * s * s * p2 + s * s * s;
}

double bezierSlope(double s, double p1, double p2) {
    const double u = 1.0 - s;
    return 3.0 * u * u * p1 + 6.0 * u * s * (p2 - p1) + 3.0 * s * s * (1.0 - p2);
}

} // namespace

double timingCurveValue(TimingCurve curve, double t) {
    t = std::clamp(t, 0.0, 1.0);
    if (curve == TimingCurve::Linear)
        return t;
    constexpr double x1 = 0.42, y1 = 0.0, x2 = 0.58, y2 = 1.0;
    // Solve x(s) = t for the curve parameter: Newton steps, bisection as a fallback.
    double s = t;
    for (int i = 0; i < 8; ++i) {
        const double err = bezier(s, x1, x2) - t;
        const double slope = bezierSlope(s, x1, x2);
        if (std::fabs(err) < 1e-9)
            return bezier(s, y1, y2);
        if (std::fabs(slope) < 1e-6)
            break;
        s = std::clamp(s - err / slope, 0.0, 1.0);
    }
    double lo = 0.0, hi = 1.0;
    s = t;
    for (int i = 0; i < 60; ++i) {
        if (bezier(s, x1, x2) < t)
            lo = s;
        else
            hi = s;
        s = (lo + hi) / 2.0;
    }
    return bezier(s, y1, y2);
}

} // namespace vesk
