#include "model/settings.h"

int32_t g_UnitMode = 3;
int32_t g_UnitPrecision = 100;
int32_t g_NotchSizeA = 35;
int32_t g_NotchSizeB = 50;
int32_t g_NotchParamFactor = 5;
LOGFONT g_DefaultFont = DefaultFontAtStartUp();

int32_t g_DrawFlagDerivedItems = 1;
int32_t g_DrawFlagLines = 1;
int32_t g_DrawFlagPointNumbers = 0;
int32_t g_DrawFlagKeyVertexMarks = 1;
int32_t g_DrawFlagCurveVertexMarks = 1;
int32_t g_DrawFlagOutlineMarks = 1;
int32_t g_DrawFlagMarksType8And9 = 1;
int32_t g_DrawFlagType21Marks = 1;
int32_t g_DrawFlagFill22to25 = 1;
int32_t g_DrawFlagType26 = 1;
int32_t g_DrawFlagType28 = 1;

int32_t g_OptCurveMode = 1;
int32_t g_OptCornerRebuild = 1;
int32_t g_OptGradedCheck = 0;
int32_t g_OptNoKeyVertexSnap = 0;
int32_t g_SwitchJoinLines = 1;

CString g_CurrentPath;

int32_t g_DefaultNotchType = 1;
int32_t g_SwitchPtnLoad = 1;
int32_t g_SaveOptType0 = 1;
int32_t g_OpenOptPtn = 1;
int32_t g_OptType13Rebuild = 0;
int32_t g_SaveOptType13 = 0;

int32_t g_AamaOptPieces = 1;
int32_t g_AamaOptSizes = 0;
int32_t g_AamaOptNotch = 0;
int32_t g_AamaOptText = 0;
int32_t g_AamaOptGradeToRul = 1;
int32_t g_AamaOptControlPoints = 0;
int32_t g_AamaOptGradePoints = 1;
int32_t g_AamaOptDescAsName = 0;

int32_t g_PtnDisplayFlag = 1;
CString g_PtnText1 = "&T &P&N";
CString g_PtnText2 = "&M &U";
LOGFONT g_DefaultFontInitial = DefaultFontAtStartUp();

LOGFONT DefaultFontAtStartUp() {
  LOGFONT font;
  font.lfHeight = -40;
  font.lfWeight = 700;
  font.lfItalic = 1;
  font.lfCharSet = 1;
  font.lfQuality = 2;
  return font;
}

void RestoreDefaultSettings() {
  g_UnitMode = 3;
  g_UnitPrecision = 100;
  g_NotchSizeA = 35;
  g_NotchSizeB = 50;
  g_NotchParamFactor = 5;
  g_DefaultFont = DefaultFontAtStartUp();
  g_DrawFlagDerivedItems = 1;
  g_DrawFlagLines = 1;
  g_DrawFlagPointNumbers = 0;
  g_DrawFlagKeyVertexMarks = 1;
  g_DrawFlagCurveVertexMarks = 1;
  g_DrawFlagOutlineMarks = 1;
  g_DrawFlagMarksType8And9 = 1;
  g_DrawFlagType21Marks = 1;
  g_DrawFlagFill22to25 = 1;
  g_DrawFlagType26 = 1;
  g_DrawFlagType28 = 1;
  g_OptCurveMode = 1;
  g_OptCornerRebuild = 1;
  g_OptGradedCheck = 0;
  g_OptNoKeyVertexSnap = 0;
  g_SwitchJoinLines = 1;
  g_CurrentPath.Empty();
  g_DefaultNotchType = 1;
  g_PtnDisplayFlag = 1;
  g_PtnText1 = "&T &P&N";
  g_PtnText2 = "&M &U";
  g_SwitchPtnLoad = 1;
  g_SaveOptType0 = 1;
  g_OpenOptPtn = 1;
  g_OptType13Rebuild = 0;
  g_SaveOptType13 = 0;
  g_AamaOptPieces = 1;
  g_AamaOptSizes = 0;
  g_AamaOptNotch = 0;
  g_AamaOptText = 0;
  g_AamaOptGradeToRul = 1;
  g_AamaOptControlPoints = 0;
  g_AamaOptGradePoints = 1;
  g_AamaOptDescAsName = 0;
}
