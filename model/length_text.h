// Lengths as text. Lengths are int32 model units; a divisor D (model units
// per millimetre: the style's scale for what is shown) turns them into one of
// five unit modes:
//   0  inches with a fraction, e.g. 1"1/4      suffix "in."
//   1  inches with decimals                    suffix "in."
//   2  centimetres                             suffix "cm"
//   3  millimetres                             suffix "mm"
//   4  cun, 30 to the metre                    suffix "cun"
// The precision is a divisor too: 1, 10, 100, 1000 or 10000 give 0 to 4
// decimals, with trailing zeros and a trailing point removed (12.50 -> "12.5",
// 12.00 -> "12"); any other precision gives an empty text in the decimal
// modes. In mode 0 the precision is the denominator of the fraction before it
// is reduced (100: hundredths of an inch). An unknown unit mode, or a divisor
// of 0, gives an empty text. Numbers are written and read with a decimal
// point whatever the user's locale.
#pragma once

#include "platform/text.h"

// The length in the process-wide unit mode and precision (g_UnitMode,
// g_UnitPrecision) at the current style's scale, as the rulers show it.
CString FormatDisplayLength(int length);

// The per-mode workers of FormatDisplayLength (modes 0 and 1, 2, 3, 4).
CString FormatInchLength(int length);
CString FormatCmLength(int length);
CString FormatMmLength(int length);
CString FormatCunLength(int length);

// The suffix of g_UnitMode; empty for an unknown mode.
CString GetUnitSuffix();

// `value` model units as text for an explicit divisor, unit mode and
// precision.
CString FormatLength(int value, int divisor, int mode, int precision);

// The per-mode workers of FormatLength; FormatInchText serves modes 0 and 1.
CString FormatInchText(int value, int divisor, int precision, int mode);
CString FormatCmText(int value, int divisor, int precision);
CString FormatMmText(int value, int divisor, int precision);
CString FormatCunText(int value, int divisor, int precision);

// The suffix of a unit mode; empty for an unknown mode.
CString GetUnitSuffixText(int mode);

// Greatest common divisor (positive) by Euclid's remainders; 1 when either
// number is 0.
int Gcd(int a, int b);

// Text in a unit mode back to model units, rounded half away from zero:
// mode 0 reads an inch fraction (ParseInchFraction), modes 1 to 4 a decimal
// number (leading white space skipped, reading stops at the first character
// that cannot continue the number). An unknown mode gives 0.
int ParseDisplayLength(const CString& text, int divisor, int mode);

// Inches back to model units: mode 1 reads a decimal number, every other mode
// an inch fraction.
int ParseLength(const CString& text, int divisor, int mode);

// An inch text as a number of inches. Blanks are ignored; an optional sign
// leads. Accepted: "7", "3/8", "1\"3/8" or "1'3/8" or "1.3/8" (whole and
// fraction), "1\"5" (whole and decimal digits: 1.5), "1\"" (whole). A zero
// denominator makes the fraction 0. Anything else, including an empty text,
// gives 0.
double ParseInchFraction(const CString& text);

// A plain number or a fraction: an optional sign, then either digits with a
// decimal point ("2.5") or digits "/" digits ("5/2"; 0 for a zero
// denominator). Anything else gives 0.
double ParseFractionText(const CString& text);
