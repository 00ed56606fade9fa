#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "estimate/ProbeFit.h"
#include "estimate/StudentT.h"

using namespace quilvane;

namespace {

using Matrix = std::vector<std::vector<double>>;

// Least squares by Householder QR of the design matrix in long double: a different road from the
// normal equations that the fit takes.
std::array<long double, 4> ReferenceFit(const std::vector<HistoryPoint>& h)
{
    const std::size_t n = h.size();
    std::vector<std::array<long double, 5>> a(n);
    for (std::size_t i = 0; i < n; ++i) {
        a[i] = {1.0L, h[i].actualReuse, h[i].actualDelete, h[i].actualNew, h[i].actualMinutes};
    }
    for (std::size_t k = 0; k < 4; ++k) {
        long double norm = 0;
        for (std::size_t i = k; i < n; ++i) {
            norm += a[i][k] * a[i][k];
        }
        norm = std::sqrt(norm);
        long double alpha = a[k][k] > 0 ? -norm : norm;
        std::vector<long double> v(n, 0);
        for (std::size_t i = k; i < n; ++i) {
            v[i] = a[i][k];
        }
        v[k] -= alpha;
        long double vv = 0;
        for (std::size_t i = k; i < n; ++i) {
            vv += v[i] * v[i];
        }
        for (std::size_t c = k; c < 5; ++c) {
            long double dot = 0;
            for (std::size_t i = k; i < n; ++i) {
                dot += v[i] * a[i][c];
            }
            for (std::size_t i = k; i < n; ++i) {
                a[i][c] -= 2 * dot / vv * v[i];
            }
        }
    }
    std::array<long double, 4> x{};
    for (int k = 3; k >= 0; --k) {
        long double s = a[k][4];
        for (int c = k + 1; c < 4; ++c) {
            s -= a[k][c] * x[c];
        }
        x[k] = s / a[k][k];
    }
    return x;
}

// Ten finished projects: a linear model with noise, sizes that vary independently enough.
std::vector<HistoryPoint> TenProjects()
{
    const double x1[] = {0, 50, 120, 80, 200, 30, 150, 90, 60, 10};
    const double x2[] = {0, 5, 20, 10, 40, 3, 15, 12, 8, 1};
    const double x3[] = {100, 80, 150, 60, 220, 90, 130, 70, 50, 200};
    const double noise[] = {3, -5, 7, -2, 4, -6, 1, 2, -3, 5};
    std::vector<HistoryPoint> h;
    for (int i = 0; i < 10; ++i) {
        h.push_back({x1[i], x2[i], x3[i], 20 + 0.1 * x1[i] + 0.5 * x2[i] + 1.2 * x3[i] + noise[i]});
    }
    return h;
}

// Truncation keeps the sign and drops less than 1e-4 of magnitude.
void ExpectTruncatedFrom(double shown, long double exact)
{
    EXPECT_LE(std::fabs(shown), std::fabs(static_cast<double>(exact)) + 1e-12);
    EXPECT_LT(std::fabs(static_cast<double>(exact)) - std::fabs(shown), 1e-4 + 1e-12);
    EXPECT_NEAR(std::round(shown * 10000.0), shown * 10000.0, 1e-6);
}

} // namespace

TEST(ProbeSolve, SolvesWithPivotingWhereTheFirstPivotIsZero)
{
    Matrix a{{0, 2, 1, 7}, {1, 1, 1, 6}, {2, 1, -1, 1}};
    std::vector<double> x;
    ASSERT_TRUE(SolveLinearSystem(a, x).Ok());
    ASSERT_EQ(x.size(), 3u);
    EXPECT_NEAR(x[0], 1.0, 1e-12);
    EXPECT_NEAR(x[1], 2.0, 1e-12);
    EXPECT_NEAR(x[2], 3.0, 1e-12);
}

TEST(ProbeSolve, ExactZeroPivotIsSingularAndWritesNothing)
{
    Matrix a{{1, 2, 3}, {2, 4, 6}};
    std::vector<double> x{7, 7};
    EXPECT_FALSE(SolveLinearSystem(a, x).Ok());
    EXPECT_EQ(x, (std::vector<double>{7, 7}));
}

TEST(ProbeSolve, EmptySystemSucceedsAndMalformedRowsAreRefused)
{
    Matrix empty;
    std::vector<double> x{1};
    EXPECT_TRUE(SolveLinearSystem(empty, x).Ok());
    Matrix ragged{{1, 2, 3}, {4, 5}};
    EXPECT_FALSE(SolveLinearSystem(ragged, x).Ok());
}

TEST(ProbeFit, EmptyHistoryGivesZeroCoefficients)
{
    EXPECT_EQ(FitCoefficients({}), ProbeCoefficients());
}

TEST(ProbeFit, TooFewDistinctPointsAreSingular)
{
    std::vector<HistoryPoint> same(6, HistoryPoint{10, 2, 30, 50});
    EXPECT_EQ(FitCoefficients(same), ProbeCoefficients());
}

TEST(ProbeFit, CoefficientsAgreeWithAnIndependentLeastSquaresFit)
{
    auto history = TenProjects();
    ProbeCoefficients fit = FitCoefficients(history);
    auto ref = ReferenceFit(history);
    ExpectTruncatedFrom(fit.constant, ref[0]);
    ExpectTruncatedFrom(fit.reuseCoef, ref[1]);
    ExpectTruncatedFrom(fit.deleteCoef, ref[2]);
    ExpectTruncatedFrom(fit.newCoef, ref[3]);
    EXPECT_NEAR(fit.newCoef, 1.2, 0.1);
}

TEST(ProbeFit, CoefficientsAreCutTowardZeroToFourDecimals)
{
    EXPECT_DOUBLE_EQ(TruncateToFourDecimals(0.99999), 0.9999);
    EXPECT_DOUBLE_EQ(TruncateToFourDecimals(-2.50009), -2.5);
    EXPECT_DOUBLE_EQ(TruncateToFourDecimals(1.23459), 1.2345);
    EXPECT_FALSE(std::signbit(TruncateToFourDecimals(-0.00007)));
    EXPECT_DOUBLE_EQ(TruncateToFourDecimals(1e300), 1e300);

    // Exact data y = 0.99999 + 0 x1 - 2.50009 x2 + 0 x3: the fit shows the cut values.
    std::vector<HistoryPoint> h;
    for (int i = 0; i < 8; ++i) {
        double x1 = i * 3 % 7;
        double x2 = i;
        double x3 = i * i % 5;
        h.push_back({x1, x2, x3, 0.99999 - 2.50009 * x2});
    }
    ProbeCoefficients fit = FitCoefficients(h);
    EXPECT_NEAR(fit.constant, 0.9999, 1e-9);
    EXPECT_NEAR(fit.deleteCoef, -2.5, 1e-9);
}

class ProbeInterval : public ::testing::Test {
protected:
    // Five points on the zero sizes with y = 1: RSS 5, no spread, so range = t * sqrt(1.2) * sqrt(5 / nu).
    std::vector<HistoryPoint> Flat(int n) { return std::vector<HistoryPoint>(n, HistoryPoint{0, 0, 0, 1}); }
};

TEST_F(ProbeInterval, FourPointsGiveNoInterval)
{
    ProbeCoefficients c{2, 0.5, 0, 1};
    ProbePrediction p = PredictionRange(Flat(4), 0.95, c, {10, 3, 20});
    EXPECT_DOUBLE_EQ(p.prediction, 2 + 5 + 20);
    EXPECT_LT(p.range, 0);
}

TEST_F(ProbeInterval, FivePointsUseOneDegreeOfFreedom)
{
    ProbePrediction p = PredictionRange(Flat(5), 0.95, ProbeCoefficients(), {7, 8, 9});
    EXPECT_NEAR(p.range, 12.7062 * std::sqrt(1.2) * std::sqrt(5.0), 1e-3);
}

TEST_F(ProbeInterval, RangeAgreesWithAnIndependentComputation)
{
    auto history = TenProjects();
    ProbeCoefficients c = FitCoefficients(history);
    const ProbeSize size{100, 10, 120};
    ProbePrediction p = PredictionRange(history, 0.95, c, size);

    long double rss = 0;
    std::array<long double, 3> mean{};
    for (const auto& h : history) {
        long double r = h.actualMinutes - (c.constant + c.reuseCoef * h.actualReuse +
                                           c.deleteCoef * h.actualDelete + c.newCoef * h.actualNew);
        rss += r * r;
        mean[0] += h.actualReuse / 10.0L;
        mean[1] += h.actualDelete / 10.0L;
        mean[2] += h.actualNew / 10.0L;
    }
    std::array<long double, 3> spread{};
    for (const auto& h : history) {
        spread[0] += (h.actualReuse - mean[0]) * (h.actualReuse - mean[0]);
        spread[1] += (h.actualDelete - mean[1]) * (h.actualDelete - mean[1]);
        spread[2] += (h.actualNew - mean[2]) * (h.actualNew - mean[2]);
    }
    long double terms = (size.reuseLoc - mean[0]) * (size.reuseLoc - mean[0]) / spread[0] +
                        (size.deleteLoc - mean[1]) * (size.deleteLoc - mean[1]) / spread[1] +
                        (size.newLoc - mean[2]) * (size.newLoc - mean[2]) / spread[2];
    // t(0.975, 6) from the table.
    long double expected = 2.446912L * std::sqrt(1 + 0.1L + terms) * std::sqrt(rss / 6);
    EXPECT_NEAR(p.range, static_cast<double>(expected), 1e-4 * static_cast<double>(expected));
    EXPECT_DOUBLE_EQ(p.prediction, c.constant + 100 * c.reuseCoef + 10 * c.deleteCoef + 120 * c.newCoef);
}

TEST_F(ProbeInterval, SizeWithoutSpreadAddsNoTerm)
{
    // Every point has the same deleted size: that size's term is left out instead of dividing by 0.
    auto history = TenProjects();
    for (auto& h : history) {
        h.actualDelete = 4;
    }
    ProbeCoefficients c{1, 0, 0, 1};
    ProbePrediction near = PredictionRange(history, 0.95, c, {90, 4, 115});
    ProbePrediction far = PredictionRange(history, 0.95, c, {90, 4000, 115});
    EXPECT_TRUE(std::isfinite(near.range));
    EXPECT_DOUBLE_EQ(near.range, far.range);
}

TEST(ProbeEstimate, RefitResetsThenFitsAndPredictsWithTheNewCoefficients)
{
    ProbeCoefficients c{9, 9, 9, 9};
    ProbePrediction p = EstimateFromHistory({}, true, c, {1, 2, 3}, 0.95);
    EXPECT_EQ(c, ProbeCoefficients());
    EXPECT_DOUBLE_EQ(p.prediction, 0.0);
    EXPECT_LT(p.range, 0);
}

TEST(ProbeEstimate, HistoryHasOnePointPerRecordInKeyOrder)
{
    StatStore store;
    store.records["b"] = {true, "", 0, 0, 0, 0, 1, 2, 3, 4, 0};
    store.records["a"] = {false, "", 9, 9, 9, 9, 0, 0, 0, 0, 0}; // unfinished: zeros still count
    auto h = HistoryFromStore(store);
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(h[0].actualMinutes, 0);
    EXPECT_EQ(h[1].actualReuse, 1);
    EXPECT_EQ(h[1].actualDelete, 2);
    EXPECT_EQ(h[1].actualNew, 3);
    EXPECT_EQ(h[1].actualMinutes, 4);
}
