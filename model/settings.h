// The process-wide display switches and options that the model reads. The main
// frame sets them once at start-up (the font is then replaced by the one kept
// in the settings file); nothing else changes them while the program runs.
// Tests may change them and put them back with RestoreDefaultSettings.
#pragma once

#include <cstdint>

#include "platform/geometry_types.h"
#include "platform/text.h"

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

// The rest of the main frame's settings block, read by the readers, writers
// and views. The AAMA export options are kept between runs in "kov.dat".

// The path of the last file opened, without its extension (the full path
// while an open is under way); the initial name of every file dialog.
extern CString g_CurrentPath;

// Notch type put into a notch end vertex by the AAMA reader and the Gerber
// import.
extern int32_t g_DefaultNotchType;
// Reading and writing switches of the native and DXF readers and writers.
extern int32_t g_SwitchPtnLoad;
extern int32_t g_SaveOptType0;
extern int32_t g_OpenOptPtn;
extern int32_t g_OptType13Rebuild;
extern int32_t g_SaveOptType13;

// The AAMA export options.
extern int32_t g_AamaOptPieces;
extern int32_t g_AamaOptSizes;
extern int32_t g_AamaOptNotch;
extern int32_t g_AamaOptText;
extern int32_t g_AamaOptGradeToRul;
extern int32_t g_AamaOptControlPoints;
extern int32_t g_AamaOptGradePoints;
extern int32_t g_AamaOptDescAsName;

// Settings the label texts read. The native reader may replace the display
// switch with the one stored in a file.
//
// 0: no label texts are drawn.
extern int32_t g_PtnDisplayFlag;
// The templates of the text above the grain line ("&T &P&N": style name,
// piece name, quantity) and below it ("&M &U": category, style information).
extern CString g_PtnText1;
extern CString g_PtnText2;
// The font of the label texts (and of the list pane's captions). Its height
// is in 1/40 millimetre: the model height is lfHeight x style scale / 40.
extern LOGFONT g_DefaultFontInitial;

// The font the main frame starts from before the settings file is read.
LOGFONT DefaultFontAtStartUp();

// Puts every value above back to its start-up default: millimetres with two
// decimals, notch type 1 with sizes 3.5 mm and 5.0 mm, every display switch
// on but point numbers, the built-in default font, the label templates
// "&T &P&N" and "&M &U", the AAMA export options 1, 0, 0, 0, 1, 0, 1, 0, and
// an empty g_CurrentPath. The font the label texts use (g_DefaultFontInitial)
// is left alone: the main frame copies it from the default font itself.
void RestoreDefaultSettings();
