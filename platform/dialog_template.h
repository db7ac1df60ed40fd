// Dialog templates as data: each control of a dialog with its kind, place and
// text. The templates themselves are the program's resources; they reach the
// dialogs through the registry below, which the program's start-up fills
// (RegisterDialogTemplates in res/resources.h), so that this layer knows the
// form of a template but none of the templates.
#pragma once

#include <vector>

enum class ControlKind {
  kGroupBox,
  kStatic,          // text label
  kPicture,         // static frame or picture area
  kEdit,
  kComboDropDown,   // editable combo box
  kComboDropList,   // list-only combo box
  kListBox,
  kCheckBox,        // automatic check box
  kRadioButton,     // automatic radio button; `group_start` begins a group
  kPushButton,
  kDefPushButton,
  kProgress,
  kTree,
};

// One control of a dialog template, in dialog units.
struct ControlTemplate {
  int id = 0;               // 65535 (-1) for labels that nothing addresses
  ControlKind kind = ControlKind::kStatic;
  int x = 0, y = 0, cx = 0, cy = 0;
  const char* text = "";    // UTF-8
  bool group_start = false; // WS_GROUP: a radio group or tab group starts here
  bool disabled = false;    // WS_DISABLED in the template
  bool multiline = false;   // edit controls; check boxes and radio buttons whose text wraps
  bool read_only = false;   // edit controls
  bool password = false;
  bool number_only = false; // ES_NUMBER
  std::vector<const char*> items;  // list that comes with a combo box, UTF-8
  bool sorted = false;       // list and combo boxes that keep their entries in text order
  bool multi_select = false; // list boxes in which any number of entries can be selected
};

struct DialogTemplate {
  int id = 0;
  const char* caption = "";  // UTF-8
  int cx = 0, cy = 0;        // dialog units
  std::vector<ControlTemplate> controls;
};

// Makes `dialog_template` the template of its id for the dialogs built on
// that id from now on (CDialog(int)); registering an id again replaces the
// earlier template. The template must outlive those dialogs. Registration
// belongs to start-up, before the first dialog and from one thread.
void RegisterDialogTemplate(const DialogTemplate& dialog_template);
// The template registered with this id, or null when none is.
const DialogTemplate* RegisteredDialogTemplate(int id);
