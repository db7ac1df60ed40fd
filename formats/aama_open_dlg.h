// The options asked before an AAMA file is read: a factor on the file's unit
// scale and three switches. Nothing of it is kept between openings.
#pragma once

#include "platform/dialog.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CAamaOpenDlg : public CDialog {
 public:
  // The parent window is the framework's; the dialog here has none of its own.
  explicit CAamaOpenDlg(void* parent = nullptr);

  // Keep the text items of the pieces (off: they go once the "#" grade
  // numbers have been read from them).
  BOOL m_bTextInfo = FALSE;
  // Curve points of the point layer are read as curve grade points.
  BOOL m_bAllGradePoints = FALSE;
  // Factor applied to the unit scale after a "UNITS" line: one of the list
  // entries ("1/25.4" included) or any positive number.
  CString m_strScale = "1.0";
  // Leave the size blocks of a piece as separate pieces.
  BOOL m_bSizesSeparate = FALSE;

  void DoDataExchange(CDataExchange* pDX) override;
};

// True when `text` is a scale the reader can apply: exactly one of the
// dialog's list entries, or a positive finite number with nothing but blanks
// around it (" 0.1" is the number 0.1; "abc", "0", "-2" and "1/3" are not).
bool IsAcceptableAamaScale(const CString& text);

// The factor a scale text stands for: the list entries by their exact text
// ("1/25.4" divides by 25.4), anything else by its numeric value as the C
// runtime's atof reads it.
double AamaScaleFactor(const CString& text);
