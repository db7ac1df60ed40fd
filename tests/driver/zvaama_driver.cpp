// zvaama-driver: runs the main window's real File commands without a screen,
// for tests and for checking real files from the command line.
//
//   zvaama-driver [--home DIR] [--size WxH] STEP...
//     open-ptn PATH
//     save-ptn PATH
//     open-aama PATH [scale=TEXT] [text-info=0|1] [all-grade-points=0|1] [sizes-separate=0|1]
//     open-dxf PATH [unit=mm|cm|inch] [patterns=many|one]
//     save-dxf PATH [pieces=work|all] [sizes=separate|overlaid] [notch-bump=0|1] [control-points=0|1]
//     save-aama PATH [pieces=work|all] [sizes=all|base] [notch=0..3] [text=normal|english]
//               [grade-to-rul=0|1] [control-points=0|1] [grade-points=0|1] [desc-as-name=0|1]
//     open-gerber-folder DIR [model=NAME]
//     open-gerber-tmp DIR [style=NAME | new=NAME [pieces=all|A,B,...]]
//     open-gerber-zip PATH
//     open-iba FILE...
//     place-all   picks every listed piece in list order, as a user would
//     dump        the style as JSON on stdout
//
// The Gerber and Lectra steps answer their dialogs as a user would: the
// folder browser with DIR (or the folder of the IBA files), the lists by the
// names given (else the dialog's own preselection). Such a step fails when a
// message is shown or a dialog refuses the answer (a folder that is no
// storage folder, a name that is not listed). The Lectra converter is the
// "convert" of the --home folder.
//
// Each file dialog is answered with the step's path and each options dialog
// with the step's values (the dialog's own defaults where none are given).
// Every message box goes to stderr as "message ID TEXT"; when an open step
// could not read its file, the reader's failure message is followed by
// "reason LINE TEXT": the line of the file where reading stopped and what was
// wrong there (for the rule table beside an AAMA file, TEXT starts with its
// file name: "reason 12 style.rul: ..."; for a native file LINE is the byte
// offset where reading stopped). Exit status: 0 when
// every step succeeded, 1 when one failed or was refused, 2 on bad usage.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QApplication>

#include "app/main_frame.h"
#include "app/pattern_list.h"
#include "app/work_window.h"
#include "formats/aama_reader.h"
#include "formats/aama_rules.h"
#include "formats/dxf_reader.h"
#include "formats/ptn_reader.h"
#include "model/items/dimension_item.h"
#include "model/items/text_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "platform/gbk.h"
#include "platform/numbers.h"
#include "platform/scripted_prompts.h"
#include "res/command_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

constexpr const char* kUsage =
    "usage: zvaama-driver [--home DIR] [--size WxH] STEP...\n"
    "  open-ptn PATH\n"
    "  save-ptn PATH\n"
    "  open-aama PATH [scale=TEXT] [text-info=0|1] [all-grade-points=0|1] [sizes-separate=0|1]\n"
    "  open-dxf PATH [unit=mm|cm|inch] [patterns=many|one]\n"
    "  save-dxf PATH [pieces=work|all] [sizes=separate|overlaid] [notch-bump=0|1] [control-points=0|1]\n"
    "  save-aama PATH [pieces=work|all] [sizes=all|base] [notch=0..3] [text=normal|english]\n"
    "            [grade-to-rul=0|1] [control-points=0|1] [grade-points=0|1] [desc-as-name=0|1]\n"
    "  open-gerber-folder DIR [model=NAME]\n"
    "  open-gerber-tmp DIR [style=NAME | new=NAME [pieces=all|A,B,...]]\n"
    "  open-gerber-zip PATH\n"
    "  open-iba FILE...\n"
    "  place-all\n"
    "  dump\n";

// How one key of a step acts on its options dialog: each allowed value
// becomes a check state, a radio button to choose, or (no values) the text
// of a control.
struct OptionRule {
  const char* key;
  enum class Kind { kCheck, kRadio, kText } kind;
  int control;                               // kCheck, kText
  std::vector<std::pair<const char*, int>> values;  // kRadio: value -> button
};

struct StepKind {
  const char* name;
  bool takes_path;
  int command;
  int dialog;
  std::vector<OptionRule> options;
  // The import steps: several dialogs, answered from `keys` (the allowed
  // key=value keys) by ScriptImportStep.
  bool import = false;
  std::vector<const char*> keys = {};
};

const std::vector<StepKind>& StepKinds() {
  using K = OptionRule::Kind;
  static const std::vector<StepKind> kinds = {
      {"open-ptn", true, ID_FILE_OPEN_PTN, 0, {}},
      {"save-ptn", true, ID_FILE_SAVE_PTN, 0, {}},
      {"open-aama", true, ID_FILE_OPEN_AAMA, IDD_AAMA_OPEN,
       {{"scale", K::kText, IDC_AAMA_OPEN_SCALE, {}},
        {"text-info", K::kCheck, IDC_AAMA_OPEN_TEXT_INFO, {}},
        {"all-grade-points", K::kCheck, IDC_AAMA_OPEN_ALL_GRADE, {}},
        {"sizes-separate", K::kCheck, IDC_AAMA_OPEN_SIZES_APART, {}}}},
      {"open-dxf", true, ID_FILE_OPEN_DXF, IDD_DXF_OPEN,
       {{"unit", K::kRadio, 0, {{"mm", IDC_DXF_OPEN_MM}, {"cm", IDC_DXF_OPEN_CM}, {"inch", IDC_DXF_OPEN_INCH}}},
        {"patterns", K::kRadio, 0, {{"many", IDC_DXF_OPEN_MANY}, {"one", IDC_DXF_OPEN_ONE}}}}},
      {"save-dxf", true, ID_FILE_SAVE_DXF, IDD_DXF_SAVE,
       {{"pieces", K::kRadio, 0, {{"work", IDC_DXF_SAVE_WORK_PIECES}, {"all", IDC_DXF_SAVE_ALL_PIECES}}},
        {"sizes", K::kRadio, 0,
         {{"separate", IDC_DXF_SAVE_SIZES_APART}, {"overlaid", IDC_DXF_SAVE_SIZES_OVERLAID}}},
        {"notch-bump", K::kCheck, IDC_DXF_SAVE_NOTCH_BUMP, {}},
        {"control-points", K::kCheck, IDC_DXF_SAVE_CONTROL_POINTS, {}}}},
      // The grade-points check comes first: it enables the two checks after it.
      {"save-aama", true, ID_FILE_SAVE_AAMA, IDD_AAMA_SAVE,
       {{"pieces", K::kRadio, 0, {{"work", IDC_AAMA_SAVE_WORK_PIECES}, {"all", IDC_AAMA_SAVE_ALL_PIECES}}},
        {"sizes", K::kRadio, 0, {{"all", IDC_AAMA_SAVE_ALL_SIZES}, {"base", IDC_AAMA_SAVE_BASE_SIZE}}},
        {"notch", K::kRadio, 0,
         {{"0", IDC_AAMA_SAVE_NOTCH}, {"1", IDC_AAMA_SAVE_NOTCH_MARK}, {"2", IDC_AAMA_SAVE_NO_NOTCH},
          {"3", IDC_AAMA_SAVE_NOTCH_BUMP}}},
        {"text", K::kRadio, 0, {{"normal", IDC_AAMA_SAVE_TEXT_NORMAL}, {"english", IDC_AAMA_SAVE_TEXT_ASCII}}},
        {"grade-points", K::kCheck, IDC_AAMA_SAVE_GRADE_POINTS, {}},
        {"grade-to-rul", K::kCheck, IDC_AAMA_SAVE_GRADE_TO_RUL, {}},
        {"control-points", K::kCheck, IDC_AAMA_SAVE_CONTROL_POINTS, {}},
        {"desc-as-name", K::kCheck, IDC_AAMA_SAVE_DESC_AS_NAME, {}}}},
      {"open-gerber-folder", true, ID_FILE_OPEN_GGT, 0, {}, true, {"model"}},
      {"open-gerber-tmp", true, ID_FILE_OPEN_GGT, 0, {}, true, {"style", "new", "pieces"}},
      {"open-gerber-zip", true, ID_FILE_OPEN_GGT, 0, {}, true, {}},
      {"open-iba", true, ID_FILE_OPEN_IBA, 0, {}, true, {}},
      {"place-all", false, 0, 0, {}},
      {"dump", false, 0, 0, {}},
  };
  return kinds;
}

const StepKind* FindStepKind(const std::string& name) {
  for (const StepKind& kind : StepKinds()) {
    if (name == kind.name) return &kind;
  }
  return nullptr;
}

struct Step {
  const StepKind* kind = nullptr;
  std::string path;
  DialogScript dialog;
  std::map<std::string, std::string> values;  // import steps: key=value
  std::vector<std::string> more_paths;        // open-iba: the files after the first
};

struct Invocation {
  std::optional<std::string> home;
  int width = 1024;
  int height = 768;
  std::vector<Step> steps;
};

bool ParseSize(const std::string& text, int* width, int* height) {
  const size_t x = text.find('x');
  if (x == std::string::npos || x == 0 || x + 1 >= text.size()) return false;
  const std::string w = text.substr(0, x);
  const std::string h = text.substr(x + 1);
  if (w.find_first_not_of("0123456789") != std::string::npos ||
      h.find_first_not_of("0123456789") != std::string::npos || w.size() > 5 || h.size() > 5) {
    return false;
  }
  *width = std::stoi(w);
  *height = std::stoi(h);
  return *width > 0 && *height > 0;
}

// Adds one key=value of a step to its dialog script; false when the key or
// value is not one the step knows.
bool AddOption(const StepKind& kind, const std::string& key, const std::string& value, DialogScript* script) {
  for (const OptionRule& rule : kind.options) {
    if (key != rule.key) continue;
    switch (rule.kind) {
      case OptionRule::Kind::kText:
        script->SetText(rule.control, CString(value.c_str()));
        return true;
      case OptionRule::Kind::kCheck:
        if (value != "0" && value != "1") return false;
        script->SetCheck(rule.control, value == "1" ? BST_CHECKED : BST_UNCHECKED);
        return true;
      case OptionRule::Kind::kRadio:
        for (const auto& [name, button] : rule.values) {
          if (value == name) {
            script->ChooseRadio(button);
            return true;
          }
        }
        return false;
    }
  }
  return false;
}

std::optional<Invocation> ParseArguments(int argc, char** argv, std::string* error) {
  Invocation run;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--home" || arg == "--size") {
      if (i + 1 >= argc) {
        *error = arg + " needs a value";
        return std::nullopt;
      }
      const std::string value = argv[++i];
      if (arg == "--home") {
        run.home = value;
      } else if (!ParseSize(value, &run.width, &run.height)) {
        *error = "--size wants WxH, not " + value;
        return std::nullopt;
      }
    } else {
      break;
    }
  }
  for (; i < argc; ++i) {
    const StepKind* kind = FindStepKind(argv[i]);
    if (!kind) {
      *error = std::string("unknown step ") + argv[i];
      return std::nullopt;
    }
    Step step;
    step.kind = kind;
    step.dialog = DialogScript(kind->dialog);
    if (kind->takes_path) {
      if (i + 1 >= argc || FindStepKind(argv[i + 1])) {
        *error = std::string(kind->name) + " needs a PATH";
        return std::nullopt;
      }
      step.path = argv[++i];
    }
    std::set<std::string> seen;
    while (i + 1 < argc && !FindStepKind(argv[i + 1])) {
      const std::string option = argv[++i];
      if (kind->import) {
        const size_t eq = option.find('=');
        const std::string key = eq == std::string::npos ? std::string() : option.substr(0, eq);
        bool known = false;
        for (const char* k : kind->keys) known = known || key == k;
        if (known && seen.insert(key).second) {
          step.values[key] = option.substr(eq + 1);
        } else if (std::string(kind->name) == "open-iba") {
          step.more_paths.push_back(option);
        } else {
          *error = std::string(kind->name) + ": bad option " + option;
          return std::nullopt;
        }
        continue;
      }
      const size_t eq = option.find('=');
      const std::string key = eq == std::string::npos ? option : option.substr(0, eq);
      if (eq == std::string::npos || !seen.insert(key).second ||
          !AddOption(*kind, key, option.substr(eq + 1), &step.dialog)) {
        *error = std::string(kind->name) + ": bad option " + option;
        return std::nullopt;
      }
    }
    if (step.values.count("style") && step.values.count("new")) {
      *error = std::string(kind->name) + ": style= and new= exclude each other";
      return std::nullopt;
    }
    if (step.values.count("pieces") && !step.values.count("new")) {
      *error = std::string(kind->name) + ": pieces= goes with new=";
      return std::nullopt;
    }
    run.steps.push_back(std::move(step));
  }
  if (run.steps.empty()) {
    *error = "no step given";
    return std::nullopt;
  }
  return run;
}

// The id of a string-table text, for the message lines; 0 when the text is
// none of the table's.
UINT StringId(const CString& text) {
  static std::map<std::string, UINT> ids;
  if (ids.empty()) {
    for (UINT id = 1; id < 65536; ++id) {
      if (HasString(id)) ids.emplace(LoadString(id).c_str(), id);
    }
  }
  const auto it = ids.find(text.c_str());
  return it == ids.end() ? 0 : it->second;
}

// The "reason" line for the message `id` of an open step: where and why its
// reader stopped, when the reader's last report is a failure or refusal
// with that message; none for any other message.
std::optional<std::string> ReasonLine(const Step& step, UINT id) {
  const std::string name = step.kind->name;
  int line = 0;
  std::string reason;
  if (name == "open-ptn") {
    const PtnReadReport& report = LastPtnReadReport();
    if (report.outcome == PtnReadResult::kSuccess || report.messageId != id) return std::nullopt;
    line = static_cast<int>(report.offset);
    reason = report.reason;
  } else if (name == "open-dxf") {
    const DxfReadReport& report = LastDxfReadReport();
    const bool failed = report.outcome == DxfReadResult::kFailed || report.outcome == DxfReadResult::kRefused;
    if (!failed || report.messageId != id) return std::nullopt;
    line = report.line;
    reason = report.reason;
  } else if (name == "open-aama") {
    const AamaReadReport& report = LastAamaReadReport();
    const bool failed = report.outcome == AamaReadResult::kFailed || report.outcome == AamaReadResult::kRefused;
    if (!failed || report.messageId != id) return std::nullopt;
    line = report.line;
    reason = report.reason;
    if (report.file == AamaReadReport::File::kRules) {
      const std::string rules = CAamaRuleTable::FindRuleFile(CString(step.path.c_str())).str();
      reason = GbkToUtf8(rules.substr(rules.find_last_of('/') + 1).c_str()) + ": " + reason;
    }
  } else {
    return std::nullopt;
  }
  return "reason " + std::to_string(line) + " " + reason;
}

// The names of a comma-separated list ("A,B").
std::vector<std::string> SplitNames(const std::string& list) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = list.find(',', start);
    const size_t end = comma == std::string::npos ? list.size() : comma;
    if (end > start) names.push_back(list.substr(start, end - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return names;
}

// The user's part in an import step: every dialog of the command in the
// order it comes, with the folder browser's answer after the dialog that
// opens it.
void ScriptImportStep(const Step& step, ScriptedPrompts& script) {
  const std::string name = step.kind->name;
  const CString path(step.path.c_str());
  auto value = [&](const char* key) -> const std::string* {
    const auto it = step.values.find(key);
    return it == step.values.end() ? nullptr : &it->second;
  };
  if (name == "open-iba") {
    DialogScript dialog(IDD_IBA_OPEN);
    dialog.Click(IDC_IBA_BROWSE);
    std::vector<std::string> files = {step.path};
    files.insert(files.end(), step.more_paths.begin(), step.more_paths.end());
    std::string folder;
    for (const std::string& file : files) {
      const size_t slash = file.find_last_of('/');
      folder = slash == std::string::npos ? "." : file.substr(0, slash);
      dialog.SelectText(IDC_IBA_FILES, CString(file.substr(slash + 1).c_str()));
    }
    script.RunOptionsDialog(dialog);
    script.ChooseFolder(CString(folder.c_str()));
    return;
  }
  if (name == "open-gerber-zip") {
    script.RunOptionsDialog(DialogScript(IDD_GGT_FILE_TYPE).ChooseRadio(IDC_GGT_TYPE_ZIP));
    script.ChooseFile(path);
    return;
  }
  if (name == "open-gerber-folder") {
    script.RunOptionsDialog(DialogScript(IDD_GGT_FILE_TYPE).ChooseRadio(IDC_GGT_TYPE_MODEL));
    DialogScript dialog(IDD_GGT_STYLE_FOLDER);
    dialog.Click(IDC_GGT_FOLDER_BROWSE);
    if (const std::string* model = value("model")) dialog.SelectText(IDC_GGT_FOLDER_MODELS, CString(model->c_str()));
    script.RunOptionsDialog(dialog);
    script.ChooseFolder(path);
    return;
  }
  // open-gerber-tmp
  script.RunOptionsDialog(DialogScript(IDD_GGT_FILE_TYPE).ChooseRadio(IDC_GGT_TYPE_TMP));
  DialogScript dialog(IDD_GGT_TMP_OPEN);
  dialog.Click(IDC_GGT_TMP_BROWSE);
  if (const std::string* style = value("style")) {
    dialog.SetCheck(IDC_GGT_TMP_NEW_STYLE, BST_UNCHECKED);
    dialog.SelectText(IDC_GGT_TMP_STYLES, CString(style->c_str()));
  } else if (const std::string* created = value("new")) {
    dialog.SetCheck(IDC_GGT_TMP_NEW_STYLE, BST_CHECKED);
    dialog.SetText(IDC_GGT_TMP_STYLE_NAME, CString(created->c_str()));
    const std::string* pieces = value("pieces");
    if (pieces == nullptr || *pieces == "all") {
      dialog.Click(IDC_GGT_TMP_ALL_PIECES);
    } else {
      for (const std::string& piece : SplitNames(*pieces)) {
        dialog.SelectText(IDC_GGT_TMP_PIECES, CString(piece.c_str()));
      }
    }
  }
  script.RunOptionsDialog(dialog);
  script.ChooseFolder(path);
}

// Answers each step's questions from its script; prints every message box.
class DriverPrompts : public IPrompts {
 public:
  void BeginStep(const Step& step) {
    step_ = &step;
    reason_shown_ = false;
    messages_ = 0;
    script_ = std::make_unique<ScriptedPrompts>();
    if (step.kind->import) {
      ScriptImportStep(step, *script_);
      return;
    }
    if (!step.path.empty()) script_->ChooseFile(CString(step.path.c_str()));
    if (step.kind->dialog != 0) script_->RunOptionsDialog(step.dialog);
  }

  // Message boxes shown in the step so far.
  int StepMessages() const { return messages_; }
  // Whether the step's script was played as written: every question was
  // scripted, every answer taken, every entry used.
  bool StepWentAsScripted() const {
    if (!script_ || script_->pending() != 0) return false;
    for (const PromptRecord& record : script_->records()) {
      if (!record.scripted || !record.notes.empty()) return false;
    }
    return true;
  }

  // Whatever did not go as scripted in the step, for stderr.
  std::vector<std::string> StepNotes() const {
    std::vector<std::string> notes;
    if (!script_) return notes;
    for (const PromptRecord& record : script_->records()) {
      for (const CString& note : record.notes) notes.push_back(GbkToUtf8(note.c_str()));
    }
    return notes;
  }

  int MessageBox(const CString& text, const CString&, UINT type) override {
    std::string line = GbkToUtf8(text.c_str());
    for (char& c : line) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    const UINT id = StringId(text);
    ++messages_;
    std::fprintf(stderr, "message %u %s\n", id, line.c_str());
    if (step_ && !reason_shown_) {
      if (const std::optional<std::string> reason = ReasonLine(*step_, id)) {
        std::fprintf(stderr, "%s\n", reason->c_str());
        reason_shown_ = true;
      }
    }
    std::fflush(stderr);
    const UINT buttons = type & 0xF;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
  }
  std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) override {
    return script_ ? script_->FileDialog(request) : std::nullopt;
  }
  BOOL FontDialog(LOGFONT&) override { return FALSE; }
  // The folder browsers the import dialogs open take the step's folder.
  std::optional<CString> FolderDialog(const CString& title, const CString& initial) override {
    return script_ ? script_->FolderDialog(title, initial) : std::nullopt;
  }
  int RunDialog(CDialog& dialog) override { return script_ ? script_->RunDialog(dialog) : IDCANCEL; }

 private:
  std::unique_ptr<ScriptedPrompts> script_;
  const Step* step_ = nullptr;  // the step being run; the steps outlive the prompts' use
  bool reason_shown_ = false;   // one reason line per step
  int messages_ = 0;
};

// --- dump -------------------------------------------------------------------

// A size's sort key as a JSON number (a key that is not finite as 0).
std::string FormatKey(double value) {
  return std::isfinite(value) ? FormatNumberText("%.10g", value) : std::string("0");
}

// Writes JSON as it is told, putting the commas between members itself.
class JsonWriter {
 public:
  explicit JsonWriter(std::string* out) : out_(out) {}

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // The next value is this member's.
  void Key(const char* key) {
    Separate();
    Quote(key);
    *out_ += ':';
    after_key_ = true;
  }
  void String(const CString& gbk) {
    Separate();
    Quote(GbkToUtf8(gbk.c_str()));
  }
  void Number(long long value) { Raw(std::to_string(value)); }
  // A number already written as JSON.
  void Raw(const std::string& text) {
    Separate();
    *out_ += text;
  }
  void Numbers(std::initializer_list<long long> values) {
    BeginArray();
    for (const long long value : values) Number(value);
    EndArray();
  }

 private:
  void Open(char bracket) {
    Separate();
    *out_ += bracket;
    first_.push_back(true);
  }
  void Close(char bracket) {
    *out_ += bracket;
    first_.pop_back();
  }
  // A comma before every member but the first of its object or array.
  void Separate() {
    if (after_key_) {
      after_key_ = false;
      return;
    }
    if (first_.empty()) return;
    if (!first_.back()) *out_ += ',';
    first_.back() = false;
  }
  void Quote(const std::string& utf8) {
    *out_ += '"';
    for (const unsigned char c : utf8) {
      switch (c) {
        case '"': *out_ += "\\\""; break;
        case '\\': *out_ += "\\\\"; break;
        case '\n': *out_ += "\\n"; break;
        case '\r': *out_ += "\\r"; break;
        case '\t': *out_ += "\\t"; break;
        default:
          if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            *out_ += escaped;
          } else {
            *out_ += static_cast<char>(c);
          }
      }
    }
    *out_ += '"';
  }

  std::string* out_;
  std::vector<bool> first_;
  bool after_key_ = false;
};

CString ItemText(const CPieceItem& item) {
  if (const auto* text = dynamic_cast<const CPieceItem11*>(&item)) return text->Text;
  if (const auto* dimension = dynamic_cast<const CPieceItem28*>(&item)) return dimension->Text;
  return CString();
}

void DumpItem(JsonWriter& json, const CPieceItem& item) {
  json.BeginObject();
  json.Key("type");
  json.Number(item.Type);
  json.Key("attributes");
  json.Number(item.Tag);
  json.Key("text");
  json.String(ItemText(item));
  json.Key("vertices");
  json.BeginArray();
  const CVertexNode* node = item.VertexHead;
  for (int32_t i = 0; i < item.VertexCount && node; ++i, node = node->Next) {
    json.Numbers({node->Flags, node->X, node->Y, node->Value, node->Attributes});
    if (node->Next == item.VertexHead) break;
  }
  json.EndArray();
  json.EndObject();
}

void DumpPiece(JsonWriter& json, const CPieceRecord& piece, bool placed) {
  json.BeginObject();
  json.Key("texts");
  json.BeginArray();
  for (const CString* text : {&piece.PieceName, &piece.Annotation, &piece.Text3, &piece.Category}) json.String(*text);
  json.EndArray();
  json.Key("quantity");
  json.Number(piece.Quantity);
  json.Key("box");
  json.Numbers({piece.BoxMinX, piece.BoxMinY, piece.BoxMaxX, piece.BoxMaxY});
  if (placed) {
    json.Key("placed");
    json.Numbers({piece.PlacedLeft, piece.PlacedTop, piece.PlacedRight, piece.PlacedBottom});
  }
  json.Key("items");
  json.BeginArray();
  const CPieceItem* item = piece.ItemRing;
  for (int32_t i = 0; i < piece.ItemCount && item; ++i, item = item->Next) {
    DumpItem(json, *item);
    if (item->Next == piece.ItemRing) break;
  }
  json.EndArray();
  json.EndObject();
}

void DumpPieces(JsonWriter& json, const CPieceRecord* ring, int32_t count, bool placed) {
  json.BeginArray();
  const CPieceRecord* piece = ring;
  for (int32_t i = 0; i < count && piece; ++i, piece = piece->Next) {
    DumpPiece(json, *piece, placed);
    if (piece->Next == ring) break;
  }
  json.EndArray();
}

std::string DumpStyle() {
  std::string out;
  JsonWriter json(&out);
  json.BeginObject();
  json.Key("header");
  json.BeginArray();
  for (const CString* text : {&g_Style.HeaderText1, &g_Style.StyleName, &g_Style.HeaderText3, &g_Style.HeaderText4,
                              &g_Style.HeaderText5}) {
    json.String(*text);
  }
  json.EndArray();
  json.Key("scale");
  json.Number(g_Style.Scale);
  json.Key("version");
  json.Number(g_Style.DataVersion);
  json.Key("sizes");
  json.BeginArray();
  const CSizeRecord* size = g_Style.SizeRing;
  for (int32_t i = 0; i < g_Style.SizeCount && size; ++i, size = size->Next) {
    json.BeginObject();
    json.Key("name");
    json.String(size->Name);
    json.Key("key1");
    json.Raw(FormatKey(size->SortKey1));
    json.Key("key2");
    json.Raw(FormatKey(size->SortKey2));
    json.Key("color");
    json.Number(size->Color);
    json.Key("visible");
    json.Number(size->Visible);
    json.EndObject();
    if (size->Next == g_Style.SizeRing) break;
  }
  json.EndArray();
  json.Key("pieces");
  DumpPieces(json, g_Style.PieceRing, g_Style.PieceCount, false);
  json.Key("work");
  DumpPieces(json, g_Style.WorkPieceRing, g_Style.WorkPieceCount, true);
  json.EndObject();
  out += '\n';
  return out;
}

// --- running ------------------------------------------------------------------

// The installed readers and writers, each noting its result for the step.
FileCommandHandlers RecordingHandlers(const FileCommandHandlers& installed, int* result) {
  auto wrap = [result](const std::function<int(const CString&)>& f) -> std::function<int(const CString&)> {
    if (!f) return {};
    return [f, result](const CString& path) { return *result = f(path); };
  };
  FileCommandHandlers handlers = installed;
  handlers.openPtn = wrap(installed.openPtn);
  handlers.openDxf = wrap(installed.openDxf);
  handlers.openAama = wrap(installed.openAama);
  handlers.savePtn = wrap(installed.savePtn);
  handlers.saveDxf = wrap(installed.saveDxf);
  handlers.saveAama = wrap(installed.saveAama);
  return handlers;
}

bool PlaceAll(CMainFrame& frame) {
  CPatternListBox* list = frame.GetListBox();
  if (!list) return false;
  for (int i = 0; i < list->GetCount(); ++i) {
    list->SetCurSel(i);
    list->OnSelchange();
    QApplication::processEvents();
  }
  return true;
}

// Qt's own chatter (no runtime folder, size hints of the offscreen platform)
// would drown the message lines: only its errors reach stderr.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "zvaama-driver: qt: %s\n", text.toLocal8Bit().constData());
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const std::optional<Invocation> run = ParseArguments(argc, argv, &error);
  if (!run) {
    std::fprintf(stderr, "zvaama-driver: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (run->home) setenv("ZVAAMA_HOME", run->home->c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);

  qInstallMessageHandler(QuietQtMessages);
  QApplication app(argc, argv);
  RegisterDialogTemplates();
  DriverPrompts prompts;
  SetPrompts(&prompts);

  int status = 0;
  {
    CMainFrame frame;
    int result = 0;
    frame.SetFileCommands(RecordingHandlers(InstalledFileCommands(), &result));
    // Placement and fitting depend on the work window's size: fix it.
    if (CWorkWindow* view = frame.GetWorkWindow()) view->setFixedSize(run->width, run->height);
    frame.show();
    QApplication::processEvents();
    if (CWorkWindow* view = frame.GetWorkWindow(); !view || view->width() != run->width ||
                                                   view->height() != run->height) {
      std::fprintf(stderr, "zvaama-driver: the work window could not be made %dx%d\n", run->width, run->height);
      return 1;
    }

    for (const Step& step : run->steps) {
      bool ok = true;
      prompts.BeginStep(step);
      if (step.kind->command != 0) {
        result = 0;
        frame.UpdateCommandUI();
        ok = frame.RunCommand(step.kind->command) &&
             (step.kind->import ? prompts.StepMessages() == 0 && prompts.StepWentAsScripted() : result != 0);
      } else if (std::string(step.kind->name) == "place-all") {
        ok = PlaceAll(frame);
      } else {
        const std::string json = DumpStyle();
        std::fwrite(json.data(), 1, json.size(), stdout);
        std::fflush(stdout);
      }
      QApplication::processEvents();
      for (const std::string& note : prompts.StepNotes()) {
        std::fprintf(stderr, "zvaama-driver: %s: %s\n", step.kind->name, note.c_str());
      }
      if (!ok) {
        std::fprintf(stderr, "zvaama-driver: %s failed\n", step.kind->name);
        status = 1;
      }
    }
    // Closing as the user would writes "kov.dat": the AAMA export options of
    // this run are the next run's defaults.
    frame.close();
  }
  SetPrompts(nullptr);
  return status;
}
