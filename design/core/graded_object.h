// The root of the parametric objects of a design: construction points,
// two-point lines, curves and free texts. Each object belongs to one design
// container (CPatternData), keeps one needs-recalculation flag per size of
// that container's size table, and answers the container, the loader and the
// other objects through the virtual operations below. The root's own answers
// are neutral ("no", "nothing", an empty box); each kind overrides what
// applies to it.
//
// Ownership: the container's object list owns every graded object. An object
// owns only its flags; the objects it refers to are plain pointers into the
// same list and are never freed through it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "design/core/size_flags.h"
#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CDimLabel;
class CGradedObject;
class CPatternData;
class CPieceMeasure;
class CSizeTableRow;

// Object kinds, as the archive stores them and as every kind fixes at
// construction.
inline constexpr int32_t kObjectKindPoint = 1;
inline constexpr int32_t kObjectKindLine = 2;  // two-point line
inline constexpr int32_t kObjectKindCurve = 4;
inline constexpr int32_t kObjectKindText = 8;
// A text too in files up to data version 118.
inline constexpr int32_t kObjectKindOldText = 5;

// The objects one object refers to, in the order it names them; not owning.
using CGradedObjectList = std::vector<CGradedObject*>;

class CGradedObject {
 public:
  // An object of `kind`, shown (state 1), with no link and every size of the
  // owner dirty. The owner may be null (no sizes then).
  CGradedObject(int32_t kind, CPatternData* owner, uint16_t status);
  virtual ~CGradedObject();
  CGradedObject(const CGradedObject&) = delete;
  CGradedObject& operator=(const CGradedObject&) = delete;

  CPatternData* GetOwner() const { return m_Owner; }
  int32_t GetKind() const { return m_Kind; }

  // State 1: shown and in use; 0: hidden, kept only because other objects
  // still use it. Hiding re-applies the label rule, so that a label of a
  // hidden point goes away with it; the measures on the object check again
  // whether they are valid.
  void SetState(int32_t state);
  int32_t GetState() const { return m_State; }

  // The status word kept with the object's record; 13 marks a point whose
  // coordinate left the allowed range.
  void SetStatus(uint16_t status) { m_Status = status; }
  uint16_t GetStatus() const { return m_Status; }

  void SetLink(CGradedObject* object) { m_Link = object; }
  CGradedObject* GetLink() const { return m_Link; }

  // The flag of one size; with -1, whether any size is dirty (0 with no
  // sizes). A size outside the flags answers 0.
  BOOL IsDirty(int32_t size) const;
  // Whether every size is dirty; 1 with no sizes.
  BOOL IsAllDirty() const;
  // Marks one size dirty, or every size with -1; a size outside the flags
  // marks nothing. A change that reaches the base size (or every size) also
  // lays the object's labels out again, since labels show base-size values.
  void Invalidate(int32_t size);
  // Marks a size as computed; the per-size computation of a kind calls it
  // once it has stored that size's value. A size outside the flags is
  // ignored.
  void ClearDirty(int32_t size);
  // Number of per-size flags (the owner's size count once built).
  int32_t GetDirtyCount() const { return m_Dirty.Count(); }

  // ---- Virtual operations -------------------------------------------------

  // Whether this object depends on `object`, directly or through any chain
  // of references. Every object is visited once, so a cycle in a damaged
  // file ends the walk instead of recursing without end; the walk keeps its
  // own stack, so a long chain does not deepen the call stack either.
  virtual BOOL DependsOn(const CGradedObject* object) const;
  virtual CRect GetBoundRect(int32_t size) const;
  // Collects the objects this one refers to; 0 (list untouched) when the kind
  // keeps no references.
  virtual BOOL GetReferences(CGradedObjectList& references) const;
  // Appends every object for which RefersTo answers 1 (duplicates and nulls
  // allowed). The loader counts the users of each object from these lists
  // once, instead of asking every object about every other one; a kind whose
  // RefersTo answers for more than GetReferences lists (a curve's end
  // points) must list those too, or an object still in use could be
  // removed. The root appends what GetReferences collects.
  virtual void GetUsedObjects(CGradedObjectList& used) const;
  // Keep the flags aligned with the size table: a size inserted at `index`
  // starts dirty. An index outside the table changes nothing.
  virtual void InsertSize(int32_t index);
  virtual void RemoveSize(int32_t index);
  virtual BOOL RefersTo(const CGradedObject* object) const;
  virtual void ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject);
  virtual void ReplaceMeasure(CPieceMeasure* oldMeasure, CPieceMeasure* newMeasure);
  virtual void ReplaceSizeRow(CSizeTableRow* oldRow, CSizeTableRow* newRow);
  virtual void SetOwner(CPatternData* owner);
  // Formula bookkeeping of the kinds that hold formulas: 1 when a formula of
  // the object uses the row (or measure).
  virtual BOOL ReleaseSizeRow(CSizeTableRow* row, BOOL update);
  virtual BOOL UsesSizeRow(CSizeTableRow* row, BOOL update);
  virtual BOOL ReleaseMeasure(CPieceMeasure* measure, BOOL update);
  virtual BOOL UsesMeasure(CPieceMeasure* measure, BOOL update);
  virtual void RecalcAll();
  // Hit tests at a size, in model units: `point` gets the nearest point of
  // the object, `distance` its distance from (x, y).
  virtual BOOL HitTest(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point,
                       double* distance);
  // Picks the defining point of the object nearest to (x, y).
  virtual BOOL Pick(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
                    double* distance);
  // Snapping to a point: on a hit stores the object and its position.
  virtual BOOL PickPoint(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
                         CPoint* point);
  virtual BOOL HitTestIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point,
                              double* distance);
  virtual BOOL PickIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
                           double* distance);
  virtual BOOL PickPointIfValid(int32_t x, int32_t y, double tolerance, int32_t size,
                                CGradedObject** object, CPoint* point);
  // A new object of the same class and contents; null when the kind cannot
  // be copied so.
  virtual std::unique_ptr<CGradedObject> Clone() const;
  // Dimension labels of the point kinds that carry one.
  virtual CRect GetLabelRect() const;
  virtual void SetLabelVisible(BOOL visible);
  virtual BOOL IsLabelVisible() const;
  virtual void SetLabelValue(CDimLabel* label, double value);
  virtual double GetLabelValue(CDimLabel* label) const;
  virtual BOOL HitLabel(int32_t x, int32_t y, CDimLabel** label);
  virtual BOOL PickLabel(int32_t x, int32_t y, double tolerance, int32_t size, CDimLabel** label);
  virtual BOOL HitTestAtBaseSize(int32_t x, int32_t y, double tolerance, double* distance);
  // Lays the object's labels out again (after a change of the base size's
  // value or of the label font).
  virtual void UpdateLabel();
  virtual void GetLabelText(CDimLabel* label, CString& text, CPoint* from, CPoint* to) const;
  virtual void GetAngleLabelText(CDimLabel* label, CString& text, CPoint* vertex, CPoint* arm1,
                                 CPoint* arm2, BOOL* positive) const;
  virtual void GetRatioSpan(CDimLabel* label, double* value, CPoint* from, CPoint* to) const;
  virtual void GetCurveLabelText(CDimLabel* label, CString& text, std::vector<CPoint>& polyline) const;
  // Turns the list positions that Load read into pointers, once every object
  // of the file is in the container's list.
  virtual void ResolveIds();
  // Reads the object's own record (the kind and the owner are known before);
  // 0 when the record is cut short or malformed.
  virtual BOOL Load(ArchiveReader& archive);
  virtual void CopyFrom(const CGradedObject& other);

 private:
  int32_t m_Kind;
  int32_t m_State = 1;
  CGradedObject* m_Link = nullptr;
  CSizeFlags m_Dirty;
  CPatternData* m_Owner;
  uint16_t m_Status;
};
