// The base of the construction elements of type code 32: darts and the like,
// small shapes built for every size from referenced construction points and
// graded values, which the piece may cut into its outline and its seam line.
// Each subtype (1, 2, 4, ..., 512) is one class (design/construct/darts.h).
//
// Every subtype stores the same three groups, in this order: its point
// references (two or three object positions), its graded values (none, one
// or two formulas) and its parameter words (nine to fifteen 32-bit words).
// The base keeps the three groups for all subtypes alike:
// - the references in one list in stored order, from which RefersTo answers
//   and GetUsedObjects reports, so that the two never disagree;
// - the words in one 0-based array. One of them is a flag whose stored 2
//   reads as 1; which one is the subtype's.
//
// The first nine words are the element's mark parameters M1 to M9, handed
// with the element to the piece's marks; subtype 256 adds N1 to N6 from its
// words 10 to 15 (GetExtraMarkParams).
//
// Ownership: the element owns its formulas and its per-size records; the
// referenced points belong to the owner's design container.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "design/core/design_element.h"
#include "design/core/formula.h"
#include "design/geometry/polyline.h"
#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/win_types.h"

class CGradedObject;
class CGradedPoint;
class CPatternRecord;

// Subtype codes of the type-32 elements.
inline constexpr uint32_t kConstructSubtype1 = 1;
inline constexpr uint32_t kConstructSubtype2 = 2;
inline constexpr uint32_t kConstructSubtype4 = 4;
inline constexpr uint32_t kConstructSubtype8 = 8;
inline constexpr uint32_t kConstructSubtype16 = 16;
inline constexpr uint32_t kConstructSubtype32 = 32;
inline constexpr uint32_t kConstructSubtype64 = 64;
inline constexpr uint32_t kConstructSubtype128 = 128;
inline constexpr uint32_t kConstructSubtype256 = 256;
inline constexpr uint32_t kConstructSubtype512 = 512;

// ---- Per-size records ----------------------------------------------------------

// The box of `count` points, right and bottom one past the greatest x and y
// when `onePast`; and one point turned about (cx, cy). Shared by every
// record size.
CRect PointRecordBoundRect(const CPoint* points, int count, bool onePast);
void PointRecordTurn(CPoint* point, int32_t cx, int32_t cy, double sinA, double cosA);

// A fixed number of points that a construction element computes for one size.
// A default record has every point at (0, 0).
template <int N>
struct CPointRecord {
  static constexpr int kPointCount = N;
  std::array<CPoint, N> points{};

  void CopyFrom(const CPointRecord& source) { points = source.points; }
  // The box of the points, right and bottom one past the greatest x and y:
  // a record of points all at (0, 0) gives (0, 0, 1, 1).
  CRect GetBoundRect() const { return PointRecordBoundRect(points.data(), N, true); }
  // The box of the points turned about (cx, cy), without the one past: a
  // record of points all at (0, 0) gives (0, 0, 0, 0).
  CRect GetBoundRectAt(int32_t cx, int32_t cy, double sinA, double cosA) const {
    std::array<CPoint, N> turned = points;
    for (CPoint& p : turned) PointRecordTurn(&p, cx, cy, sinA, cosA);
    return PointRecordBoundRect(turned.data(), N, false);
  }
};

// The record of the subtypes on the one- and two-record bases: base point,
// apex, first end, middle point, second end (the subtype names them).
struct CFivePointRec : CPointRecord<5> {};
// The record of the double-pointed dart (subtype 128).
struct CShapeRecord5 : CPointRecord<5> {};
// The record of the contoured darts (subtypes 256 and 512).
struct CShapeRecord8 : CPointRecord<8> {};

// One record per size of the owner's size table, default records at first.
// A size outside the table is refused, never read.
template <class Record>
class CPerSizeRecords {
 public:
  explicit CPerSizeRecords(int32_t count = 0) : m_Records(static_cast<size_t>(count > 0 ? count : 0)) {}

  int32_t Count() const { return static_cast<int32_t>(m_Records.size()); }
  // The record of a size; FALSE (and `record` untouched) outside the table.
  BOOL Get(int32_t size, Record& record) const {
    if (!InRange(size)) return FALSE;
    record = m_Records[static_cast<size_t>(size)];
    return TRUE;
  }
  BOOL Set(int32_t size, const Record& record) {
    if (!InRange(size)) return FALSE;
    m_Records[static_cast<size_t>(size)] = record;
    return TRUE;
  }
  // A default record at `index` (0 to Count()); another index changes
  // nothing.
  void Insert(int32_t index) {
    if (index >= 0 && index <= Count()) m_Records.insert(m_Records.begin() + index, Record{});
  }
  void Remove(int32_t index) {
    if (InRange(index)) m_Records.erase(m_Records.begin() + index);
  }
  // `count` records: the first ones kept, default records added.
  void Resize(int32_t count) { m_Records.resize(static_cast<size_t>(count > 0 ? count : 0)); }

 private:
  bool InRange(int32_t size) const { return size >= 0 && size < Count(); }

  std::vector<Record> m_Records;
};

// ---- The base --------------------------------------------------------------

// What one subtype stores, in this order: its point references, its graded
// values and its words; `flagWord` is the 0-based word whose stored 2 reads
// as 1.
struct ConstructLayout {
  int32_t references = 0;
  int32_t formulas = 0;
  int32_t words = 0;
  int32_t flagWord = -1;
};

class CConstructElement : public CDesignElement {
 public:
  static constexpr int32_t kMarkParamCount = 9;       // M1 .. M9
  static constexpr int32_t kExtraMarkParamCount = 8;  // N1 .. N8
  using MarkParams = std::array<int32_t, kMarkParamCount>;
  // N1 to N8; a parameter the element does not store is absent.
  using ExtraMarkParams = std::array<std::optional<int32_t>, kExtraMarkParamCount>;

  // An element of a subtype without a class: it stores nothing and its Load
  // reads nothing and answers 0.
  CConstructElement(CPatternRecord* owner, uint32_t subtype);
  // The element's own formulas and records go with it. Its hidden
  // referenced points (state 0) go to the container's DeleteElement, which
  // deletes those that nothing else uses; while the container frees its
  // contents it asks nothing.
  ~CConstructElement() override;

  uint32_t GetSubtype() const { return m_Subtype; }

  // The point references in stored order (null where the file names none,
  // or names an object that is not a point).
  int32_t GetReferenceCount() const { return static_cast<int32_t>(m_References.size()); }
  CGradedPoint* GetReference(int32_t index) const;
  // The graded values in stored order; null outside.
  int32_t GetFormulaCount() const { return static_cast<int32_t>(m_Formulas.size()); }
  const CFormula* GetFormula(int32_t index) const;
  // The parameter words, 0-based in stored order, the flag word already read
  // as the element keeps it. A word outside reads 0.
  const std::vector<int32_t>& GetWords() const { return m_Words; }
  int32_t GetWord(int32_t index) const;
  // Which word is the flag (-1: none).
  int32_t GetFlagWordIndex() const { return m_Layout.flagWord; }

  // ---- Setters ------------------------------------------------------------
  // Each takes as many entries as the subtype stores (a shorter list leaves
  // the rest, a longer one is cut) and marks every size dirty, except
  // SetTrailingWords, which changes words 1 onwards (what only the export
  // reads) and leaves the computed shapes as they are.
  void SetReferences(const std::vector<CGradedPoint*>& references);
  void SetFormula(int32_t index, const CFormula& formula);
  void SetWords(const std::vector<int32_t>& words);
  void SetTrailingWords(const std::vector<int32_t>& words);
  // References, formulas and words at once; the record arrays are sized to
  // the owner's size count again.
  void SetAll(const std::vector<CGradedPoint*>& references, const std::vector<CFormula>& formulas,
              const std::vector<int32_t>& words);

  // M1 to M9: the first nine words.
  MarkParams GetMarkParams() const;
  // N1 to N8 of the subtypes that store some of them; FALSE (all absent)
  // for the others.
  virtual BOOL GetExtraMarkParams(ExtraMarkParams& extra) const;

  // Whether every referenced point was had at the size when it was last
  // computed (computed first when dirty). A size without its points shows
  // nothing: it is neither merged into the outline or seam line nor
  // exported, whatever record it keeps. 0 outside the sizes.
  BOOL HadPoints(int32_t size);

  // The closed shape of the size for drawing and hit tests; the base and the
  // free darts give none (the list is emptied).
  virtual void GetShapePoints(int32_t size, PointList& list);
  // What the piece asks when it cuts its outline and seam line of a size:
  // the darts on the outline splice their shape of that size into the ring
  // (those subtypes build it); the others, and this base, leave it as it is.
  virtual void MergeIntoOutline(int32_t size, PointList& outline);
  virtual void MergeIntoSeamLine(int32_t size, PointList& seamLine);

  // The four corners of a band `width` wide centred on the segment from
  // end2 to end1: c1 and c2 at end1, c3 and c4 at end2, c2 and c3 on the
  // side of the normal (-dy, dx) of end1 - end2. Ends that coincide have no
  // direction: every corner is put at that end and FALSE is returned.
  static BOOL MakeBand(CPoint end1, CPoint end2, int32_t width, CPoint* c1, CPoint* c2, CPoint* c3, CPoint* c4);

  // ---- Overrides of the design element ------------------------------------

  // Whether `object` is one of the references; never for null.
  BOOL RefersTo(const CGradedObject* object) const override;
  // Appends every reference (nulls included).
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // Every reference equal to `oldObject` becomes `newObject`; any change
  // marks every size dirty.
  void ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject) override;
  // A formula that reads the row (measure) is frozen at its base-size value
  // (each such formula; 1 when any), or the element is marked dirty.
  BOOL FreezeIfUsesSizeRow(CSizeTableRow* row) override;
  BOOL InvalidateIfUsesSizeRow(CSizeTableRow* row) override;
  BOOL FreezeIfUsesMeasure(CPieceMeasure* measure) override;
  BOOL InvalidateIfUsesMeasure(CPieceMeasure* measure) override;
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;
  // Reads the references (each a position resolved at once to a point of the
  // owner's container), the formulas and the words, the same at every data
  // version. Everything is read before anything is kept: a record cut short
  // answers 0 and leaves the element as it was.
  BOOL Load(ArchiveReader& archive) override;
  // From an element of the same subtype: the words, the formulas (their
  // rows and measures by position in this container) and the references by
  // position in this container. The records are computed again.
  void CopyFrom(const CDesignElement& other) override;

 protected:
  // A subtype that stores `layout`.
  CConstructElement(CPatternRecord* owner, uint32_t subtype, const ConstructLayout& layout);

  // The points of the first `count` references at the size, in order, into
  // `points` (which keeps (0, 0) for those not had). A null reference or a
  // failed point stops the fetch: the later ones are not asked. Returns how
  // many were had and notes for the size whether all of them were.
  int32_t FetchPoints(int32_t size, int32_t count, CPoint* points);
  // The value of a formula at the size; 0 for one the subtype lacks.
  int32_t Evaluate(int32_t index, int32_t size) const;
  // Model units per millimetre of the owner's container (1 without one).
  double Unit() const;
  // The owner's outline and seam line at the size (empty when there is
  // none); whether the piece has a seam line.
  void OutlineAt(int32_t size, PointList& outline) const;
  BOOL SeamLineAt(int32_t size, PointList& seamLine) const;
  // The base size of the owner's container (0 without one).
  int32_t BaseSize() const;
  // Sizes every record array of the subtype to the owner's size count.
  virtual void ResizeRecords() {}

 private:
  uint32_t m_Subtype;
  ConstructLayout m_Layout;
  std::vector<CGradedPoint*> m_References;
  std::vector<CFormula> m_Formulas;
  std::vector<int32_t> m_Words;
  // Per size: whether every reference was had when the size was computed.
  std::vector<uint8_t> m_Had;
};

// The distance of (x, y) to the nearest of `points` and whether it is a hit:
// within the tolerance (distance to that point), or inside `shape`
// (distance = the tolerance). `distance` is untouched on a miss.
BOOL HitTestRecordPoints(const CPoint* points, int32_t count, const PointList& shape, int32_t x, int32_t y,
                         double tolerance, double* distance);

// The union of the boxes `box` gives of an element's record of a size and of
// its second record; a record the element does not have adds nothing.
template <class Record, class Element, class Box>
CRect UnionOfRecordBoxes(Element& element, int32_t size, Box box) {
  CRect rect;
  Record record;
  if (element.GetRecord(size, record)) rect = box(record);
  if (element.GetSecondRecord(size, record)) {
    CRect joined;
    joined.UnionRect(rect, box(record));
    rect = joined;
  }
  return rect;
}

// The subtypes that keep one record of each size on the piece outline and
// one on the seam line (1, 4, 16, 64); eleven words. Record roles: p2, p3, p4
// the open line put into the ring (first leg end, middle, second leg end),
// p1 the apex, p0 a point of the subtype's own.
class CConstructElementTwoRec : public CConstructElement {
 public:
  static constexpr int32_t kWordCount = 11;

  const CPerSizeRecords<CFivePointRec>& GetOutlineRecords() const { return m_OutlineRecords; }
  const CPerSizeRecords<CFivePointRec>& GetSeamRecords() const { return m_SeamRecords; }

  // The outline record of a size, computed first when dirty; whether the
  // size had its points (the record is copied either way, nothing outside
  // the sizes).
  virtual BOOL GetRecord(int32_t size, CFivePointRec& out);
  // The seam-line record the same way; 0 and `out` untouched when the piece
  // has no seam line.
  virtual BOOL GetSecondRecord(int32_t size, CFivePointRec& out);

  // p2, p3, p4, p1 of the outline record.
  void GetShapePoints(int32_t size, PointList& list) override;
  // The line p2, p3, p4 in place of the shorter ring run between its ends;
  // a size without its points changes nothing.
  void MergeIntoOutline(int32_t size, PointList& outline) override;
  void MergeIntoSeamLine(int32_t size, PointList& seamLine) override;
  // The nearest of p2, p3, p4, p0, p1 of the base size's outline record, or
  // inside p2, p3, p4, p1.
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  // The outline record's box joined with the seam record's.
  CRect GetBoundRect(int32_t size) const override;
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Item 6 of the base size's outline record: p2 flagged 0x102 (0x002 when
  // word 1 is set), p1 flagged 5, p4 flagged 2, then the parameter vertex
  // (word 4, low half of word 9 with word 10 above it) flagged 0x69, plus
  // 0x100 or 0x200 when word 0 (fold side or cap mode) is 1 or 2. Nothing
  // (0) when the base size lacks its points.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;

 protected:
  // Both record arrays sized to the owner's sizes.
  CConstructElementTwoRec(CPatternRecord* owner, uint32_t subtype, const ConstructLayout& layout);
  // Stores the size's records, clears its flag and hands back `ok`.
  BOOL Store(int32_t size, const CFivePointRec& outline, const CFivePointRec& seam, BOOL ok);
  void ResizeRecords() override;

 private:
  CPerSizeRecords<CFivePointRec> m_OutlineRecords;
  CPerSizeRecords<CFivePointRec> m_SeamRecords;
};

// The subtypes that keep one record of each size and never change the
// outline (2, 8, 32); nine words.
class CConstructElementOneRec : public CConstructElement {
 public:
  static constexpr int32_t kWordCount = 9;

  const CPerSizeRecords<CFivePointRec>& GetRecords() const { return m_Records; }

  // The record of a size, computed first when dirty; whether the size had
  // its points.
  virtual BOOL GetRecord(int32_t size, CFivePointRec& out);

  // The nearest of p2, p3, p4, p0, p1 of the base size's record, or inside
  // p2, p3, p4, p1.
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  CRect GetBoundRect(int32_t size) const override;
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Item 9: p2, p1, p4 of the base size's record, flag 0; nothing (0) when
  // the base size lacks its points.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;

 protected:
  CConstructElementOneRec(CPatternRecord* owner, uint32_t subtype, const ConstructLayout& layout);
  // Stores the size's record, clears its flag and hands back `ok`.
  BOOL Store(int32_t size, const CFivePointRec& record, BOOL ok);
  void ResizeRecords() override;

 private:
  CPerSizeRecords<CFivePointRec> m_Records;
};

// The number of sizes of an element's owner (0 without one): the length of
// every per-size array of the element.
int32_t OwnerSizeCount(const CDesignElement& element);
