#pragma once

namespace vesk {

// Progress curves of the chrome's animations, from time fraction to value fraction.
enum class TimingCurve { Linear, EaseInEaseOut };

// The curve's value at time fraction t (clamped to 0..1). Ease-in-ease-out is
// the cubic Bezier through (0.42, 0) and (0.58, 1).
double timingCurveValue(TimingCurve curve, double t);

} // namespace vesk
