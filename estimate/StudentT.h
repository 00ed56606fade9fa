#pragma once
// The Student t distribution as the PROBE interval needs it, built only on square root,
// logarithm, exponential and power, so that its figures match the original tool's digit for digit.
#include <functional>

namespace quilvane {

// Composite Simpson rule over [a, b], starting with 10 intervals and doubling them until two
// passes differ by at most 1e-6. The doubling stops early at a cap on the interval count (the
// original's 999 passes would never end), and at once when a pass is not a finite number.
double SimpsonIntegrate(const std::function<double(double)>& f, double a, double b);

// ln Γ(x) by the six-term series (76.18009173, ...); good to about 1e-10 for x >= 1.
double LogGamma(double x);

// P(T <= t) for T with `nu` degrees of freedom: 0.5 plus the density integrated from 0 to t.
double StudentTCdf(double t, double nu);

// The t with StudentTCdf(t, nu) = p, by bracketing and bisection to 1e-6; the lower end of the
// last bracket. Defined for 0.5 < p < 1 and nu > 0; otherwise NaN (the search would never end).
double StudentTQuantile(double p, double nu);

} // namespace quilvane
