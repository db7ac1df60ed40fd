// The construction elements of type code 64: band-like shapes that a design
// piece cuts into its outline and seam line between two construction points.
// Every subtype (1, 2, 4, 8, 16, 32) stores the same record: two point
// references, two graded widths and six integer parameters. What differs is
// the per-size shape each builds from them and which shape record it keeps
// per size (eight points for subtypes 1 to 8, ten for 16 and 32).
//
// Each size keeps, beside its two records, whether both referenced points
// could be had at that size: a size without them has no shape at all and is
// neither spliced nor exported. Every other failure of a size (an edge that
// meets the outline only behind its end, two reference points that coincide,
// widths that leave no tangent) keeps the degenerate record whose first-end
// points sit on the first point and second-end points on the second: it
// splices to nothing and still exports.
//
// Ownership: the element owns its formulas and its per-size records; the
// referenced points belong to the design container.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "design/core/design_element.h"
#include "design/core/formula.h"
#include "design/geometry/polyline.h"
#include "platform/archive.h"
#include "platform/dc.h"
#include "platform/geometry_types.h"
#include "platform/win_types.h"

class CGradedObject;
class CPatternRecord;

// ---- Per-size shape records --------------------------------------------------

// What both shape records keep for their fill lines.
class CShapeRecordBase {
 public:
  virtual ~CShapeRecordBase() = default;

  // 1: the fill lines must be computed again.
  int32_t recompute = 1;
  // Distance between neighbouring fill lines in model units; 0: none.
  int32_t lineSpacing = 0;
  int32_t lineCount = 0;
  int32_t lineOffset = 0;
  int32_t sideFlag = 0;
};

// A shape of `N` points p0 .. p(N-1), each long pair of the shape running
// from its end at the first reference to its end at the second, and the
// start and end points of its fill lines (one pair of lists per half of the
// shape).
template <size_t N, size_t ListPairs>
class CShapeRecord : public CShapeRecordBase {
 public:
  static constexpr size_t kPointCount = N;

  // Every point at (0, 0), no fill lines, to be recomputed.
  CShapeRecord() = default;

  // Point `index`; (0, 0) for an index outside the record.
  CPoint GetPoint(size_t index) const { return index < N ? m_Points[index] : CPoint(0, 0); }
  CPoint GetP0() const { return m_Points[0]; }
  CPoint GetP1() const { return m_Points[1]; }
  CPoint GetP2() const { return m_Points[2]; }
  CPoint GetP3() const { return m_Points[3]; }
  CPoint GetP4() const { return m_Points[4]; }
  CPoint GetP5() const { return m_Points[5]; }
  CPoint GetP6() const { return m_Points[6]; }
  CPoint GetP7() const { return m_Points[7]; }
  const std::array<CPoint, N>& GetPoints() const { return m_Points; }

  // Left and top the least x and y, right and bottom one past the greatest.
  CRect GetBoundRect() const;
  // Every point turned about (cx, cy), then the least and greatest x and y
  // without the one past; empty when the least exceeds the greatest.
  CRect GetBoundRectAt(int32_t cx, int32_t cy, double sinA, double cosA) const;
  // Points, fill lines and every fill setting of `other`.
  void CopyFrom(const CShapeRecord& other) { *this = other; }

  // The fill lines of the shape, `count` at most, `spacing` apart measured
  // across them, the first `offset` from the start of its base segment;
  // `side` picks the base segment and the slant (60 degrees either way of
  // the shape's direction p0 -> p1). `out` takes the starts, then the ends,
  // of each half. A spacing of 0 stores the settings and gives no lines; the
  // same count and spacing with nothing changed since give the stored lines.
  void GetFillLines(int32_t count, int32_t spacing, int32_t offset, int32_t side,
                    std::array<std::vector<CPoint>, 2 * ListPairs>* out);
  // Stores the points, empties the fill lines and marks them for
  // recomputation.
  void Set(const std::array<CPoint, N>& points) {
    m_Points = points;
    for (auto& list : m_FillLines) list.clear();
    recompute = 1;
  }
  // Fill-line list `index`: the starts, then the ends, of each half in turn.
  // An empty list for an index outside.
  const std::vector<CPoint>& GetFillLineList(size_t index) const {
    static const std::vector<CPoint> kNone;
    return index < m_FillLines.size() ? m_FillLines[index] : kNone;
  }

 private:
  std::array<CPoint, N> m_Points{};
  std::array<std::vector<CPoint>, 2 * ListPairs> m_FillLines;
};

// Subtypes 1, 2, 4 and 8: eight points, one half.
using CShapeRecordA = CShapeRecord<8, 1>;
// Subtypes 16 and 32: ten points, two halves either side of the middle line.
using CShapeRecordB = CShapeRecord<10, 2>;

// ---- The elements ------------------------------------------------------------

// The base of the type-64 family: the type code and the subtype. Its own
// answers are neutral; the subtype classes carry the record.
class CType64Element : public CDesignElement {
 public:
  CType64Element(CPatternRecord* owner, int32_t subtype);
  ~CType64Element() override;

  int32_t GetSubtype() const { return m_Subtype; }

  // What the piece asks when it cuts its outline and seam line of a size:
  // the band splices its two ends of that size into the ring (the subtypes
  // build that); this base leaves the ring as it is.
  virtual void ApplyToOutline(int32_t size, PointList& outline);
  virtual void ApplyToSeamLine(int32_t size, PointList& seamLine);
  // The outline of a size with this band cut into it.
  void AdjustOutline(int32_t size, PointList& outline) { ApplyToOutline(size, outline); }

  // Draws a slot of `width` model units from (x1, y1) to (x2, y2) in the
  // given style (1: line and cross bar at the second end, 2: open V,
  // 3: rounded end, 4: plain line, 5: three sides of the band). Ends under
  // 4 device units apart draw only a short stroke; coinciding ends draw
  // nothing.
  static void DrawShape(CDC* dc, double scale, int32_t originX, int32_t originY, int32_t x1, int32_t y1,
                        int32_t x2, int32_t y2, int32_t style, int32_t width);

 private:
  int32_t m_Subtype;
};

// The record every subtype stores, with the per-size shape records of type
// `Record`.
template <class Record>
class CType64Band : public CType64Element {
 public:
  static constexpr int32_t kParameterCount = 6;
  using Parameters = std::array<int32_t, kParameterCount>;

  // No references, empty formulas of the owner's container, parameters 0,
  // one empty shape record per size in each array, every size dirty.
  CType64Band(CPatternRecord* owner, int32_t subtype);
  ~CType64Band() override;

  // Takes the references, the widths (copied) and the parameters; both
  // record arrays are sized again to the container's sizes, every size dirty.
  void SetParameters(CGradedObject* firstRef, CGradedObject* secondRef, const CFormula& firstValue,
                     const CFormula& secondValue, const Parameters& params);
  void GetParameters(CGradedObject** firstRef, CGradedObject** secondRef, CFormula* firstValue,
                     CFormula* secondValue, Parameters* params) const;
  // The widths and parameters alone; every size dirty.
  void SetValues(const CFormula& firstValue, const CFormula& secondValue, const Parameters& params);
  void GetValues(CFormula* firstValue, CFormula* secondValue, Parameters* params) const;

  // The shape of a size on the outline, computed first when the size is
  // dirty. 0, `out` untouched, for a size outside the arrays or one at which
  // a referenced point could not be had.
  BOOL GetOutlineRecord(int32_t size, Record* out);
  // The same on the seam line; 0 too when the piece has no seam line.
  BOOL GetSeamRecord(int32_t size, Record* out);
  // Whether both referenced points were had when the size was last computed.
  BOOL HasPointsAt(int32_t size) const;

  // The points between which the band runs; null for none.
  CGradedObject* GetFirstRef() const { return m_FirstRef; }
  CGradedObject* GetSecondRef() const { return m_SecondRef; }
  // The widths at the first and the second point.
  const CFormula& GetFirstValue() const { return m_FirstValue; }
  const CFormula& GetSecondValue() const { return m_SecondValue; }
  // Parameters 1 to 6 as stored, at indices 0 to 5.
  const Parameters& GetParams() const { return m_Params; }

  // The stored shape record of a size on the outline and on the seam line;
  // null for a size outside the arrays. As stored: a dirty size is not
  // computed (GetOutlineRecord and GetSeamRecord compute it).
  const Record* GetOutlineRecordAt(int32_t size) const { return RecordAt(m_OutlineRecords, size); }
  const Record* GetSeamRecordAt(int32_t size) const { return RecordAt(m_SeamRecords, size); }
  int32_t GetRecordCount() const { return static_cast<int32_t>(m_OutlineRecords.size()); }

  // ---- Overrides of the design element ------------------------------------

  // Splices the band's end lists of the size into the ring (both ends, or
  // the first alone for subtypes 2 and 32); a size without its points, or a
  // list that does not meet the ring, leaves it unchanged.
  void ApplyToOutline(int32_t size, PointList& outline) override;
  void ApplyToSeamLine(int32_t size, PointList& seamLine) override;
  // On the base size's outline shape: a point of the shape within
  // `tolerance` (the nearest, distance rounded), or a position inside the
  // shape (distance = tolerance).
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  // The outline shape's box, joined with the seam-line shape's when the
  // piece has one; empty for a size without its points.
  CRect GetBoundRect(int32_t size) const override;
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Item 7: each long pair of the base size's outline shape as a run of two
  // vertices, flags 0 (first pair), 1 (middle pairs) or 3 (last pair), then
  // 4. 0 and nothing written when the base size has no points.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;

  // Whether a reference is `object` (never for null).
  BOOL RefersTo(const CGradedObject* object) const override;
  // Both references, in field order.
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // Each reference equal to `oldObject` becomes `newObject`; a change marks
  // every size dirty.
  void ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject) override;
  BOOL FreezeIfUsesSizeRow(CSizeTableRow* row) override;
  BOOL InvalidateIfUsesSizeRow(CSizeTableRow* row) override;
  BOOL FreezeIfUsesMeasure(CPieceMeasure* measure) override;
  BOOL InvalidateIfUsesMeasure(CPieceMeasure* measure) override;
  // An empty record inserted at `index` (0 to the count) in both arrays, the
  // size dirty; an index outside is refused.
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;
  // Reads the record: first and second point (object positions; none for
  // -1, a position outside the container or an object that is not a point),
  // the two widths, the six parameters. Everything is read before anything
  // is stored: 0 (element unchanged) when the record is cut short or the
  // element has no container. Every size stays dirty.
  BOOL Load(ArchiveReader& archive) override;

 private:
  static const Record* RecordAt(const std::vector<Record>& records, int32_t size) {
    return size >= 0 && size < static_cast<int32_t>(records.size()) ? &records[static_cast<size_t>(size)] : nullptr;
  }
  // The formulas whose use of a row or measure is asked.
  std::array<CFormula*, 2> Values() { return {&m_FirstValue, &m_SecondValue}; }
  void ResizeRecords();
  // Whether this subtype splices its second end too.
  bool SplicesBothEnds() const;

 public:
  // One computed size: whether both points were had, whether the size
  // succeeded, its outline record and, when the piece has a seam line, its
  // seam-line record.
  struct SizeShape {
    bool hadPoints = false;
    bool ok = false;
    Record outline;
    bool seamBuilt = false;
    Record seam;
  };

 protected:
  // Stores a computed size (a seam-line record only when one was built) and
  // marks it clean; returns whether it succeeded.
  BOOL Finish(int32_t size, const SizeShape& shape);

 private:
  CGradedObject* m_FirstRef = nullptr;
  CGradedObject* m_SecondRef = nullptr;
  CFormula m_FirstValue;
  CFormula m_SecondValue;
  Parameters m_Params{};
  std::vector<Record> m_OutlineRecords;
  std::vector<Record> m_SeamRecords;
  std::vector<uint8_t> m_HadPoints;
};

extern template class CType64Band<CShapeRecordA>;
extern template class CType64Band<CShapeRecordB>;

// Band between two points with mirrored ends, reaching the outline at both.
class CType64Element1 : public CType64Band<CShapeRecordA> {
 public:
  static constexpr int32_t kSubtype = 1;
  explicit CType64Element1(CPatternRecord* owner) : CType64Band(owner, kSubtype) {}
  BOOL Calculate(int32_t size) override;
};

// Band from the outline with one mirrored end; the second end stays inside.
class CType64Element2 : public CType64Band<CShapeRecordA> {
 public:
  static constexpr int32_t kSubtype = 2;
  explicit CType64Element2(CPatternRecord* owner) : CType64Band(owner, kSubtype) {}
  BOOL Calculate(int32_t size) override;
};

// Band folded along its middle line, across the piece from outline to outline.
class CType64Element4 : public CType64Band<CShapeRecordA> {
 public:
  static constexpr int32_t kSubtype = 4;
  explicit CType64Element4(CPatternRecord* owner) : CType64Band(owner, kSubtype) {}
  BOOL Calculate(int32_t size) override;
};

// Folded band open at one end: it meets the outline at the first point only.
class CType64Element8 : public CType64Band<CShapeRecordA> {
 public:
  static constexpr int32_t kSubtype = 8;
  explicit CType64Element8(CPatternRecord* owner) : CType64Band(owner, kSubtype) {}
  BOOL Calculate(int32_t size) override;
};

// Band of two halves either side of the middle line, outline to outline.
class CType64Element16 : public CType64Band<CShapeRecordB> {
 public:
  static constexpr int32_t kSubtype = 16;
  explicit CType64Element16(CPatternRecord* owner) : CType64Band(owner, kSubtype) {}
  BOOL Calculate(int32_t size) override;
};

// Band of two halves meeting the outline at the first point only.
class CType64Element32 : public CType64Band<CShapeRecordB> {
 public:
  static constexpr int32_t kSubtype = 32;
  explicit CType64Element32(CPatternRecord* owner) : CType64Band(owner, kSubtype) {}
  BOOL Calculate(int32_t size) override;
};

// The corner test of the bands: whether the outline beyond a corner turns
// away from the band's edge by at least 10 and at most 350 degrees (both
// included, as the bounds below give them). Closer to straight on, the
// mirrored outline runs almost along the edge and its meeting point with the
// middle line is not trusted: the ends' midpoints are taken instead.
bool PassesBandCornerTest(double turn);

// Joins the six subtypes to the element table under type code 64.
void RegisterType64Elements();
