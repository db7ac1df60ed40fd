// The process-wide display switches and options that the model reads. The main
// frame sets them once at start-up (the font is then replaced by the one kept
// in the settings file); nothing else changes them while the program runs.
// Tests may change them and put them back with RestoreDefaultSettings.
#pragma once

#include <cstdint>

#include "platform/geometry_types.h"

// Length display: unit mode 3 is millimetres, precision 100 two decimals.
extern int32_t g_UnitMode;
extern int32_t g_UnitPrecision;
// Notch and end-mark dimensions in tenths of a millimetre (3.5 mm and 5.0 mm).
extern int32_t g_NotchSizeA;
extern int32_t g_NotchSizeB;
// Pick radius in screen pixels for notch parameters.
extern int32_t g_NotchParamFactor;
// Font of new text items: height -40, weight 700, italic, charset 1, quality 2.
extern LOGFONT g_DefaultFont;

// What the piece drawing shows.
extern int32_t g_DrawFlagDerivedItems;
extern int32_t g_DrawFlagLines;
extern int32_t g_DrawFlagPointNumbers;
extern int32_t g_DrawFlagKeyVertexMarks;
extern int32_t g_DrawFlagCurveVertexMarks;
extern int32_t g_DrawFlagOutlineMarks;
extern int32_t g_DrawFlagMarksType8And9;
extern int32_t g_DrawFlagType21Marks;
extern int32_t g_DrawFlagFill22to25;
extern int32_t g_DrawFlagType26;
extern int32_t g_DrawFlagType28;

// Options of the piece operations.
extern int32_t g_OptCurveMode;
extern int32_t g_OptCornerRebuild;
extern int32_t g_OptGradedCheck;
extern int32_t g_OptNoKeyVertexSnap;
extern int32_t g_SwitchJoinLines;

// The font the main frame starts from before the settings file is read.
LOGFONT DefaultFontAtStartUp();

// Puts every value above back to its start-up default.
void RestoreDefaultSettings();
