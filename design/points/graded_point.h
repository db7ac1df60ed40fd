// The base of the construction points of a design. A construction point has
// one position for every size of its container's size table; each point kind
// says how that position follows from stored values, graded values and other
// objects. The base keeps the kind code, the compute-all flag and the per-size
// positions: the cache of computed positions and, for the sizes a point does
// not compute (compute-all 0), the positions stored for them.
//
// Ownership: the container owns every point; a point owns its per-size
// positions. References to other objects are plain pointers into the
// container's list.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "design/core/formula.h"
#include "design/core/graded_object.h"
#include "design/points/dim_label.h"
#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/win_types.h"

// Point kinds of the free points; the other kinds have their codes with their
// classes.
inline constexpr int32_t kPointKindFree = 1;
inline constexpr int32_t kPointKindFreeVertex = 20;

// Points store a status word after their state from this data version on.
inline constexpr int32_t kFirstVersionWithPointStatus = 104;
// From this data version on, a design of mode 2 stores a compute-all flag
// with each free point and, when it is 0, one position per size.
inline constexpr int32_t kFirstVersionWithSizePoints = 110;
inline constexpr int32_t kModeWithSizePoints = 2;

class CGradedCurve;
class CGradedLine;

// Positions beyond this bound, either way, are reported as (0, 0) and mark
// the point with status 13; the cache keeps them as computed.
inline constexpr int32_t kMaxPointCoordinate = 50'000'000;
inline constexpr uint16_t kPointStatusOverflow = 13;
// Nested point computations deeper than this fail the size that asks: no real
// design chains so many points, and a damaged file must not exhaust the
// stack.
inline constexpr int32_t kMaxPointNesting = 10'000;

class CGradedPoint : public CGradedObject {
 public:
  // A field typed as a point resolves only to objects of this kind.
  static constexpr int32_t kObjectKind = kObjectKindPoint;

  // A hidden point (state 0) of point kind `kind`, every size dirty, compute-
  // all 1, and one position (0, 0) per size of the owner (none without one).
  // It stays hidden until the loader, a copy or its creator sets the state.
  CGradedPoint(int32_t kind, CPatternData* owner, uint16_t status);
  ~CGradedPoint() override;

  // The point kind (1 to 47), fixed at construction.
  int32_t GetSubtype() const { return m_Subtype; }

  // 1: every size is computed from the point's definition; 0: only the
  // owner's base size is, and every other size keeps its stored position.
  // Changing the flag invalidates nothing.
  void SetComputeAll(int32_t flag) { m_ComputeAll = flag; }
  int32_t GetComputeAll() const { return m_ComputeAll; }

  // Stores (x, y) as the position of one size; a size outside the per-size
  // positions is ignored. The dirty flag is left alone: a later computation
  // of a dirty size replaces the position.
  void SetSizePoint(int32_t size, int32_t x, int32_t y);
  // The number of per-size positions (the owner's size count).
  int32_t GetSizePointCount() const { return static_cast<int32_t>(m_SizePoints.size()); }
  // The position held for one size as it stands, computed or stored; nothing
  // is computed. 0 (and `out` untouched) for a size outside the positions.
  BOOL GetSizePoint(int32_t size, CPoint* out) const;

  // A size inserted into the owner's size table at `index` gets a dirty flag
  // and a position: (0, 0) when every size is computed; with compute-all 0 a
  // position carried on from the neighbouring sizes (extrapolated linearly
  // below the first and above the last size, a copy of the size at `index`
  // in between), so that the stored grading goes on. The extrapolation
  // saturates at the int32 range instead of wrapping.
  void InsertSize(int32_t index) override;
  // Removes the flag and the position of one size; an index outside the
  // positions removes no position.
  void RemoveSize(int32_t index) override;

  // The base reads no record of its own: 0. Every kind reads its whole record.
  BOOL Load(ArchiveReader& archive) override;

  // ---- Positions ----------------------------------------------------------

  // The position at a size (0 .. size count - 1), computed first when the
  // size is dirty. 0 when the point cannot be had at that size; `out` then
  // holds the cached position. A position beyond kMaxPointCoordinate is
  // handed out as (0, 0), and the point is shown with status 13; the cache
  // keeps the computed value.
  BOOL GetPoint(int32_t size, CPoint* out);
  // The per-size computation. A clean size gives its cached position (1). A
  // dirty one gives, with compute-all 0 away from the base size, its stored
  // position (1); else the kind computes it (ComputePoint). The result is
  // cached and the size marked clean, as the kind's SizeOutcome says, so that
  // only the first caller of a failing size sees the 0.
  //
  // A point asked again for a size it is still computing (a cycle in a
  // damaged file) answers 0 with its cached position, as does a computation
  // nested deeper than kMaxPointNesting.
  virtual BOOL CalcPoint(int32_t size, int32_t* x, int32_t* y);

  // Every size dirty, then each computed in size order.
  void RecalcAll() override;
  // A hit needs the position at the size and a distance below the
  // tolerance (strictly); `distance` gets the distance, `point` the position.
  BOOL HitTest(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point, double* distance) override;
  // On a hit (HitTest): `object` is this point, `distance` the distance.
  BOOL Pick(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
            double* distance) override;
  // On a hit (HitTest): `object` is this point, `point` its position.
  BOOL PickPoint(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
                 CPoint* point) override;
  // As the tests above, but a hidden point (state 0) is never hit.
  BOOL HitTestIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point,
                      double* distance) override;
  BOOL PickIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
                   double* distance) override;
  BOOL PickPointIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
                        CPoint* point) override;
  // The one-unit box of a shown point's position at the size (empty when it
  // has none), with the label box added at the base size.
  CRect GetBoundRect(int32_t size) const override;

  // Whether the point is defined on the two-point line or the curve; the
  // kinds that are answer for their references.
  virtual BOOL UsesLine(const CGradedLine* line) const;
  virtual BOOL UsesCurve(const CGradedCurve* curve) const;
  // Whether this point is the crossing of a and b (either order) that lies
  // at (x, y) at the base size; lets a design find a crossing it already
  // has. The intersection kinds answer; the base 0.
  virtual BOOL IsSameIntersection(const CGradedObject* a, const CGradedObject* b, int32_t x, int32_t y);

  // Whether the point is a point of the design in its own right; the points
  // that a curve keeps as its vertices are not.
  virtual BOOL IsRealPoint() const;
  // Whether the point counts as in use when the container decides what to
  // keep: its state; kinds that hang on other objects may answer otherwise.
  virtual BOOL IsDefined() const;

  // ---- Members common to every kind ---------------------------------------
  // Built on the reference, formula and label fields that a kind declares
  // (DeclareFields), so that no kind repeats them.

  // With declared references: the list emptied, then each reference field
  // in field order (an unset one as null); 1. Without: 0, list untouched.
  BOOL GetReferences(CGradedObjectList& references) const override;
  // Whether a reference field is set and is `object`.
  BOOL RefersTo(const CGradedObject* object) const override;
  // Each reference field takes the object at its stored position, through
  // the lookup of the field's kind.
  void ResolveIds() override;
  // The root's owner, then every formula's and every label's.
  void SetOwner(CPatternData* owner) override;
  // The root's test, or a measure used by one of the formulas refers to
  // `object`.
  BOOL DependsOn(const CGradedObject* object) const override;
  // Every label is laid out again when next used.
  void UpdateLabel() override;

  // Every reference field equal to `oldObject` becomes `newObject`; when one
  // did, the point and what is built on it are computed again.
  void ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject) override;
  // Each formula takes the new measure (row) in place of the old; a formula
  // that changed invalidates every size.
  void ReplaceMeasure(CPieceMeasure* oldMeasure, CPieceMeasure* newMeasure) override;
  void ReplaceSizeRow(CSizeTableRow* oldRow, CSizeTableRow* newRow) override;
  // Freezes (CFormula::Freeze) every formula that uses the row (measure)
  // before it goes away; 1 when any was frozen. With `update` the point and
  // its dependents are then computed again. Kinds without formulas answer 0.
  BOOL ReleaseSizeRow(CSizeTableRow* row, BOOL update) override;
  BOOL ReleaseMeasure(CPieceMeasure* measure, BOOL update) override;
  // Whether a formula uses the row (measure) whose values changed; the
  // point is then invalidated (a point with two formulas only with
  // `update`), and with `update` its dependents too.
  BOOL UsesSizeRow(CSizeTableRow* row, BOOL update) override;
  BOOL UsesMeasure(CPieceMeasure* measure, BOOL update) override;

  // A new point of the same kind and definition: references as they stand,
  // formulas and labels copied, the state copied, every size computed. The
  // compute-all flag (1 in the copy) and the per-size positions are not
  // copied. Null for a point whose kind has no entry in the point-kind table.
  std::unique_ptr<CGradedObject> Clone() const override;
  // Takes over the state, the status and the definition of a point of the
  // same kind, possibly of another container: each reference as the source
  // reference's position in the source's owner (ResolveIds must follow),
  // formulas with their rows and measures mapped by position into this
  // owner, labels copied. The compute-all flag and the per-size positions
  // are not copied; every size is dirty afterwards. Another kind of object
  // changes nothing.
  void CopyFrom(const CGradedObject& other) override;

  // ---- Dimension labels ---------------------------------------------------
  // The kinds that show their values in labels declare them (DeclareFields);
  // these answers work over the declared labels in field order, so a kind
  // overrides only what it answers differently. A kind without labels gives
  // the root's answers: an empty box, nothing hit.

  // The union of the boxes of the visible labels.
  CRect GetLabelRect() const override;
  // Whether the first label is shown.
  BOOL IsLabelVisible() const override;
  // The first label whose text box holds (x, y), stored in `label`.
  BOOL HitLabel(int32_t x, int32_t y, CDimLabel** label) override;
  // The first label whose dimension passes within `tolerance` of (x, y),
  // stored in `label`. Labels are drawn at the base size: `size` is not used.
  BOOL PickLabel(int32_t x, int32_t y, double tolerance, int32_t size, CDimLabel** label) override;
  // A point with labels is hit as at the owner's base size, where its labels
  // stand (HitTest); one without labels is not hit.
  BOOL HitTestAtBaseSize(int32_t x, int32_t y, double tolerance, double* distance) override;
  // The graded value that a label shows, for the label editor: the kinds
  // whose labels show a formula take `value` as that formula when `label` is
  // theirs (no size is computed again here) and hand out a copy of it. The
  // base ignores the value and hands out an empty formula without owner.
  virtual void SetFormula(CDimLabel* label, const CFormula& value);
  virtual CFormula GetFormula(CDimLabel* label) const;

 protected:
  // The kind's own computation of a dirty size that it computes: writes the
  // position into x, y (which hold the cached position on entry, so a kind
  // that finds none leaves them) and answers 1 for a defined point, 0 when
  // the definition gives none. The base computes nothing: 0.
  virtual BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y);
  // What the frame keeps of a computed size: the position and the clean
  // flag (every kind, whatever the result), the position alone (the size is
  // asked again next time), or nothing.
  enum class SizeOutcome { kCacheAndClean, kCacheOnly, kNothing };
  virtual SizeOutcome OutcomeOf(BOOL result) const;

  // The kind's own values that are neither references, formulas nor labels
  // (angles, flags, ratios, stored coordinates), for Clone and CopyFrom;
  // `source` is of this point's class. `intoOtherOwner`: CopyFrom, whose
  // references become stored positions in the source's owner.
  virtual void CopyValues(const CGradedPoint& source, bool intoOtherOwner);
  // Whether a copy made by Clone takes over the labels; otherwise it keeps
  // the fresh labels of its constructor.
  virtual bool ClonesLabels() const { return true; }
  // Whether UsesSizeRow and UsesMeasure report the formulas' use.
  virtual bool ReportsFormulaUse() const { return true; }
  // The point and everything built on it are computed again after its
  // definition changed.
  void InvalidateWithDependents(BOOL update);

  // The kinds that lie on a line when both their points do (the line's
  // IsRelatedTo) name those two points; the others answer 0.
  virtual BOOL GetLinePair(const CGradedObject** first, const CGradedObject** second) const;
  // UsesLine of those kinds: whether the line is related to both points of
  // the pair. A pair point of the same sort is followed through its own
  // pair on an explicit stack, so a long chain of such points does not
  // deepen the call stack, and a point met again on the way (a cycle) is
  // not related. A point's answer found without meeting a cycle is asked
  // only once, however many points share it.
  BOOL LineHoldsPair(const CGradedLine* line) const;

  // The position of `point` at a size through its GetPoint; 0 for a null
  // point.
  static BOOL PositionOf(CGradedPoint* point, int32_t size, CPoint* out);

  // For the label rule of the kinds: whether `show` is set and the owner
  // counts this point and then `reference` in use (CPatternData::
  // IsLineEndPoint), asked in that order and no further than the first no.
  // 0 without an owner or reference.
  BOOL MayShowLabels(BOOL show, const CGradedObject* reference) const;
  // Shows or hides every declared label.
  void ShowLabels(BOOL visible);
  // The positions labels are laid out from, at the owner's base size: of
  // `point` (0 and `out` untouched for a null point or no owner), and of
  // this point, computed first when that size is dirty.
  BOOL BasePositionOf(CGradedPoint* point, CPoint* out) const;
  BOOL OwnBasePosition(CPoint* out) const;
  // The text of an angle label: the angle negated, as "%f" without the
  // zeros that carry nothing ("-30"); `positive` is 1 for an angle above 0.
  static CString AngleLabelText(double angle, BOOL* positive);
  // `from` moved by (dx, dy), kept in the int32 range: label arms are built
  // from formula values and positions that come from files.
  static CPoint Shifted(CPoint from, int64_t dx, int64_t dy);
  // The angle label of a point whose direction is that from `start` to
  // `end` turned by `angle` at `through`: the text, the vertex at the
  // through point, the first arm along the direction and the second at this
  // point, all at the base size. Nothing is set without the out-points.
  void TurnedDirectionLabel(double angle, CGradedPoint* through, CGradedPoint* start, CGradedPoint* end,
                            CString& text, CPoint* vertex, CPoint* arm1, CPoint* arm2, BOOL* positive) const;

  // A reference field of a kind: the stored object position that its record
  // holds (-1 for none), the object it resolves to, and the object kind the
  // field takes (kObjectKindPoint, kObjectKindLine, kObjectKindCurve, or 0
  // for any graded object).
  struct Reference {
    explicit Reference(int32_t fieldKind) : kind(fieldKind) {}
    int32_t index = -1;
    CGradedObject* object = nullptr;
    int32_t kind;
  };
  // The typed object a reference field holds; null when unset or not of
  // that class.
  static CGradedPoint* PointOf(const Reference& reference);
  static CGradedLine* LineOf(const Reference& reference);
  static CGradedCurve* CurveOf(const Reference& reference);

  // Names the kind's reference, formula and label fields, each in field
  // order; called once by the kind's constructor. The fields are members of
  // the kind, which lives as long as the point.
  void DeclareFields(std::initializer_list<Reference*> references, std::initializer_list<CFormula*> formulas = {},
                     std::initializer_list<CDimLabel*> labels = {});
  // Reads a reference field's stored position.
  static BOOL ReadReference(ArchiveReader& archive, Reference& reference);
  // Empties a formula for the owner and reads its record.
  BOOL ReadFormula(ArchiveReader& archive, CFormula& formula) const;

  // The part that every point record starts with: the state and, from
  // version 104 on, the status; `statusAlways` reads the status in every
  // version, for the kinds that first appeared in later versions.
  struct BaseRecord {
    uint32_t state = 0;
    uint16_t status = 0;
  };
  // The per-size block of the free points: the compute-all flag and, when it
  // is 0, one position per size of the owner.
  struct SizePointsBlock {
    bool present = false;
    int32_t computeAll = 1;
    std::vector<CPoint> points;
  };

  // Reads the base part without changing the point; 0 when it is cut short
  // or the point has no owner to give the data version.
  BOOL ReadBaseRecord(ArchiveReader& archive, BaseRecord& record, bool statusAlways = false) const;
  void ApplyBaseRecord(const BaseRecord& record);
  // Reads the per-size block where the owner's version and mode store one
  // (nothing is read otherwise). The size count comes from the owner and is
  // checked against the bytes left before anything is allocated.
  BOOL ReadSizePointsBlock(ArchiveReader& archive, SizePointsBlock& block) const;
  // Stores the flag and the positions read; each stored size is marked clean,
  // so its position is used as it stands until the size is invalidated.
  void ApplySizePointsBlock(const SizePointsBlock& block);

  // The point at a stored object position, through the kind-checked lookup:
  // null for -1, a position outside the owner's list, another kind of object
  // or a point without owner.
  CGradedPoint* ResolvePointRef(int32_t position) const;

 private:
  bool m_HasReferenceFields = false;
  std::vector<Reference*> m_References;
  std::vector<CFormula*> m_Formulas;
  std::vector<CDimLabel*> m_Labels;
  int32_t m_Subtype;
  int32_t m_ComputeAll = 1;
  std::vector<CPoint> m_SizePoints;
  // The sizes this point is computing now (one flag per size while a
  // computation runs), so that a cycle of references ends.
  std::vector<uint8_t> m_Computing;
};
