#include "design/geometry/tridiagonal.h"

#include <cstddef>
#include <vector>

#include "design/geometry/primitives.h"

int SolveTridiagonal(TridiagonalRow* rows, int n, double* rhs) {
  if (rows == nullptr || rhs == nullptr || n < 1) return 0;
  for (int i = 0; i + 1 < n; ++i) {
    const double pivot = rows[i].Diagonal;
    if (IsNegligible(pivot)) return 0;
    rows[i].Next /= pivot;
    rhs[i] /= pivot;
    rows[i + 1].Diagonal -= rows[i].Lower * rows[i].Next;
    rhs[i + 1] -= rows[i].Lower * rhs[i];
  }
  const double last = rows[n - 1].Diagonal;
  if (IsNegligible(last)) return 0;
  rhs[n - 1] /= last;
  for (int i = n - 2; i >= 0; --i) rhs[i] -= rows[i].Next * rhs[i + 1];
  return 1;
}

int SolveCyclicTridiagonal(CyclicRow* rows, int n, double* rhs) {
  if (rows == nullptr || rhs == nullptr || n < 3) return 0;
  const int last = n - 1;
  // The last row's coefficient of s_0, kept apart before elimination reuses
  // the slot of row n-2.
  const double corner = rows[n - 2].Last;
  rows[n - 2].Last = 0;

  // Eliminate rows 0 .. n-2 down to: s_i + Next_i s_i+1 + Last_i s_n-1 = rhs_i.
  // Row n-2's coefficient of s_n-1 is its Next, so the fill-in merges there.
  for (int i = 0; i + 1 <= n - 2; ++i) {
    const double pivot = rows[i].Diagonal;
    if (IsNegligible(pivot)) return 0;
    rows[i].Next /= pivot;
    rows[i].Last /= pivot;
    rhs[i] /= pivot;
    const double factor = rows[i].Lower;
    rows[i + 1].Diagonal -= factor * rows[i].Next;
    if (i + 1 < n - 2) {
      rows[i + 1].Last -= factor * rows[i].Last;
    } else {
      rows[i + 1].Next -= factor * rows[i].Last;
    }
    rhs[i + 1] -= factor * rhs[i];
  }
  const double pivot = rows[n - 2].Diagonal;
  if (IsNegligible(pivot)) return 0;
  rows[n - 2].Next /= pivot;
  rhs[n - 2] /= pivot;

  // Back-substitute the right-hand sides and the last-column coefficients:
  // s_i = rhs_i - Last_i s_n-1.
  std::vector<double> last_column(static_cast<size_t>(n - 1));
  last_column[n - 2] = rows[n - 2].Next;
  for (int i = n - 3; i >= 0; --i) {
    rhs[i] -= rows[i].Next * rhs[i + 1];
    last_column[i] = rows[i].Last - rows[i].Next * last_column[i + 1];
  }

  // The last row: corner s_0 + Lower_n-2 s_n-2 + Diagonal s_n-1 = rhs_n-1.
  const double below = rows[n - 2].Lower;
  const double last_pivot =
      rows[last].Diagonal - corner * last_column[0] - below * last_column[n - 2];
  if (IsNegligible(last_pivot)) return 0;
  rhs[last] = (rhs[last] - corner * rhs[0] - below * rhs[n - 2]) / last_pivot;
  for (int i = 0; i < n - 1; ++i) rhs[i] -= last_column[i] * rhs[last];
  return 1;
}
