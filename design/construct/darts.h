// The darts: the construction elements of type code 32, one class per
// subtype. Each keeps its references, graded values and words in the base
// (design/construct/construct_element.h) and names them here.
//
//   subtype  references                     values                  words  flag
//   1        centre, apex                   width                   11     1
//   2        centre, apex                   width                    9     0
//   4        first leg end, second leg end  depth                   11     1
//   8        first leg end, second leg end  depth                    9     0
//   16       first leg end, second, apex    -                       11     1
//   32       first leg end, second, apex    -                        9     0
//   64       start, apex                    length along outline    11     1
//   128      first end, side, second end    width                    9     0
//   256      centre, bend, apex             opening and bend width  15     1
//   512      centre, bend, apex             opening and bend width  13     0
//
// (flag: the 0-based word whose stored 2 reads as 1.) Word 0 of subtypes 1,
// 64 and 256 is the fold side, of subtypes 4 and 16 the cap mode.
#pragma once

#include <cstdint>

#include "design/construct/construct_element.h"

class CGradedPoint;

// A dart on the piece outline: apex B, the opening centred on A. Record:
// A, B, Q1, C, Q2 (the leg ends where the legs meet the outline, Q1 first
// along the shorter run to Q2, and the fold point C on the centre line that
// closes the dart in the outline). A size whose legs find no crossing ahead
// of the apex, or whose apex lies on the centre, fails with the dart shut
// at A (A, B, A, A, A).
class CConstructElement1 : public CConstructElementTwoRec {
 public:
  explicit CConstructElement1(CPatternRecord* owner);
  BOOL Calculate(int32_t size) override;
  CGradedPoint* GetCentre() const { return GetReference(0); }
  CGradedPoint* GetApex() const { return GetReference(1); }
  const CFormula& GetWidth() const { return *GetFormula(0); }
  int32_t GetFoldSide() const { return GetWord(0); }
};

// The free twin of subtype 1: the dart from its two points alone. Record:
// A, B, P1, A, P2; an apex on the centre gives a dart of no width.
class CConstructElement2 : public CConstructElementOneRec {
 public:
  explicit CConstructElement2(CPatternRecord* owner);
  BOOL Calculate(int32_t size) override;
  CGradedPoint* GetCentre() const { return GetReference(0); }
  CGradedPoint* GetApex() const { return GetReference(1); }
  const CFormula& GetWidth() const { return *GetFormula(0); }
};

// A dart of a graded depth between two outline points, with a cap. Record:
// base point (midpoint of the leg ends), apex, A, cap point, B, A to B the
// shorter way round the outline.
class CConstructElement4 : public CConstructElementTwoRec {
 public:
  explicit CConstructElement4(CPatternRecord* owner);
  BOOL Calculate(int32_t size) override;
  CGradedPoint* GetFirstLegEnd() const { return GetReference(0); }
  CGradedPoint* GetSecondLegEnd() const { return GetReference(1); }
  const CFormula& GetDepth() const { return *GetFormula(0); }
  int32_t GetCapMode() const { return GetWord(0); }
};

// The free twin of subtype 4: record base point, apex, A, base point, B. A
// size without its leg ends keeps its previous record.
class CConstructElement8 : public CConstructElementOneRec {
 public:
  explicit CConstructElement8(CPatternRecord* owner);
  BOOL Calculate(int32_t size) override;
  CGradedPoint* GetFirstLegEnd() const { return GetReference(0); }
  CGradedPoint* GetSecondLegEnd() const { return GetReference(1); }
  const CFormula& GetDepth() const { return *GetFormula(0); }
};

// A dart between two outline points with its apex at a third point; its
// centre line bisects the angle at the apex. Record: base point (where the
// centre line meets the outline), apex, A, cap point, B.
class CConstructElement16 : public CConstructElementTwoRec {
 public:
  explicit CConstructElement16(CPatternRecord* owner);
  BOOL Calculate(int32_t size) override;
  CGradedPoint* GetFirstLegEnd() const { return GetReference(0); }
  CGradedPoint* GetSecondLegEnd() const { return GetReference(1); }
  CGradedPoint* GetApex() const { return GetReference(2); }
  int32_t GetCapMode() const { return GetWord(0); }
};

// The free twin of subtype 16: record P, apex, A, P, B with P where the
// centre line meets A-B (B when it never does).
class CConstructElement32 : public CConstructElementOneRec {
 public:
  explicit CConstructElement32(CPatternRecord* owner);
  BOOL Calculate(int32_t size) override;
  CGradedPoint* GetFirstLegEnd() const { return GetReference(0); }
  CGradedPoint* GetSecondLegEnd() const { return GetReference(1); }
  CGradedPoint* GetApex() const { return GetReference(2); }
};

// A dart from an outline point and a signed length along the outline.
// Record: A (where the centre line meets the outline), B, Q1, C, Q2. A
// length the outline cannot walk fails with every point at the start.
class CConstructElement64 : public CConstructElementTwoRec {
 public:
  explicit CConstructElement64(CPatternRecord* owner);
  BOOL Calculate(int32_t size) override;
  CGradedPoint* GetStart() const { return GetReference(0); }
  CGradedPoint* GetApex() const { return GetReference(1); }
  const CFormula& GetLength() const { return *GetFormula(0); }
  int32_t GetFoldSide() const { return GetWord(0); }
};

// A double-pointed dart: ends P and N, widest where M's bisector meets P-N.
class CConstructElement128 : public CConstructElement {
 public:
  static constexpr int32_t kWordCount = 9;

  explicit CConstructElement128(CPatternRecord* owner);
  CGradedPoint* GetFirstEnd() const { return GetReference(0); }
  CGradedPoint* GetSide() const { return GetReference(1); }
  CGradedPoint* GetSecondEnd() const { return GetReference(2); }
  const CFormula& GetWidth() const { return *GetFormula(0); }
  const CPerSizeRecords<CShapeRecord5>& GetRecords() const { return m_Records; }
  // The record P, M, N, E1, E2 of a size, computed first when dirty;
  // whether the size had its points.
  BOOL GetRecord(int32_t size, CShapeRecord5& out);

  BOOL Calculate(int32_t size) override;
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  CRect GetBoundRect(int32_t size) const override;
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Item 8: the diamond P, E1, N, E2, flag 0.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;

 protected:
  void ResizeRecords() override { m_Records.Resize(OwnerSizeCount(*this)); }

 private:
  CPerSizeRecords<CShapeRecord5> m_Records;
};

// A contoured dart on the outline: its legs bend once, at A2.
class CConstructElement256 : public CConstructElement {
 public:
  static constexpr int32_t kWordCount = 15;
  // N1 is word 10 (0-based 9); N7 and N8 have no word.
  static constexpr int32_t kFirstExtraMarkWord = 9;
  static constexpr int32_t kStoredExtraMarkParams = 6;

  explicit CConstructElement256(CPatternRecord* owner);
  CGradedPoint* GetCentre() const { return GetReference(0); }
  CGradedPoint* GetBend() const { return GetReference(1); }
  CGradedPoint* GetApex() const { return GetReference(2); }
  const CFormula& GetOpeningWidth() const { return *GetFormula(0); }
  const CFormula& GetBendWidth() const { return *GetFormula(1); }
  int32_t GetFoldSide() const { return GetWord(0); }
  const CPerSizeRecords<CShapeRecord8>& GetOutlineRecords() const { return m_OutlineRecords; }
  const CPerSizeRecords<CShapeRecord8>& GetSeamRecords() const { return m_SeamRecords; }

  // N1 to N6 from words 10 to 15. N7 and N8 (the marks on the segment from
  // the apex to the far leg end) are not stored, so they stay absent and no
  // such marks are made up.
  BOOL GetExtraMarkParams(ExtraMarkParams& extra) const override;
  // The outline record (A, A2, B, Q1, P3, Q2, P4, C) of a size, computed
  // first when dirty; whether the size had its points. The seam-line record
  // the same way, 0 without a seam line.
  BOOL GetRecord(int32_t size, CShapeRecord8& out);
  BOOL GetSecondRecord(int32_t size, CShapeRecord8& out);

  BOOL Calculate(int32_t size) override;
  // Q1, C, Q2, P4, B, P3 of the outline record.
  void GetShapePoints(int32_t size, PointList& list) override;
  // The line Q1, C, Q2 put into the ring; nothing for a size without its
  // points.
  void MergeIntoOutline(int32_t size, PointList& outline) override;
  void MergeIntoSeamLine(int32_t size, PointList& seamLine) override;
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  CRect GetBoundRect(int32_t size) const override;
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Item 9: Q1, P3, B, P4, Q2 of the outline record, flag 0.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;

 protected:
  void ResizeRecords() override {
    m_OutlineRecords.Resize(OwnerSizeCount(*this));
    m_SeamRecords.Resize(OwnerSizeCount(*this));
  }

 private:
  CPerSizeRecords<CShapeRecord8> m_OutlineRecords;
  CPerSizeRecords<CShapeRecord8> m_SeamRecords;
};

// The free twin of subtype 256.
class CConstructElement512 : public CConstructElement {
 public:
  static constexpr int32_t kWordCount = 13;

  explicit CConstructElement512(CPatternRecord* owner);
  CGradedPoint* GetCentre() const { return GetReference(0); }
  CGradedPoint* GetBend() const { return GetReference(1); }
  CGradedPoint* GetApex() const { return GetReference(2); }
  const CFormula& GetOpeningWidth() const { return *GetFormula(0); }
  const CFormula& GetBendWidth() const { return *GetFormula(1); }
  const CPerSizeRecords<CShapeRecord8>& GetRecords() const { return m_Records; }
  // The record A, A2, B, P1, P3, P2, P4, A of a size, computed first when
  // dirty; whether the size had its points.
  BOOL GetRecord(int32_t size, CShapeRecord8& out);

  BOOL Calculate(int32_t size) override;
  BOOL HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) override;
  CRect GetBoundRect(int32_t size) const override;
  CRect GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const override;
  // Item 9: P1, P3, B, P4, P2, flag 0.
  BOOL ExportItem(double exportFactor, int32_t* itemType, std::vector<CVertex>* vertices) override;
  void InsertSize(int32_t index) override;
  void RemoveSize(int32_t index) override;

 protected:
  void ResizeRecords() override { m_Records.Resize(OwnerSizeCount(*this)); }

 private:
  CPerSizeRecords<CShapeRecord8> m_Records;
};

// Joins the ten darts to the element table under type 32 and their subtypes.
void RegisterDarts();
