// The pictures of the main window's toolbar buttons, drawn in code: one small
// image per command of the toolbar (a page for New, folders for the open
// commands, disks for the save commands, a frame for show all, a piece with
// a cross for remove, a letter for the font, a question mark for About).
#pragma once

#include <QImage>

// Size of one button image in pixels; the button itself is 25 x 20.
inline constexpr int kToolbarImageWidth = 16;
inline constexpr int kToolbarImageHeight = 15;

// The image of a toolbar command on a transparent background; a plain
// outlined square for a command without a picture of its own.
QImage ToolbarImage(int commandId);
