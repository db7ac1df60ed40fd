// The design container: one parametric design as a native archive file holds
// it. The header (data version, storage mode, scale, five names, two fonts),
// the sizes with the base size, the size-table rows, the measures, the graded
// objects (points, two-point lines, curves, texts) and the pattern records
// (the design pieces). Every object, row, measure and record keeps a pointer
// to its container and asks it for the size count, the base size, the scale,
// the data version and the objects behind stored references.
//
// Stored references are 0-based positions in the container's lists (-1 for
// none), so the lists are kept as vectors: a position resolves in constant
// time, and an element's position never changes between the reading of a
// reference and its resolution.
//
// Ownership: the container owns its sizes, rows, measures, graded objects and
// records. The second piece list is a subset of the piece list and owns
// nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/load_failure.h"
#include "design/core/pattern_record.h"
#include "design/core/piece_measure.h"
#include "design/core/size_table.h"
#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

// The newest data version whose layout the loader knows; a cleared container
// takes it.
inline constexpr int32_t kNewestDataVersion = 162;
// The scale (model units per millimetre) of a cleared container.
inline constexpr int32_t kClearedScale = 100;

// Bounds of a loaded design, far above any real one, so that a small hostile
// file cannot make the design grow far beyond itself: the sizes, and the
// per-size entries that the counts of the file announce (one per size for
// every size-table row, graded object and design element).
inline constexpr int32_t kMaxDesignSizes = 1000;
inline constexpr int64_t kMaxDesignSizeEntries = 64'000'000;
// First word of a single-size design file.
inline constexpr uint32_t kMagicBaseSizeDesign = 0xF85B2D69;

class CDimLabel;
class CGradedLine;
class CGradedPoint;
class CPieceRecord;
class CTextElement;
namespace design_load {
class DesignLoader;
}

class CPatternData {
 public:
  // An empty design: no names, sizes, rows, measures, objects or records.
  // Until a load fills it, it reports the state of a cleared container
  // (version 162, scale 100, mode 0), base size 0 and zeroed fonts.
  CPatternData();
  // A design with these header values and no contents. The fourth argument
  // becomes name5 and the fifth name4; the one font is the label font and
  // the second font alike.
  CPatternData(const char* name1, const char* name2, const char* name3, const char* name4,
               const char* name5, LOGFONT font, int32_t version, int32_t mode, int32_t scale);
  virtual ~CPatternData();
  CPatternData(const CPatternData&) = delete;
  CPatternData& operator=(const CPatternData&) = delete;

  // Deletes every record, graded object, measure, size-table row and size
  // (in this order, each list from its head), and resets the header: version
  // 162, the style's mode word, scale 100, the first four names empty. The
  // fifth name, the fonts and the base size stay as they are.
  void Clear();

  // ---- Header ---------------------------------------------------------------
  int32_t GetVersion() const { return m_Version; }
  void SetVersion(int32_t version) { m_Version = version; }
  // Storage mode; 2 means the objects' records carry stored per-size geometry.
  int32_t GetMode() const { return m_Mode; }
  void SetMode(int32_t mode) { m_Mode = mode; }
  // Model units per millimetre.
  int32_t GetScale() const { return m_Scale; }
  void SetScale(int32_t scale) { m_Scale = scale; }
  CString GetName1() const { return m_Name1; }
  CString GetName2() const { return m_Name2; }
  CString GetName3() const { return m_Name3; }
  CString GetName4() const { return m_Name4; }
  CString GetName5() const { return m_Name5; }
  void SetName1(const char* name) { m_Name1 = name; }
  void SetName2(const char* name) { m_Name2 = name; }
  void SetName3(const char* name) { m_Name3 = name; }
  void SetName4(const char* name) { m_Name4 = name; }
  void SetName5(const char* name) { m_Name5 = name; }
  // Font of the objects' labels and of the measure texts.
  LOGFONT GetLabelFont() const { return m_LabelFont; }
  // Stores the label font and lays every label out again in it: the
  // objects' labels (UpdateAllLabels) and the measures' labels.
  void SetLabelFont(LOGFONT font);
  LOGFONT GetFont2() const { return m_Font2; }
  void SetFont2(LOGFONT font) { m_Font2 = font; }

  // ---- Sizes ----------------------------------------------------------------
  // Number of sizes: the length of every per-size array of the design.
  int32_t GetSizeCount() const { return static_cast<int32_t>(m_Sizes.size()); }
  // The size at an index; null outside the size array.
  CSizeEntry* GetSizeAt(int32_t index) const;
  // The sample size, an index into the size array.
  int32_t GetBaseSize() const { return m_BaseSize; }
  // Stores the base size and lays every object's labels out again, since
  // labels show base-size values.
  void SetBaseSize(int32_t index);
  // Inserts a new size at `index` (taken into 0 .. size count) and gives
  // every size-table row a value there copied from a neighbouring size: the
  // row's value of the size before, of size 0 when inserting at the head, 0
  // when there was no size. Graded objects are not touched.
  CSizeEntry* InsertSize(int32_t index, const CString& name, uint16_t colorIndex, int32_t value);
  // Gives every graded object and every piece a new size at `index` (a
  // size the table already holds).
  void InsertSizeInObjects(int32_t index);
  // Removes the size at `index` from the size array, every row, every graded
  // object and every piece. An index outside the sizes changes nothing.
  void RemoveSize(int32_t index);

  // ---- Size-table rows --------------------------------------------------------
  // Appends a new row of that name with value 0 for every size.
  CSizeTableRow* AddSizeRow(const CString& name);
  int32_t GetSizeRowCount() const { return static_cast<int32_t>(m_SizeRows.size()); }
  // Position of the row in the row list, -1 when absent.
  int32_t GetSizeRowIndex(const CSizeTableRow* row) const;
  // The row at a position; null for -1 or any position outside the list.
  CSizeTableRow* GetSizeRowAt(int32_t index) const;
  // The same lookup; kept as a name of its own for callers that never pass -1.
  CSizeTableRow* GetSizeRowAtIndex(int32_t index) const { return GetSizeRowAt(index); }
  // A new row (values 0) at the head.
  CSizeTableRow* AddSizeRowHead(const CString& name);
  // A new row before (after) the first row named `existing`; at the tail
  // when no row has that name. Names compare exactly.
  CSizeTableRow* InsertSizeRowBefore(const CString& existing, const CString& name);
  CSizeTableRow* InsertSizeRowAfter(const CString& existing, const CString& name);
  // A new row at the head for -1, before the row at `index` when there is
  // one, else at the tail.
  CSizeTableRow* InsertSizeRowAt(int32_t index, const CString& name);
  // Sets one size of the named row; with `update` the change is carried to
  // its users (SizeRowChanged). 0 when no row has the name.
  BOOL SetSizeRowValue(const CString& name, int32_t size, int32_t value, BOOL update);
  BOOL GetSizeRowValue(const CString& name, int32_t size, int32_t* value) const;
  // Takes the first row of that name out of the table. The formulas that
  // used it keep their current values as constants (ReleaseSizeRow), their
  // objects and dependents are invalidated, and the pieces freeze their
  // elements' formulas too; with `update` and a change the pieces are
  // recalculated. Then the row is freed. No row of the name: nothing.
  void RemoveSizeRow(const CString& name, BOOL update);
  // Every graded object swaps `oldRow` for `newRow` in its formulas.
  void ReplaceSizeRow(CSizeTableRow* oldRow, CSizeTableRow* newRow);
  // Carries a change of the row's values to every object whose formulas use
  // it, their dependents and the pieces' elements; with `update` and a
  // change among the objects the pieces are recalculated.
  void SizeRowChanged(CSizeTableRow* row, BOOL update);
  // Index of the first row of that name, -1 when none.
  int32_t FindSizeRowIndex(const CString& name) const;
  CSizeTableRow* FindSizeRow(const CString& name, int32_t* index) const;
  // Takes the row at `from` out and inserts it before the row that then
  // stands at `to`, at the tail when `to` is past the end. Equal indices or
  // a missing source: nothing.
  void MoveSizeRow(int32_t to, int32_t from);

  // ---- Measures ---------------------------------------------------------------
  CPieceMeasure* AddMeasure(std::unique_ptr<CPieceMeasure> measure);
  int32_t GetMeasureCount() const { return static_cast<int32_t>(m_Measures.size()); }
  int32_t GetMeasureIndex(const CPieceMeasure* measure) const;
  CPieceMeasure* GetMeasureAt(int32_t index) const;
  // Unlinks the measure at `index` and hands it to the caller; null when
  // there is none.
  std::unique_ptr<CPieceMeasure> RemoveMeasureAt(int32_t index);
  // Takes the measure out of the list: the formulas that used it keep their
  // current values as constants, their objects and dependents are
  // invalidated and the pieces freeze their elements' formulas; with
  // `update` and a change the pieces are recalculated. Then the measure is
  // freed. A measure not in the list: nothing.
  void DeleteMeasure(CPieceMeasure* measure, BOOL update);
  // Every graded object swaps `oldMeasure` for `newMeasure` in its formulas.
  void ReplaceMeasure(CPieceMeasure* oldMeasure, CPieceMeasure* newMeasure);
  // Carries a change of the measure to every object whose formulas use it,
  // their dependents and the pieces' elements; with `update` and a change
  // among the objects the pieces are recalculated.
  void MeasureChanged(CPieceMeasure* measure, BOOL update);
  // The first measure of that name and its index; null and -1 when none.
  CPieceMeasure* FindMeasure(const CString& name, int32_t* index) const;
  // Every measure checks again whether it can be measured.
  void UpdateAllMeasures(BOOL check);
  // Union of the measures' boxes; empty with no measure.
  CRect GetMeasuresRect();
  // Every measure that refers to `object` checks again whether it can be
  // measured (CPieceMeasure::UpdateValidity with check 1); the others are
  // left alone. Called whenever an object is shown or hidden.
  void UpdateMeasures(const CGradedObject* object);

  // ---- Graded objects ---------------------------------------------------------
  // Appends at the tail: the object's position is the list's old length.
  CGradedObject* AddElement(std::unique_ptr<CGradedObject> object);
  int32_t GetElementCount() const { return static_cast<int32_t>(m_Objects.size()); }
  // Position of the first entry that is this object, -1 when absent.
  int32_t GetElementIndex(const CGradedObject* object) const;
  // The object at a position, of any kind; null for -1 or any position
  // outside the list. Fields typed by kind resolve through ResolveObject
  // (design/core/object_refs.h) instead.
  CGradedObject* GetElementAt(int32_t index) const;
  CGradedObject* AddElementHead(std::unique_ptr<CGradedObject> object);
  // Unlinks the object at `index` and hands it to the caller; null when
  // there is none. Nothing else is told: the caller keeps the references
  // straight.
  std::unique_ptr<CGradedObject> RemoveElementAt(int32_t index);
  // Position of the object in the list, -1 when absent.
  int32_t FindElement(const CGradedObject* object) const { return GetElementIndex(object); }
  // Every graded object, then every piece, swaps `oldObject` for `newObject`
  // in its references.
  void ReplaceReferences(CGradedObject* oldObject, CGradedObject* newObject);
  // The same swap, only in the lines linked to the two-point line `object`
  // (or the curves linked to the curve `object`), then in every piece. A
  // line-mirror point among their references swaps its source only.
  void ReplaceReferencesInLinked(CGradedObject* oldObject, CGradedObject* newObject, CGradedObject* object);
  // Carries a change of `object` to everything that depends on it: the
  // object and every object that refers to it, directly or through others,
  // is marked dirty at every size; curves that start or end on a changed
  // object drop their trimmed points; measures on a changed object are
  // marked changed and the objects whose formulas use them follow. Objects
  // are reached in list order, depth first, each once; the walk keeps its
  // own stack, so a long chain does not deepen the call stack and a cycle
  // in a damaged design ends. With `update` the pieces are recalculated.
  void InvalidateDependents(CGradedObject* object, BOOL update);
  // Deletes a graded object the user removes. An object still in use
  // (another object, a piece, a link or a measure) is only hidden, and a
  // point that no two-point line uses (and that is not only a mirror-line
  // point) loses its label as well. Otherwise the object leaves the list,
  // the hidden objects it alone used go with it (DeleteUnusedReferences),
  // kind-38 points linked to a deleted curve lose their link, pieces drop it
  // as reference point, and the end points of a deleted line or curve have
  // their state and measures re-applied. An object not in the list: nothing.
  void DeleteElement(CGradedObject* object);
  // As DeleteElement, but the use tests ignore `except`, and an object still
  // in use is left as it is.
  void DeleteElementExcept(CGradedObject* except, CGradedObject* object);
  // What an element that goes asks for each object it used: a hidden object
  // (state 0), kept only because something used it, is deleted as
  // DeleteElement does. Nothing happens while the container frees its
  // contents, or for an object no longer in its list.
  void DeleteIfHidden(CGradedObject* object);
  // Deletes the hidden objects of `list` that nothing uses any longer (one
  // level: an object that only a deleted candidate used still counts as in
  // use), then empties the list.
  void DeleteUnusedReferences(CGradedObjectList& list);
  // Whether `object` is one of the two mirror-line points of a line-mirror
  // point and every other user of it is a point: another point kind, or a
  // line-mirror point using it as a mirror-line point.
  BOOL IsOnlyMirrorLinePoint(const CGradedObject* object) const;
  // The lines linked to the two-point line `object`, or the curves linked to
  // the curve `object`.
  void GetLinkedObjects(const CGradedObject* object, CGradedObjectList& linked) const;
  // Every curve keeps its defining points as the base its owned points
  // follow.
  void StoreCurveBasePoints();
  // Every curve moves its owned points; then, when there is a curve, each
  // curve and its dependents are invalidated and the pieces recalculated.
  // Always 1.
  BOOL UpdateCurveOwnedPoints();
  // UpdateLabel on every object in list order.
  void UpdateAllLabels();
  // Shows (or hides) the labels of every object in list order; each object
  // decides whether it can show them (SetLabelVisible).
  void ShowAllLabels(BOOL show);

  // ---- Pattern records --------------------------------------------------------
  CPatternRecord* AddPiece(std::unique_ptr<CPatternRecord> piece);
  int32_t GetPieceCount() const { return static_cast<int32_t>(m_Pieces.size()); }
  int32_t GetPieceIndex(const CPatternRecord* piece) const;
  CPatternRecord* GetPieceAt(int32_t index) const;
  CPatternRecord* AddPieceHead(std::unique_ptr<CPatternRecord> piece);
  // Next to the piece at `index`; null (and the piece freed) when there is
  // no piece there.
  CPatternRecord* InsertPieceAfter(int32_t index, std::unique_ptr<CPatternRecord> piece);
  CPatternRecord* InsertPieceBefore(int32_t index, std::unique_ptr<CPatternRecord> piece);
  // Takes the piece out of both piece lists and frees it. The piece leaves
  // the lists before its elements go, so that an element asking the
  // container to delete its hidden points finds no half-freed piece.
  void DeletePiece(CPatternRecord* piece);
  void DeletePieceAt(int32_t index);
  void DeleteAllPieces();
  // The piece at `from` goes before the piece at `to` when moving up, after
  // it when moving down. Equal or missing indices: nothing.
  void MovePiece(int32_t from, int32_t to);
  // Every piece recomputes every size (-1) or one size, dirty or not.
  void RecalcAllPieces(int32_t size);
  // With -1 every piece recomputes every size of its elements; otherwise
  // each piece computes that one size.
  void RecalcPieces(int32_t size);

  // ---- Use tests --------------------------------------------------------------
  // Whether another graded object refers to `object` (RefersTo) or a
  // record's element does.
  BOOL IsReferenced(const CGradedObject* object) const;
  BOOL IsReferencedExcept(const CGradedObject* except, const CGradedObject* object) const;
  // Whether another two-point line or curve names `object` as its link (a
  // line names a line and a curve a curve; any other link a file holds keeps
  // its target too). Kind-38 points hold a link to a curve but never keep it
  // in use: deleting the curve clears their link.
  BOOL IsLinkTarget(const CGradedObject* object) const;
  BOOL IsLinkTargetExcept(const CGradedObject* except, const CGradedObject* object) const;
  // Whether a measure refers to `object`.
  BOOL IsUsedByMeasure(const CGradedObject* object) const;
  // The first two-point line in list order that refers to `point` (as a
  // through point or an end); 1 with `*line` set, else 0 with `*line` null.
  BOOL FindLineUsing(const CGradedObject* point, CGradedLine** line) const;
  // The first two-point line in list order through `a` and `b`, in either
  // order; 1 with `*line` set, else 0 with `*line` null.
  BOOL FindLine(const CGradedObject* a, const CGradedObject* b, CGradedLine** line) const;
  // Whether a measure may stand on `object`: a construction point that
  // counts itself in use (CGradedPoint::IsDefined), or an end of a two-point
  // line (its drawn ends) or of a curve. 0 for null and for any object that
  // is not a point.
  BOOL IsLineEndPoint(const CGradedObject* object) const;

  // Appends to the second piece list, which names records of the piece list
  // only: a record that is not in the piece list is refused (0), so that the
  // list never holds a pointer the container does not keep alive.
  BOOL AddSecondPiece(CPatternRecord* piece);
  int32_t GetSecondPieceCount() const { return static_cast<int32_t>(m_SecondPieces.size()); }
  CPatternRecord* GetSecondPieceAt(int32_t index) const;
  // Position in the second list, -1 when absent.
  int32_t FindSecondPiece(const CPatternRecord* piece) const;
  void RemoveSecondPiece(const CPatternRecord* piece);
  void RemoveAllSecondPieces() { m_SecondPieces.clear(); }
  // Moves a piece of the second list before the entry that then stands at
  // `index`, to the tail past the end. A piece not in the list is not added.
  void MoveInSecondList(CPatternRecord* piece, int32_t index);

  // ---- Loading ----------------------------------------------------------------
  // Reads a whole design from the archive layout, from the file's first
  // byte, into this freshly constructed container: the header, the sizes,
  // the size table, the measures, the graded objects, the pattern records
  // and, from data version 150 on, the stored pieces into g_Style and the
  // list pane (ReadPieces). References are resolved once every object is in,
  // and hidden points that nothing uses are removed.
  //
  // 1 when the design was read. 0 when the file ends early, a count does
  // not fit in the bytes left or passes the design's bounds, a value is
  // impossible (no size, a base size outside the sizes, a stored scale of 0
  // or less) or a stored code has no class here; GetLoadFailure then says
  // where and why. Nothing throws; what was read stays in the container,
  // which frees it.
  // The objects and elements are made from `tables`.
  BOOL Load(ArchiveReader& archive, const DesignTables& tables = DesignTables::Registered());
  // Reads a single-size design of the same record layout: it opens with
  // kMagicBaseSizeDesign (any other first word: 0 with nothing else read),
  // has a header without version-dependent fields and sections laid out as
  // in the newest files, and no stored pieces. Every check of Load applies.
  // Of the sizes only the base size is kept, as size 0 named "BaseSize".
  // The version read is kept as it is.
  BOOL LoadBaseSizeDesign(ArchiveReader& archive, const DesignTables& tables = DesignTables::Registered());
  // Why the last Load stopped; kNone after a load that succeeded.
  const DesignLoadFailure& GetLoadFailure() const { return m_LoadFailure; }
  // Records why the load stops. The reader that met the fault notes it
  // first; each reader around it then adds, in front, the record it was
  // reading, so that the reason names the whole path ("pattern record 2:
  // element 1: ..."). The first fault and offset are kept.
  void NoteLoadFailure(DesignLoadFault fault, size_t offset, std::string_view what);
  // Counts `entries` more objects that keep one entry per size against
  // kMaxDesignSizeEntries; 0 (and a failure noted at `offset`) once the
  // design would pass it. Nothing is counted with no sizes.
  BOOL ReservePerSizeEntries(int64_t entries, size_t offset);

  // The stored pieces of a file of data version 150 and later, read into
  // g_Style (emptied first) and the list pane, each piece brought up to date
  // by the native readers' per-piece steps. `version` is the file's data
  // version as stored and `magic` its first word, which tells whether
  // vertex records carry an attribute word. 1 when every piece was read; 0
  // (with a noted failure) when the section is cut short or malformed, a
  // count does not fit or an item code has no class.
  BOOL ReadPieces(ArchiveReader& archive, int32_t version, uint32_t magic);
  // One stored piece record (header and items) into `piece`; `factor`
  // scales the coordinates (1.0 keeps them). 1 when the record was read
  // whole; 0 with a noted failure, `piece` then holding what was read.
  BOOL ReadItems(ArchiveReader& archive, double factor, CPieceRecord* piece, uint32_t magic, int32_t version);

  // ---- Searches by position and point dragging (pattern_search.cpp) --------
  // Positions are model units; each walk runs over the lists from the head,
  // and "shown" means state not 0. Everything is tested at the base size
  // unless a size is given. On a miss the out arguments are left as they
  // were.

  // The box of the visible construction at a size: every shown object's box
  // and the label box of every point whose label is visible.
  CRect GetExtent(int32_t size);
  // Drags `point` to (x, y) at the base size by moving the point it is
  // derived from: the target is carried back through every mirror, turn and
  // transfer down the chain of copies, and the point at the end of the chain
  // takes it (a free, vertex or linked point as its coordinate, an offset
  // point in its offsets); any other kind stays as it is. Whatever depends
  // on the moved point is marked for recomputation, the pieces included.
  // A chain that turns back on itself (a damaged file) ends at the first
  // point met again.
  void MovePointTo(CGradedPoint* point, int32_t x, int32_t y);
  // The point a chain of copies starts from; `point` itself when it is no
  // copy. A chain that turns back on itself ends at the first point met
  // again.
  CGradedPoint* GetUltimateSource(CGradedPoint* point) const;

  // The first text whose box holds (x, y).
  BOOL FindTextAt(int32_t x, int32_t y, CTextElement** text) const;
  // Every text whose box at the base size meets `rect`; `texts` is emptied
  // first. 1 when any is found.
  BOOL FindTextsInRect(const CRect& rect, std::vector<CTextElement*>& texts) const;
  // The first measure whose label holds (x, y).
  BOOL FindMeasureAt(int32_t x, int32_t y, CPieceMeasure** measure) const;
  // The first measure whose dimension line passes within `tolerance`.
  BOOL FindMeasureLineAt(int32_t x, int32_t y, double tolerance, CPieceMeasure** measure,
                         double* distance) const;
  // The first point with a label text box that holds (x, y).
  BOOL HitLabelAt(int32_t x, int32_t y, CGradedPoint** point, CDimLabel** label) const;
  // The point label whose dimension passes nearest to (x, y); a later label
  // wins only when strictly nearer. Found when nearer than `tolerance`.
  BOOL PickLabelNearest(int32_t x, int32_t y, double tolerance, CGradedPoint** point, CDimLabel** label,
                        double* distance) const;
  // The point nearest to (x, y) as its labels' hit test at the base size
  // sees it (HitTestAtBaseSize); ties keep the earlier point.
  BOOL HitTestBaseSizeNearest(int32_t x, int32_t y, double tolerance, CGradedPoint** point,
                              double* distance) const;
  // The first point that is the crossing of a and b lying at (x, y).
  BOOL FindIntersectionPoint(const CGradedObject* a, const CGradedObject* b, int32_t x, int32_t y,
                             CGradedPoint** point) const;
  // The shown object nearest to (x, y) (PickIfValid): the points first,
  // then the other objects, a later one winning only when strictly nearer,
  // so at equal distance a point wins over a line or curve. `part` is what
  // the pick named (the object's picked defining point).
  BOOL PickNearest(int32_t x, int32_t y, double tolerance, CGradedObject** object, CGradedObject** part,
                   double* distance) const;
  // One pass of Pick over the shown objects. A strictly nearer hit takes
  // the best place; a hit that is not nearer still takes over object and
  // part (the best distance stays) when the best so far is not exactly
  // under (x, y) and its part is hidden, so that a shown part is preferred.
  BOOL PickNearestAny(int32_t x, int32_t y, double tolerance, CGradedObject** object, CGradedObject** part,
                      double* distance) const;
  // The shown two-point line or curve nearest to (x, y), among the kinds
  // that share a bit with `kindMask` (-1 for all). Lines whose distances
  // round to the same integer are told apart by their length, the shorter
  // one winning; a curve has no length and keeps its place on such a tie.
  // `point` gets the hit point on the object.
  BOOL HitTestLinesAndCurves(int32_t x, int32_t y, double tolerance, int32_t kindMask, CGradedObject** object,
                             CPoint* point, double* distance) const;
  // As HitTestLinesAndCurves, but a line's length is that of its drawn
  // segment.
  BOOL HitTestLinesAndCurvesDrawn(int32_t x, int32_t y, double tolerance, int32_t kindMask,
                                  CGradedObject** object, CPoint* point, double* distance) const;

 private:
  friend class design_load::DesignLoader;

  // Step 9 of the load: walks the object list from the head and removes each
  // hidden point (state 0) that no other object, record, link or measure
  // uses and that is no record's reference point. The users are counted
  // once and updated as points go, so the walk is linear.
  void RemoveUnusedHiddenPoints();
  // Deletes the contents in the order Clear gives.
  void DeleteContents();
  // The walk of InvalidateDependents from each object of `starts` in turn;
  // every object is reached at most once in the whole call.
  void InvalidateFrom(const CGradedObjectList& starts);
  // DeleteElement and DeleteElementExcept; `except` is null for the first.
  void DeleteElementImpl(CGradedObject* except, CGradedObject* object);
  // Unhooks and frees an object that nothing uses, already out of the list: pieces drop it
  // as reference point, kind-38 points drop it as link, and the ends of a
  // line or curve have their state and measures re-applied.
  void DestroyUnused(std::unique_ptr<CGradedObject> object);

  int32_t m_Version = kNewestDataVersion;
  int32_t m_Mode = 0;
  int32_t m_Scale = kClearedScale;
  CString m_Name1;
  CString m_Name2;
  CString m_Name3;
  CString m_Name4;
  CString m_Name5;
  LOGFONT m_LabelFont;
  LOGFONT m_Font2;
  std::vector<std::unique_ptr<CSizeEntry>> m_Sizes;
  int32_t m_BaseSize = 0;
  std::vector<std::unique_ptr<CSizeTableRow>> m_SizeRows;
  std::vector<std::unique_ptr<CPieceMeasure>> m_Measures;
  std::vector<std::unique_ptr<CGradedObject>> m_Objects;
  std::vector<std::unique_ptr<CPatternRecord>> m_Pieces;
  std::vector<CPatternRecord*> m_SecondPieces;
  DesignLoadFailure m_LoadFailure;
  int64_t m_PerSizeEntries = 0;
  // Set while the contents are freed: elements that ask the container to
  // delete their hidden points then find it gone quiet.
  bool m_Clearing = false;
};
