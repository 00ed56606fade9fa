#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "estimate/StudentT.h"

using namespace quilvane;

namespace {

// An independent t quantile: the density from the standard library's lgamma, integrated with a
// fine midpoint rule in long double, inverted by bisection to 1e-10.
long double ReferenceCdf(long double t, long double nu)
{
    const long double c =
        std::exp(std::lgamma((nu + 1) / 2) - std::lgamma(nu / 2)) / std::sqrt(nu * std::numbers::pi_v<long double>);
    const int steps = 200000;
    const long double h = t / steps;
    long double sum = 0;
    for (int i = 0; i < steps; ++i) {
        long double x = (i + 0.5L) * h;
        sum += std::pow(1 + x * x / nu, -(nu + 1) / 2);
    }
    return 0.5L + c * sum * h;
}

double ReferenceQuantile(double p, double nu)
{
    long double lo = 0;
    long double hi = 100;
    while (hi - lo > 1e-10L) {
        long double mid = (lo + hi) / 2;
        (ReferenceCdf(mid, nu) < p ? lo : hi) = mid;
    }
    return static_cast<double>(lo);
}

} // namespace

TEST(ProbeStudentT, QuantileForOneDegreeIsTwelvePointSevenZeroSix)
{
    // For one degree of freedom t is the Cauchy quantile tan(pi (p - 1/2)).
    double expected = std::tan(std::numbers::pi * 0.475);
    EXPECT_NEAR(StudentTQuantile(0.975, 1), expected, 1e-4);
    EXPECT_NEAR(StudentTQuantile(0.975, 1), 12.706, 1e-3);
}

TEST(ProbeStudentT, QuantilesMatchTablesAndAnIndependentComputation)
{
    // Two-sided 95% values from the usual t table.
    const std::pair<double, double> table[] = {{2, 4.303}, {3, 3.182}, {4, 2.776}, {6, 2.447},
                                              {10, 2.228}, {30, 2.042}, {120, 1.980}};
    for (auto [nu, t] : table) {
        double q = StudentTQuantile(0.975, nu);
        EXPECT_NEAR(q, t, 1.5e-3) << nu;
        EXPECT_NEAR(q, ReferenceQuantile(0.975, nu), 2e-5) << nu;
    }
    EXPECT_NEAR(StudentTQuantile(0.9, 5), ReferenceQuantile(0.9, 5), 2e-5);
}

TEST(ProbeStudentT, QuantileBelowOneBracketsDownward)
{
    // p = 0.6 lies below StudentTCdf(1), so the bracket search halves the lower end.
    EXPECT_NEAR(StudentTQuantile(0.6, 8), ReferenceQuantile(0.6, 8), 2e-5);
}

TEST(ProbeStudentT, QuantileIsTheLowerEndOfTheFinalBracket)
{
    double q = StudentTQuantile(0.975, 4);
    EXPECT_LE(StudentTCdf(q, 4), 0.975);
}

TEST(ProbeStudentT, UnreachableProbabilitiesGiveNaNInsteadOfSearchingForever)
{
    EXPECT_TRUE(std::isnan(StudentTQuantile(0.5, 3)));
    EXPECT_TRUE(std::isnan(StudentTQuantile(0.2, 3)));
    EXPECT_TRUE(std::isnan(StudentTQuantile(1.0, 3)));
    EXPECT_TRUE(std::isnan(StudentTQuantile(0.975, 0)));
    EXPECT_TRUE(std::isnan(StudentTQuantile(std::nan(""), 3)));
}

TEST(ProbeStudentT, CdfIsOneHalfAtZeroAndSymmetric)
{
    EXPECT_DOUBLE_EQ(StudentTCdf(0.0, 3), 0.5);
    EXPECT_NEAR(StudentTCdf(-2.0, 3) + StudentTCdf(2.0, 3), 1.0, 1e-12);
    EXPECT_NEAR(StudentTCdf(1.0, 1), 0.75, 1e-7);
}

TEST(ProbeLogGamma, MatchesFactorialsAndHalfIntegers)
{
    EXPECT_NEAR(LogGamma(1.0), 0.0, 1e-9);
    EXPECT_NEAR(LogGamma(5.0), std::log(24.0), 1e-9);
    EXPECT_NEAR(LogGamma(0.5), std::log(std::sqrt(std::numbers::pi)), 1e-8);
    EXPECT_NEAR(LogGamma(100.5), std::lgamma(100.5), 1e-8);
}

TEST(ProbeSimpson, IntegratesPolynomialsAndReversedBounds)
{
    EXPECT_NEAR(SimpsonIntegrate([](double x) { return x * x; }, 0.0, 3.0), 9.0, 1e-12);
    EXPECT_NEAR(SimpsonIntegrate([](double x) { return std::exp(x); }, 1.0, 0.0), 1.0 - std::exp(1.0), 1e-6);
    EXPECT_DOUBLE_EQ(SimpsonIntegrate([](double) { return 5.0; }, 2.0, 2.0), 0.0);
}

TEST(ProbeSimpson, NonConvergingIntegrandStopsInsteadOfRunningForever)
{
    double s = SimpsonIntegrate([](double x) { return 1.0 / x; }, 0.0, 1.0); // infinite at 0
    EXPECT_FALSE(std::isfinite(s));
    // Oscillation that never settles within 1e-6: the interval cap ends the doubling.
    double wobble = SimpsonIntegrate([](double x) { return std::sin(1e9 * x); }, 0.0, 1.0);
    EXPECT_TRUE(std::isfinite(wobble));
}
