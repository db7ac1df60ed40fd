// The two linear solvers behind the interpolating cubic splines of the
// pattern model and the design model: the slopes of a spline at its knots
// form a tridiagonal system (open curve) or a cyclic tridiagonal one (closed
// curve). Both eliminate without pivoting, which the splines' diagonally
// dominant rows (2 on the diagonal, weights summing to 1 beside it) allow.
// A pivot p fails when |p| + 1.0 == 1.0.
#pragma once

// Row i of a tridiagonal system in n variables s_0 .. s_n-1:
//   rows[i-1].Lower s_i-1 + rows[i].Diagonal s_i + rows[i].Next s_i+1 = rhs_i
// Next is unused in the last row, Lower in the last row.
struct TridiagonalRow {
  double Diagonal = 0;
  double Next = 0;   // coefficient of the next variable in this row
  double Lower = 0;  // coefficient of this variable in the next row
};

// Row i of a cyclic system in n >= 3 variables: as above, and in addition
//   rows[0].Last       coefficient of s_n-1 in row 0 (the corner that closes
//                      the first row);
//   rows[n-2].Last     coefficient of s_0 in row n-1 (the corner that closes
//                      the last row); row n-2's own coefficient of s_n-1 is
//                      its Next;
//   rows[i].Last       for 0 < i < n-2: coefficient of s_n-1 in row i, 0
//                      when set up; elimination fills it in.
struct CyclicRow {
  double Diagonal = 0;
  double Next = 0;
  double Last = 0;
  double Lower = 0;
};

// Solves in place: `rhs` becomes the solution; the rows are overwritten.
// 1 on success; 0 when a pivot vanishes (rhs then holds partial results).
// n < 1 gives 0.
int SolveTridiagonal(TridiagonalRow* rows, int n, double* rhs);

// The same for the cyclic system; n < 3 gives 0.
int SolveCyclicTridiagonal(CyclicRow* rows, int n, double* rhs);
