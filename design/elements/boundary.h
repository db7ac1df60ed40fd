// The piece boundary (element type 1): the outline of a design piece as an
// ordered list of outline entries, each a stretch of a two-point line or a
// curve between two construction points, and its seam allowance as a list of
// seam entries, each placing an incoming and an outgoing width and a corner
// kind on one outline point. For every size it keeps the assembled outline
// ring and the seam line, one point list of each per size of the owner's
// size table from construction on.
//
// A piece holds at most one boundary. Its references are resolved while it
// reads its record (the construction objects exist by then) and name objects
// of the container; the boundary owns only its entries and per-size lists.
#pragma once

#include <cstdint>
#include <vector>

#include "design/core/design_element.h"
#include "design/geometry/polyline.h"
#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/win_types.h"

class CGradedObject;
class CGradedPoint;
class CPieceBoundary;

// One stretch of the outline: the part of `line` (a two-point line or a
// curve) between `startPoint` and `endPoint`. Null references name nothing.
struct CBoundaryEntry {
  CPieceBoundary* owner = nullptr;
  CGradedObject* line = nullptr;
  CGradedPoint* startPoint = nullptr;
  CGradedPoint* endPoint = nullptr;
};

// Corner kinds of a seam entry that the boundary holds after reading: the
// stored cut-off corners at the incoming (8) and outgoing (9) width are held
// as the cut-off corner at a given width (12), the width as its parameter.
inline constexpr int32_t kSeamCornerCutAtWidthIn = 8;
inline constexpr int32_t kSeamCornerCutAtWidthOut = 9;
inline constexpr int32_t kSeamCornerCutAtParam = 12;

// The seam allowance at one outline point: the width where the outline
// arrives (`widthIn`) and where it leaves (`widthOut`), in model units and
// negative for an allowance on the other side, and the corner's shape
// (`cornerKind` 1 to 15, with `cornerParam` a length for the kinds that
// take one).
struct CSeamEntry {
  CPieceBoundary* owner = nullptr;
  CGradedPoint* point = nullptr;
  int32_t widthIn = 0;
  int32_t widthOut = 0;
  int32_t cornerKind = 0;
  int32_t cornerParam = 0;
};

class CPieceBoundary : public CDesignElement {
 public:
  // An empty boundary of `owner`: no entries, one empty outline and seam line
  // per size, every size dirty.
  explicit CPieceBoundary(CPatternRecord* owner);
  ~CPieceBoundary() override;

  const std::vector<CBoundaryEntry>& GetEntries() const { return m_Entries; }
  const std::vector<CSeamEntry>& GetSeamEntries() const { return m_SeamEntries; }
  // Whether the piece has a seam allowance: at least one seam entry.
  BOOL HasSeamAllowance() const { return m_SeamEntries.empty() ? FALSE : TRUE; }
  // The first seam entry with a width that is not zero decides: 1 when one
  // of its widths is negative. 0 when every width is zero.
  BOOL HasNegativeSeamWidth() const;
  // 1 when the last outline assembled had to be turned round.
  int32_t GetReversed() const { return m_Reversed; }

  // The per-size lists as they stand (nothing is computed); 0 and `out`
  // untouched for a size outside the lists.
  BOOL GetStoredOutline(int32_t size, std::vector<CPoint>& out) const;
  BOOL GetStoredSeamLine(int32_t size, std::vector<CPoint>& out) const;
  int32_t GetSizeListCount() const { return static_cast<int32_t>(m_Outlines.size()); }

  // The outline ring and the seam line of a size, as the piece and its
  // construction elements read them: `out` is emptied, then takes a copy of
  // the size's list; 0 (and `out` empty) for a size outside the lists.
  // Once the outline assembly is built, a dirty size is recomputed first;
  // until then the lists stand as they are (empty).
  virtual BOOL GetOutline(int32_t size, PointList& out);
  virtual BOOL GetSeamLine(int32_t size, PointList& out);
  // Whether (x, y) lies inside the outline of the size; 0 for an outline of
  // fewer than three points.
  BOOL PtInside(int32_t x, int32_t y, int32_t size);

  // ---- Overrides of the design element ----------------------------------

  // Whether an outline entry's line, start or end point, or a seam entry's
  // point is `object`; null never matches.
  BOOL RefersTo(const CGradedObject* object) const override;
  // Every reference RefersTo answers for, in entry order.
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // Keep an empty outline and seam line per size, in step with the flags.
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;
  // The box of the size's outline and seam line as they stand (each one
  // past its greatest x and y); empty when both lists are.
  CRect GetBoundRect(int32_t size) const override;
  // Reads the record at the owner's data version: the outline entries, then
  // the seam entries. Each stored reference resolves at once to an object of
  // the kind its field takes (a line or a curve for an entry's line, points
  // otherwise), or to none. A count the bytes left cannot hold, or a record
  // cut short, fails (0) and keeps nothing; a count of 0 or less reads no
  // entry.
  BOOL Load(ArchiveReader& archive) override;

 private:
  // Calls `visit` with every stored reference (null ones too), outline
  // entries first, until it answers true; whether one did.
  template <class Visit>
  bool AnyReference(Visit visit) const;
  BOOL ReadEntries(ArchiveReader& archive, std::vector<CBoundaryEntry>& entries);
  BOOL ReadSeamEntries(ArchiveReader& archive, std::vector<CSeamEntry>& seams);
  BOOL ReadSeamEntry(ArchiveReader& archive, int32_t version, CSeamEntry& seam);

  std::vector<CBoundaryEntry> m_Entries;
  std::vector<CSeamEntry> m_SeamEntries;
  std::vector<std::vector<CPoint>> m_Outlines;
  std::vector<std::vector<CPoint>> m_SeamLines;
  int32_t m_Reversed = 0;
};

// Joins the boundary to the element table under type 1.
void RegisterBoundaryElements();
