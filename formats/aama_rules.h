// Sizes and grade rules of an AAMA style. A style comes either as one block
// per piece for the sample size with a *.rul grade-rule table beside the DXF
// file (an x and y delta per size for every rule number), or as one block per
// piece and size with every size drawn out. Both become graded pieces: every
// main vertex of an item followed by one per-size copy (kind 64) for each
// size after the base size, in the order of the style's size ring.
//
// These are stages of the AAMA reader (formats/aama_reader.h). "New pieces"
// are the pieces the current read added: those of g_Style's piece ring from
// position `priorCount` on.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "platform/win_types.h"

class CPieceRecord;

// Size names written into a piece's size name (its Annotation) while size
// blocks are merged: the base piece of a group, and a block merged into it.
inline constexpr const char* kAamaSizeMergedBase = "VezSizeOK";
inline constexpr const char* kAamaSizeMergedAway = "VezSizeDel";

// The author code that keeps rule deltas above 1000 (files the Lectra
// converter wrote) and the one that turns no deltas by a grade reference line
// (files this program wrote).
inline constexpr int kAamaAuthorZorvek = 1;
inline constexpr int kAamaAuthorLectra = 4;
inline constexpr int kAamaAuthorAssyst = 9;
inline constexpr int kAamaAuthorInvestronica = 10;

// Grade-rule numbers a vertex can carry: the low 16 bits of its attribute
// word. A rule numbered above this can reach no vertex and is not kept.
inline constexpr int kAamaMaxRuleNumber = 0xFFFF;
// More sizes than this in one rule table is taken as a damaged file.
inline constexpr int kAamaMaxSizes = 1000;

// Pen colour of a size added while the style holds `sizesHeld` sizes: a fixed
// table for 1 to 15, black otherwise (the base size is black).
COLORREF AamaSizeColor(int sizesHeld);

// Appends `other`'s shapes to `base` as one more size: after every main vertex
// (and circle radius node) of each item of types 0, 1, 2, 8, 9 and 10 of the
// base, and every main vertex of its notch points (type 13), a copy (kind 64)
// at the place of the matching vertex of the k-th item of that type in
// `other`, which is then removed from `other`. Vertices pair up in ring order;
// a shorter partner ring is followed round again. Texts of `other` that the
// base lacks (same place, same text) are copied. Nothing when both are the
// same piece.
void MatchPieceElements(CPieceRecord* base, CPieceRecord* other);

// The sample-size stage before pieces are placed: works out the sample size
// name (in append mode after an earlier file: the style's base size; when no
// "Sample Size" text came: the size name of the first new piece that has
// one) and gives it to the style's first size record.
void SetAamaSampleSize(CString& sampleSize, int priorCount, bool append);

// Merges the size blocks of the new pieces into graded pieces: for each piece
// whose size name is the sample size, the other blocks of the same piece name
// become its per-size copies and are removed. Only pieces with a size name
// (from a "Size" text) are size blocks: a piece without one is never a base
// and never merged, whatever its name. The sizes are made from the
// first group merged (sort keys: the block's place relative to the sample
// block). Then the size array is sorted anew and every main vertex is given
// exactly one copy per size after the base. Normal mode only.
void MergeAamaSizeBlocks(const CString& sampleSize, int priorCount, bool sizesSeparate);

// One *.rul grade-rule table as read.
class CAamaRuleTable {
 public:
  // How a read ended.
  enum class Result {
    kRead,         // the table was read (it may hold no rule)
    kNoFile,       // no rule file beside the DXF file, or it could not be read
    kTooFewSizes,  // "NUMBER OF SIZES" below 2: nothing more is to be done
    kDamaged,      // the table cannot be used and the read must fail: more
                   // than kAamaMaxSizes sizes, a size list that does not hold
                   // exactly one name per size, a sample size that is not one
                   // of them, or a file that ends inside a rule's values
  };

  // Where the rule table of an AAMA file is: the file of the same name with
  // the extension ".rul", found whatever the case of its name ("a.rul",
  // "A.RUL"). Empty when there is none.
  static CString FindRuleFile(const CString& dxfPath);

  // Reads the rule file at `path`. `scale` (model units per file unit) is
  // changed by a "UNITS" line: millimetres for "METRIC", inches otherwise,
  // then in append mode hundredths of a millimetre, in normal mode times the
  // dialog's `scaleText`. `authorCode` is changed by an "Author" line
  // ("assyst", "INVESTRONICA") and by append mode (Lectra). With
  // `priorCount` 0 the sizes of the table are added to the style (after its
  // one size) and named from "SIZE LIST" and "SAMPLE SIZE".
  //
  // The size list and sample size are checked where they are first used: at
  // the first "RULE: DELTA" line after "NUMBER OF SIZES", or at the end of
  // the file when no rule follows. By then the list must hold exactly one
  // name per size and the sample size must be one of them (their lines may
  // come in either order before that); otherwise the read ends kDamaged and
  // no size is added to the style.
  //
  // A rule's deltas are the number pairs on the lines after its
  // "RULE: DELTA" line up to the next keyword line; pairs it lacks before
  // that line, and pairs that do not read, are 0. A rule whose values run to
  // the end of the file without all their pairs (the file was cut short)
  // ends the read kDamaged. Rules before "NUMBER OF SIZES" are passed over.
  Result Read(const CString& path, double& scale, const CString& scaleText, int& authorCode, int priorCount,
              bool append);
  // The same for the rule file's bytes, held in memory.
  Result ReadBytes(std::string_view bytes, double& scale, const CString& scaleText, int& authorCode,
                   int priorCount, bool append);

  // When a read ended on a line the table could not take (a size count below
  // two, or kDamaged): that 1-based line and a few words on it ("rule table:
  // size list holds 3 names for 300 sizes"); 0 and empty otherwise.
  int ProblemLine() const { return problem_line_; }
  const std::string& Problem() const { return problem_; }

  // The delta, in model units with y pointing down, of rule `rule` for the
  // size at `listPosition` of the table's size list; 0 for anything the table
  // does not hold.
  void GetDelta(int rule, int listPosition, int32_t& dx, int32_t& dy) const;

  int SizeCount() const { return size_count_; }
  // Position of the sample size in the size list (0 when it is not in it).
  int SamplePosition() const { return sample_position_; }
  const std::vector<CString>& SizeNames() const { return size_names_; }

 private:
  // Checks the size list and sample size, then adds (with `priorCount` 0)
  // and names the sizes. False, with the problem set, when the list cannot
  // name them; `useLine` is the line where the list came to be used.
  bool NameSizes(int priorCount, int useLine);
  void SetProblem(int line, std::string reason);

  int size_count_ = 0;
  int sample_position_ = 0;
  int problem_line_ = 0;
  std::string problem_;
  bool sizes_named_ = false;
  CString size_list_;
  CString sample_size_;
  int size_list_line_ = 0;    // line of the "SIZE LIST" read last; 0 before one
  int sample_size_line_ = 0;  // line of the "SAMPLE SIZE" read last; 0 before one
  std::vector<CString> size_names_;
  // Deltas by rule number, one (dx, dy) per size-list position.
  std::map<int, std::vector<std::pair<int32_t, int32_t>>> rules_;
};

// Grades the new pieces by the table: each main vertex with rule number r
// gets, for every size of the style after the base, a copy moved by that
// size's delta of rule r (rule 0 for a vertex without a number), turned by
// the piece's grade reference line unless `authorCode` is ZORVEK's; circle
// radii are not graded. Sizes the table does not hold get zero deltas, so
// every piece ends with one position per size of the style. Then the curves
// are graded and smoothed, the boxes recomputed and the notches refitted.
void GradeAamaPieces(const CAamaRuleTable& table, int priorCount, int authorCode);
