// Command ids of the menus, the accelerators and the toolbar: the program's
// own commands (32771 and up) and the framework commands the main window
// keeps (57344 and up, the framework's standard values).
#pragma once

// File menu.
inline constexpr int ID_FILE_SAVE_PTN = 32771;    // save the style as a native *.ptn file
inline constexpr int ID_FILE_OPEN_PTN = 32772;    // open a native pattern file (preview dialog)
inline constexpr int ID_FILE_SAVE_DXF = 32773;    // save as plain DXF
inline constexpr int ID_FILE_OPEN_DXF = 32774;    // open plain DXF
inline constexpr int ID_FILE_SAVE_AAMA = 32775;   // save as AAMA DXF with its *.rul table
inline constexpr int ID_FILE_OPEN_AAMA = 32776;   // open AAMA DXF
inline constexpr int ID_FILE_NEW_STYLE = 32778;   // empty the style, the list and the work area
inline constexpr int ID_FILE_OPEN_GGT = 32783;    // import a Gerber style
inline constexpr int ID_FILE_OPEN_IBA = 32785;    // import Lectra *.IBA files

// View menu and keys without a menu entry.
inline constexpr int ID_VIEW_ZOOM_IN = 32779;       // keypad +
inline constexpr int ID_VIEW_FULL_SCREEN = 32780;   // fit the work-area pieces into the window
inline constexpr int ID_VIEW_ZOOM_OUT = 32781;      // keypad -
inline constexpr int ID_VIEW_REMOVE_PIECE = 32782;  // take the current piece out of the work area
inline constexpr int ID_VIEW_DEFAULT_FONT = 32786;  // choose the default text font

// Framework commands.
inline constexpr int ID_FILE_NEW = 0xE100;         // 57600: the framework's new document
inline constexpr int ID_FILE_OPEN = 0xE101;        // 57601: the framework's document open
inline constexpr int ID_FILE_PRINT_SETUP = 0xE106; // 57606
inline constexpr int ID_FILE_PRINT = 0xE107;       // 57607
inline constexpr int ID_FILE_MRU_FILE1 = 0xE110;   // 57616: first entry of the recent-file list
inline constexpr int ID_EDIT_COPY = 0xE122;        // 57634
inline constexpr int ID_EDIT_CUT = 0xE123;         // 57635
inline constexpr int ID_EDIT_PASTE = 0xE125;       // 57637
inline constexpr int ID_EDIT_UNDO = 0xE12B;        // 57643
inline constexpr int ID_APP_ABOUT = 0xE140;        // 57664: the About box
inline constexpr int ID_APP_EXIT = 0xE141;         // 57665
inline constexpr int ID_CONTEXT_HELP = 0xE145;     // 57669
inline constexpr int ID_HELP = 0xE146;             // 57670
inline constexpr int ID_NEXT_PANE = 0xE150;        // 57680
inline constexpr int ID_PREV_PANE = 0xE151;        // 57681
inline constexpr int ID_VIEW_TOOLBAR = 0xE800;     // 59392: show or hide the toolbar
inline constexpr int ID_VIEW_STATUS_BAR = 0xE801;  // 59393: show or hide the status bar

// The control bars carry the ids of the commands that show and hide them.
inline constexpr int AFX_IDW_TOOLBAR = ID_VIEW_TOOLBAR;
inline constexpr int AFX_IDW_STATUS_BAR = ID_VIEW_STATUS_BAR;
