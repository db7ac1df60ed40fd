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

class CGradedCurve;
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

  // The stretch at `size`, from the start point's position to the end
  // point's: the two positions for a two-point line, the part of a curve
  // between them otherwise (GetCurveSection). `out` is emptied first; it
  // stays empty, with 0, when the entry misses its line or a point, the line
  // is neither a two-point line nor a curve, a point has no position at the
  // size, or the size is outside the line's container.
  BOOL GetSection(int32_t size, PointList& out) const;
};

// How the part of an open curve is finished when it is the whole curve of
// a curve that closes on one point, asked from that point to itself: kept as
// the curve gives it, or pinned to the two positions like every other part.
enum class WholeCurveEnds { kKeep, kPin };

// The part of `curve` at `size` between `start` (at p1) and `end` (at p2),
// as the piece takes a stretch of a construction curve:
// - an open curve is cut from its whole list (GetPolylineSection). When its
//   first and last defining point are one object, a part from that point to
//   itself is the whole list, one from it runs from the head of the list,
//   one to it up to the tail. The part's ends are then set to p1 and p2
//   (both, when the curve gives no part; `wholeEnds` says whether the whole
//   list is pinned too);
// - a closed curve gives the ring section forwards from p1 to p2; when start
//   and end are one object, the whole ring from p1 round to p1 again, the
//   closing point repeated.
// `out` is emptied first; 0 with it empty when the size is outside the
// curve's lists or a closed curve's ring does not pass p1 and p2.
BOOL GetCurveSection(CGradedCurve& curve, const CGradedPoint* start, const CGradedPoint* end, CPoint p1, CPoint p2,
                     int32_t size, WholeCurveEnds wholeEnds, PointList& out);

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
  // Replaces the outline entries (each then names this boundary as its
  // owner) and computes every size again.
  void SetEntries(std::vector<CBoundaryEntry> entries);

  // The per-size lists as they stand (nothing is computed); 0 and `out`
  // untouched for a size outside the lists.
  BOOL GetStoredOutline(int32_t size, std::vector<CPoint>& out) const;
  BOOL GetStoredSeamLine(int32_t size, std::vector<CPoint>& out) const;
  int32_t GetSizeListCount() const { return static_cast<int32_t>(m_Outlines.size()); }

  // The outline ring and the seam line of a size, as the piece and its
  // construction elements read them: `out` is emptied, then takes a copy of
  // the size's list, computed first when the size is dirty; 0 (and `out`
  // empty) for a size outside the lists.
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
  // The corner points of the outline entries at the base size: the nearest
  // start or end point within the tolerance (strictly nearer wins, so the
  // start point before the end point, an earlier entry before a later one).
  // `element` gets the point object, `point` its position, `distance` how
  // far it lies.
  BOOL HitTest(int32_t x, int32_t y, double tolerance, CGradedObject** element, CPoint* point,
               double* distance = nullptr);
  BOOL HitTest(int32_t x, int32_t y, double tolerance, CPoint* point, double* distance) override;
  // The outline entry whose stretch at the base size passes nearest to
  // (x, y) within the tolerance (the earlier on ties). Its two points come
  // back in the order the stored outline runs along it: the entries are
  // followed from the first as a chain, and an outline stored turned round
  // turns the answer round too. `foot` is the nearest place on the stretch.
  BOOL HitTestEdge(int32_t x, int32_t y, double tolerance, CGradedObject** first, CGradedObject** second,
                   CPoint* foot, double* distance) override;
  // Assembles the outline of the size from the entries' stretches (see the
  // .cpp), stores it turned to run counter-clockwise, then builds the seam
  // line on it. 1; a size outside the lists only clears its flag.
  BOOL Calculate(int32_t size) override;
  // Keep an empty outline and seam line per size, in step with the flags.
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;
  // The box of the size's outline and seam line, computed first when dirty
  // (each one past its greatest x and y); empty when both lists are.
  CRect GetBoundRect(int32_t size) const override;
  // The same with every point turned about (cx, cy) first.
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Reads the record at the owner's data version: the outline entries, then
  // the seam entries. Each stored reference resolves at once to an object of
  // the kind its field takes (a line or a curve for an entry's line, points
  // otherwise), or to none. A count the bytes left cannot hold, or a record
  // cut short, fails (0) and keeps nothing; a count of 0 or less reads no
  // entry.
  BOOL Load(ArchiveReader& archive) override;
  // The piece outline item (type 0): the cut outline of the base size
  // (CPatternRecord::GetCutOutline), counter-clockwise, as vertices flagged
  // 0 at corners, 1 at curve points kept as spline controls, 2 at polyline
  // and other plain points; each run of curve samples between two corner or
  // plain vertices is thinned to spline controls within `exportFactor`
  // model units. Behind the vertex of each seam entry's point come its seam
  // vertices (flag 0x80): the two widths packed into x (incoming in the high
  // 16 bits, each held to -32768 .. 32767) with the corner kind as y, and
  // for the corner kinds 10 to 15 a second one with the corner parameter.
  // 0 with an empty list when there is no outline.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;

 protected:
  // Builds the seam line of the size from its outline and the seam entries.
  void BuildSeamAllowance(int32_t size);

 private:
  // The outline and seam line of a size after computing it when dirty;
  // empty lists outside the sizes.
  void ListsAt(int32_t size, PointList& outline, PointList& seamLine) const;
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
