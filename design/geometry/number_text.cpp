#include "design/geometry/number_text.h"

#include "platform/numbers.h"

void TrimNumberText(CString& text) {
  if (text.Find('.') < 0) return;
  int length = text.GetLength();
  while (length > 0 && text.GetAt(length - 1) == '0') --length;
  if (length > 0 && text.GetAt(length - 1) == '.') --length;
  text = text.Left(length);
}

CString FormatTrimmedNumber(double value) {
  CString text(FormatNumberText("%f", value));
  TrimNumberText(text);
  return text;
}
