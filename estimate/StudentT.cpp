#include "estimate/StudentT.h"

#include <cmath>
#include <limits>

namespace quilvane {
namespace {

constexpr double Pi = 3.141592653589793;
constexpr double SimpsonTolerance = 1e-6;
constexpr int MaxSimpsonPasses = 999;
// 10 * 2^20 intervals: far beyond what any smooth integrand here needs, still quick.
constexpr long long MaxSimpsonIntervals = 10LL << 20;
constexpr double QuantileTolerance = 1e-6;
constexpr int MaxHalvings = 999;
// Bracket steps: the bracket ends are halved or doubled; 2^-1074 and 2^1024 end any real search.
constexpr int MaxBracketSteps = 1100;

double SimpsonPass(const std::function<double(double)>& f, double a, double b, long long n)
{
    const double h = (b - a) / static_cast<double>(n);
    double sum = f(a) + f(b);
    for (long long i = 1; i < n; ++i) {
        sum += (i % 2 == 1 ? 4.0 : 2.0) * f(a + static_cast<double>(i) * h);
    }
    return h / 3.0 * sum;
}

} // namespace

double SimpsonIntegrate(const std::function<double(double)>& f, double a, double b)
{
    double previous = 0.0;
    double s = 0.0;
    long long n = 10;
    for (int pass = 0; pass < MaxSimpsonPasses; ++pass) {
        s = SimpsonPass(f, a, b, n);
        if (!std::isfinite(s) || std::fabs(s - previous) <= SimpsonTolerance || n >= MaxSimpsonIntervals) {
            return s;
        }
        previous = s;
        n *= 2;
    }
    return s;
}

double LogGamma(double x)
{
    static constexpr double Coefficients[] = {76.18009173,  -86.50532033,  24.01409822,
                                              -1.231739516, 0.00120858003, -5.36382e-06};
    double xx = x - 1.0;
    double tmp = xx + 5.5;
    tmp -= (xx + 0.5) * std::log(tmp);
    double ser = 1.0;
    for (double c : Coefficients) {
        xx += 1.0;
        ser += c / xx;
    }
    return -tmp + std::log(2.50662827465 * ser);
}

double StudentTCdf(double t, double nu)
{
    const double c = std::exp(LogGamma((nu + 1.0) / 2.0) - LogGamma(nu / 2.0)) / std::sqrt(nu * Pi);
    const double exponent = -(nu + 1.0) / 2.0;
    auto density = [nu, exponent](double x) { return std::pow(1.0 + x * x / nu, exponent); };
    return 0.5 + c * SimpsonIntegrate(density, 0.0, t);
}

double StudentTQuantile(double p, double nu)
{
    if (!(p > 0.5 && p < 1.0) || !(nu > 0.0) || !std::isfinite(nu)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    double lower = 1.0;
    double upper = 3.0;
    if (StudentTCdf(lower, nu) > p) {
        int steps = 0;
        do {
            upper = lower;
            lower /= 2.0;
        } while (StudentTCdf(lower, nu) > p && ++steps < MaxBracketSteps);
    }
    if (StudentTCdf(upper, nu) < p) {
        int steps = 0;
        do {
            lower = upper;
            upper *= 2.0;
        } while (StudentTCdf(upper, nu) < p && ++steps < MaxBracketSteps);
    }
    for (int i = 0; i < MaxHalvings && upper - lower > QuantileTolerance; ++i) {
        double middle = (lower + upper) / 2.0;
        if (StudentTCdf(middle, nu) <= p) {
            lower = middle;
        } else {
            upper = middle;
        }
    }
    return lower;
}

} // namespace quilvane
