// The program's resources as data: the string table, menus, accelerators,
// the toolbar and the dialog templates. Texts are UTF-8 here, in the source;
// LoadString hands them out as GBK bytes like every other text of the program.
// The Qt layer builds windows and dialogs from these records.
#pragma once

#include <vector>

#include "platform/dialog_template.h"
#include "platform/text.h"
#include "platform/win_types.h"

// The string of the table with this id, as GBK bytes; empty when there is none.
CString LoadString(UINT id);
// True when the table holds the id.
bool HasString(UINT id);

// A failure shown to the user: text = string `id`, caption = string 40000,
// exclamation icon, no owner, through the prompt seam. Returns the answer.
int ShowFailureMessage(UINT id);

// The template with this id, or null.
const DialogTemplate* FindDialogTemplate(int id);
// The ids of every dialog template there is.
const std::vector<int>& AllDialogTemplateIds();
// Registers every dialog template above with the dialogs of the platform
// layer (RegisterDialogTemplate), so that a dialog built on a template id gets
// its controls. Each start-up that shows dialogs calls it once, before the
// first; calling it again changes nothing.
void RegisterDialogTemplates();

// A menu entry: a command (id > 0), a separator (id 0, no children, empty
// text) or a pop-up (children, id 0). Texts keep their "&" mnemonics and the
// "\t" key hints.
struct MenuItem {
  int id = 0;
  const char* text = "";  // UTF-8
  std::vector<MenuItem> children;
};

// Menu resource `id` (the top-level pop-ups), or null.
const std::vector<MenuItem>* FindMenu(int id);

// Virtual-key codes the accelerator tables use (Windows values).
namespace vk {
inline constexpr int kBack = 0x08, kTab = 0x09, kReturn = 0x0D, kEscape = 0x1B, kSpace = 0x20;
inline constexpr int kPrior = 0x21, kNext = 0x22, kEnd = 0x23, kHome = 0x24;
inline constexpr int kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
inline constexpr int kInsert = 0x2D, kDelete = 0x2E;
inline constexpr int kAdd = 0x6B, kSubtract = 0x6D;  // keypad + and -
inline constexpr int kF1 = 0x70;                     // kF1 + n - 1 for Fn
}  // namespace vk

struct Accelerator {
  int key = 0;  // a virtual-key code, or an upper-case ASCII letter or digit
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  int command = 0;
};

// Accelerator table `id`, or null.
const std::vector<Accelerator>* FindAccelerators(int id);

// Toolbar `id`: command ids in button order, 0 for a separator; or null.
const std::vector<int>* FindToolbar(int id);
