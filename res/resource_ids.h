// Ids of the program's resources: the main window's resources, the dialog
// templates with their controls, and the strings of the string table.
#pragma once

// The main window: its menu, accelerator table and toolbar, and the string
// that names the window title and the document type.
inline constexpr int IDR_MAINFRAME = 128;
// Toolbar buttons, in pixels.
inline constexpr int kToolbarButtonCx = 25;
inline constexpr int kToolbarButtonCy = 20;

// Controls that no code addresses (labels, group boxes).
inline constexpr int IDC_STATIC = 65535;

// Dialog templates.
inline constexpr int IDD_ABOUTBOX = 100;          // CAboutDlg
inline constexpr int IDD_AAMA_SAVE = 132;         // CAamaSaveDlg
inline constexpr int IDD_GGT_STYLE_FOLDER = 133;  // CGgtStyleFolderDlg
inline constexpr int IDD_GGT_TMP_OPEN = 134;      // CGgtTmpOpenDlg
inline constexpr int IDD_GGT_FILE_TYPE = 135;     // CGgtFileTypeDlg
inline constexpr int IDD_IBA_OPEN = 137;          // CIbaOpenDlg
inline constexpr int IDD_PATTERN_LIST = 175;      // CPatternListFormView, the list pane
inline constexpr int IDD_DXF_OPEN = 308;          // CDxfOpenDlg
inline constexpr int IDD_DXF_SAVE = 329;          // CDxfSaveDlg
inline constexpr int IDD_AAMA_OPEN = 368;         // CAamaOpenDlg
inline constexpr int IDD_PREVIEW_OPEN = 510;      // CPreviewFileDlg's part beside the file list

// CAamaOpenDlg.
inline constexpr int IDC_AAMA_OPEN_SCALE = 1026;         // editable combo: scale factor text
inline constexpr int IDC_AAMA_OPEN_TEXT_INFO = 1756;     // check: keep text items
inline constexpr int IDC_AAMA_OPEN_ALL_GRADE = 1267;     // check: all points are grade points
inline constexpr int IDC_AAMA_OPEN_SIZES_APART = 1040;   // check: sizes separate

// CAamaSaveDlg. Each radio group is named by its first button.
inline constexpr int IDC_AAMA_SAVE_WORK_PIECES = 1205;   // pieces: work area only (0)
inline constexpr int IDC_AAMA_SAVE_ALL_PIECES = 1521;    // pieces: all (1)
inline constexpr int IDC_AAMA_SAVE_ALL_SIZES = 1002;     // sizes: all (0)
inline constexpr int IDC_AAMA_SAVE_BASE_SIZE = 1003;     // sizes: base size only (1)
inline constexpr int IDC_AAMA_SAVE_NOTCH = 1010;         // notches: notch (0)
inline constexpr int IDC_AAMA_SAVE_NOTCH_MARK = 1011;    // notches: notch mark (1)
inline constexpr int IDC_AAMA_SAVE_NO_NOTCH = 1012;      // notches: none (2)
inline constexpr int IDC_AAMA_SAVE_NOTCH_BUMP = 1034;    // notches: bump out of the edge (3)
inline constexpr int IDC_AAMA_SAVE_TEXT_NORMAL = 1013;   // texts: as they are (0)
inline constexpr int IDC_AAMA_SAVE_TEXT_ASCII = 1014;    // texts: all as English characters (1)
inline constexpr int IDC_AAMA_SAVE_GRADE_TO_RUL = 1031;  // check: grade amounts to the *.rul file
inline constexpr int IDC_AAMA_SAVE_CONTROL_POINTS = 1032;  // check: add control points
inline constexpr int IDC_AAMA_SAVE_GRADE_POINTS = 1033;  // check: add grade points
inline constexpr int IDC_AAMA_SAVE_DESC_AS_NAME = 1037;  // check: description as piece name

// CDxfOpenDlg.
inline constexpr int IDC_DXF_OPEN_MM = 1479;          // file unit: millimetre (0)
inline constexpr int IDC_DXF_OPEN_CM = 1008;          // file unit: centimetre (1)
inline constexpr int IDC_DXF_OPEN_INCH = 1481;        // file unit: inch (2)
inline constexpr int IDC_DXF_OPEN_MANY = 1482;        // patterns: many (0)
inline constexpr int IDC_DXF_OPEN_ONE = 1483;         // patterns: only one (1)

// CDxfSaveDlg.
inline constexpr int IDC_DXF_SAVE_WORK_PIECES = 1205;    // pieces: work area only (0)
inline constexpr int IDC_DXF_SAVE_ALL_PIECES = 1521;     // pieces: all (1)
inline constexpr int IDC_DXF_SAVE_SIZES_APART = 1523;    // sizes: side by side (0)
inline constexpr int IDC_DXF_SAVE_SIZES_OVERLAID = 1522; // sizes: overlaid (1)
inline constexpr int IDC_DXF_SAVE_NOTCH_BUMP = 1034;     // check: notches as bumps of the edge
inline constexpr int IDC_DXF_SAVE_CONTROL_POINTS = 1526; // check: add control points

// CPreviewFileDlg's template.
inline constexpr int IDC_PREVIEW_FILE_LIST_AREA = 1119;  // where the file dialog's own controls go
inline constexpr int IDC_PREVIEW_AREA = 1387;            // the preview window
inline constexpr int IDC_PREVIEW_SHOW = 1388;            // check: show the style picture
inline constexpr int IDC_PREVIEW_DESCRIPTION = 1684;     // the description from the file header

// CPatternListFormView.
inline constexpr int IDC_PATTERN_LIST = 1350;

// CGgtFileTypeDlg: the radio group of the file type.
inline constexpr int IDC_GGT_TYPE_MODEL = 1024;  // storage folder (0)
inline constexpr int IDC_GGT_TYPE_TMP = 1025;    // export files (1)
inline constexpr int IDC_GGT_TYPE_ZIP = 1041;    // zip archive (2)

// CGgtTmpOpenDlg.
inline constexpr int IDC_GGT_TMP_FOLDER = 1015;      // edit: folder of the *.tmp files
inline constexpr int IDC_GGT_TMP_BROWSE = 1003;
inline constexpr int IDC_GGT_TMP_NEW_STYLE = 1017;   // check: create a new style
inline constexpr int IDC_GGT_TMP_STYLE_NAME = 1018;  // edit: the new style's name
inline constexpr int IDC_GGT_TMP_STYLES = 1002;      // list: style files, single selection
inline constexpr int IDC_GGT_TMP_PIECES = 1020;      // list: pieces, multiple selection
inline constexpr int IDC_GGT_TMP_ALL_PIECES = 1021;  // button: select every piece

// CGgtStyleFolderDlg.
inline constexpr int IDC_GGT_FOLDER = 1004;          // edit: the storage folder
inline constexpr int IDC_GGT_FOLDER_BROWSE = 1003;
inline constexpr int IDC_GGT_FOLDER_MODELS = 1002;   // list: model names, sorted

// CIbaOpenDlg.
inline constexpr int IDC_IBA_FOLDER = 1015;          // edit: folder of the *.IBA files
inline constexpr int IDC_IBA_BROWSE = 1003;
inline constexpr int IDC_IBA_FILES = 1038;           // list: *.IBA files, multiple selection
inline constexpr int IDC_IBA_ALL_FILES = 1021;       // button: select every file

// Strings. The failure messages are shown with IDS_APP_TITLE as caption.
inline constexpr unsigned IDS_APP_TITLE = 40000;            // "泽维格式转换软件"
inline constexpr unsigned IDS_SAVE_PTN_FAILED = 40001;      // saving the pattern file failed
inline constexpr unsigned IDS_FILE_MISSING = 40002;         // the file does not exist or its data is wrong
inline constexpr unsigned IDS_NOT_PTN_FILE = 40003;         // not a pattern file of ours
inline constexpr unsigned IDS_FILE_DATA_ERROR = 40004;      // the file data has errors
inline constexpr unsigned IDS_NOT_ASCII_DXF = 40005;        // not an ASCII DXF file
inline constexpr unsigned IDS_NEWER_FILE_VERSION = 40006;   // the file is newer than the program
inline constexpr unsigned IDS_NOT_AAMA_FILE = 40007;        // not an AAMA file
inline constexpr unsigned IDS_NO_PIECE_IN_FILE = 40008;     // the opened file holds no piece
inline constexpr unsigned IDS_IBA_NOT_ONE_STYLE = 40012;    // the IBA patterns are not of one style
inline constexpr unsigned IDS_ZIP_UNPACK_FAILED = 40013;    // writing the unpacked archive into "TMP/" failed
inline constexpr unsigned IDS_CONVERTER_FAILED = 40014;     // the IBA converter failed to start or timed out
inline constexpr unsigned IDS_FILE_INCOMPLETE = 40015;      // the file is cut short: only part of it was read
// Read by the framework: the program's name, and the text of the status
// bar's message pane while nothing else is shown there.
inline constexpr unsigned AFX_IDS_APP_TITLE = 57344;        // "ZV-KOV"
inline constexpr unsigned AFX_IDS_IDLEMESSAGE = 57345;      // "泽维格式转换软件"
