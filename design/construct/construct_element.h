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

// A fixed number of points that a construction element computes for one size.
template <int N>
struct CPointRecord {
  static constexpr int kPointCount = N;
  std::array<CPoint, N> points{};
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

  // M1 to M9: the first nine words.
  MarkParams GetMarkParams() const;
  // N1 to N8 of the subtypes that store some of them; FALSE (all absent)
  // for the others.
  virtual BOOL GetExtraMarkParams(ExtraMarkParams& extra) const;

  // What the piece asks when it cuts its outline and seam line of a size:
  // the darts on the outline splice their shape of that size into the ring
  // (those subtypes build it); the others, and this base, leave it as it is.
  virtual void MergeIntoOutline(int32_t size, PointList& outline);
  virtual void MergeIntoSeamLine(int32_t size, PointList& seamLine);

  // ---- Overrides of the design element ------------------------------------

  // Whether `object` is one of the references; never for null.
  BOOL RefersTo(const CGradedObject* object) const override;
  // Appends every reference (nulls included).
  void GetUsedObjects(std::vector<CGradedObject*>& used) const override;
  // Reads the references (each a position resolved at once to a point of the
  // owner's container), the formulas and the words, the same at every data
  // version. Everything is read before anything is kept: a record cut short
  // answers 0 and leaves the element as it was.
  BOOL Load(ArchiveReader& archive) override;

 protected:
  // A subtype that stores `layout`.
  CConstructElement(CPatternRecord* owner, uint32_t subtype, const ConstructLayout& layout);

 private:
  uint32_t m_Subtype;
  ConstructLayout m_Layout;
  std::vector<CGradedPoint*> m_References;
  std::vector<CFormula> m_Formulas;
  std::vector<int32_t> m_Words;
};

// The subtypes that keep one record of each size on the piece outline and
// one on the seam line (1, 4, 16, 64); eleven words.
class CConstructElementTwoRec : public CConstructElement {
 public:
  static constexpr int32_t kWordCount = 11;

  const CPerSizeRecords<CFivePointRec>& GetOutlineRecords() const { return m_OutlineRecords; }
  const CPerSizeRecords<CFivePointRec>& GetSeamRecords() const { return m_SeamRecords; }

  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;

 protected:
  // Both record arrays sized to the owner's sizes.
  CConstructElementTwoRec(CPatternRecord* owner, uint32_t subtype, const ConstructLayout& layout);

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

  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;

 protected:
  CConstructElementOneRec(CPatternRecord* owner, uint32_t subtype, const ConstructLayout& layout);

 private:
  CPerSizeRecords<CFivePointRec> m_Records;
};

// The number of sizes of an element's owner (0 without one): the length of
// every per-size array of the element.
int32_t OwnerSizeCount(const CDesignElement& element);
