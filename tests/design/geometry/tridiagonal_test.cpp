#include "design/geometry/tridiagonal.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

// Builds an n x n dense matrix from the cyclic rows as they are laid out.
std::vector<std::vector<double>> Dense(const std::vector<CyclicRow>& rows) {
  const int n = static_cast<int>(rows.size());
  std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
  for (int i = 0; i < n; ++i) {
    a[i][i] = rows[i].Diagonal;
    if (i + 1 < n) a[i][i + 1] += rows[i].Next;
    if (i + 1 < n) a[i + 1][i] += rows[i].Lower;
  }
  a[0][n - 1] += rows[0].Last;
  a[n - 1][0] += rows[n - 2].Last;
  return a;
}

std::vector<double> Times(const std::vector<std::vector<double>>& a, const std::vector<double>& x) {
  std::vector<double> b(x.size(), 0.0);
  for (size_t i = 0; i < x.size(); ++i)
    for (size_t j = 0; j < x.size(); ++j) b[i] += a[i][j] * x[j];
  return b;
}

}  // namespace

TEST(SolveTridiagonal, SolvesASplineLikeSystem) {
  // Rows as the open spline builds them: 2 on the diagonal, weights beside it.
  std::vector<TridiagonalRow> rows = {{2, 1, 0.3}, {2, 0.7, 0.6}, {2, 0.4, 0.5}, {2, 0.5, 1}, {2, 0, 0}};
  const std::vector<double> x = {1, -2, 3.5, 0.25, -4};
  std::vector<double> b(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    b[i] = rows[i].Diagonal * x[i];
    if (i + 1 < x.size()) b[i] += rows[i].Next * x[i + 1];
    if (i > 0) b[i] += rows[i - 1].Lower * x[i - 1];
  }
  ASSERT_EQ(SolveTridiagonal(rows.data(), 5, b.data()), 1);
  for (size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(b[i], x[i], 1e-12) << i;
}

TEST(SolveTridiagonal, ZeroPivotFails) {
  std::vector<TridiagonalRow> rows = {{0, 1, 1}, {2, 0, 0}};
  std::vector<double> b = {1, 1};
  EXPECT_EQ(SolveTridiagonal(rows.data(), 2, b.data()), 0);
  // Eliminating the first row leaves nothing on the second diagonal.
  std::vector<TridiagonalRow> singular = {{1, 1, 1}, {1, 0, 0}};
  EXPECT_EQ(SolveTridiagonal(singular.data(), 2, b.data()), 0);
  EXPECT_EQ(SolveTridiagonal(rows.data(), 0, b.data()), 0);
}

TEST(SolveCyclicTridiagonal, SolvesWithBothCorners) {
  for (int n : {3, 4, 7}) {
    SCOPED_TRACE(n);
    std::vector<CyclicRow> rows(n);
    for (int i = 0; i < n; ++i) {
      rows[i].Diagonal = 2;
      rows[i].Next = i + 1 < n ? 0.3 + 0.05 * i : 0;
      rows[i].Lower = i + 1 < n ? 0.6 - 0.05 * i : 0;
    }
    rows[0].Last = 0.45;      // row 0 on the last variable
    rows[n - 2].Last = 0.35;  // the last row on the first variable
    const auto a = Dense(rows);
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i) x[i] = (i % 2 ? -1.0 : 1.0) * (i + 1.5);
    std::vector<double> b = Times(a, x);
    ASSERT_EQ(SolveCyclicTridiagonal(rows.data(), n, b.data()), 1);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(b[i], x[i], 1e-12) << i;
  }
}

TEST(SolveCyclicTridiagonal, SingularOrTooSmallFails) {
  std::vector<CyclicRow> rows(3, CyclicRow{1, 1, 0, 1});
  rows[0].Last = 1;
  rows[1].Last = 1;
  // Every row sums the three variables: rank one.
  std::vector<double> b = {1, 1, 1};
  EXPECT_EQ(SolveCyclicTridiagonal(rows.data(), 3, b.data()), 0);
  std::vector<CyclicRow> two(2, CyclicRow{2, 0, 0, 0});
  EXPECT_EQ(SolveCyclicTridiagonal(two.data(), 2, b.data()), 0);
}
