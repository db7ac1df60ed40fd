// The converter's one style at a time: the process-wide g_Style. It holds the
// pattern's five header texts, data version, design mode and scale, the ring
// of all pieces, the ring of pieces placed in the work area, the ring of sizes
// and the sizes in sorted order.
//
// Ownership: the style owns every piece of its two rings and every size of its
// size ring; ClearStyle frees them all. A piece is in at most one ring; every
// work-area piece is the copy of a listed piece and is freed with it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/text.h"
#include "platform/win_types.h"

class CPieceItem;
class CPieceRecord;
struct CVertexNode;

// One size of the style. The ring order is the size index used by every
// per-size array and per-size vertex run (0 = the head); sorting does not
// relink it.
class CSizeRecord {
 public:
  CSizeRecord() = default;
  CSizeRecord(const CString& name, double sortKey1, double sortKey2, COLORREF color, int32_t visible,
              CSizeRecord* next = nullptr, CSizeRecord* prev = nullptr)
      : Name(name), SortKey1(sortKey1), SortKey2(sortKey2), Color(color), Visible(visible), Next(next),
        Prev(prev) {}

  CString Name;
  double SortKey1 = 0.0;
  double SortKey2 = 0.0;
  COLORREF Color = 0;  // pen (and brush) colour of this size in every drawing
  int32_t Visible = 1; // 0: this size is not drawn
  CSizeRecord* Next = nullptr;
  CSizeRecord* Prev = nullptr;
};

inline constexpr int32_t kDefaultScale = 40;         // model units per millimetre
inline constexpr int32_t kDefaultDataVersion = 121;

// Data version a cleared style takes; 121 from the style's construction on.
extern int32_t g_DefaultDataVersion;

class CStyle {
 public:
  CStyle();
  // Frees what is left at exit.
  ~CStyle();
  CStyle(const CStyle&) = delete;
  CStyle& operator=(const CStyle&) = delete;

  // Exchanges every member with `other`: header texts, version, mode, scale,
  // both piece rings, the size ring and the sorted sizes. The pieces and sizes
  // change owner with their rings; nothing is copied or freed.
  void Swap(CStyle& other);

  int32_t GetScale() const { return Scale; }
  // Stores the scale (model units per millimetre) as given.
  CStyle* SetScale(int32_t scale) {
    Scale = scale;
    return this;
  }
  // TRUE while the work area holds no piece.
  BOOL IsEmpty() const { return WorkPieceCount == 0 ? TRUE : FALSE; }

  // Appends the piece at the tail of the piece ring; the style takes it over.
  // Returns the new PieceCount.
  int32_t AddPiece(CPieceRecord* piece);
  // Links `piece` in front of `at` (a listed piece) without changing the head.
  int32_t InsertPieceBefore(CPieceRecord* at, CPieceRecord* piece);
  // Removes and deletes a listed piece with its items and its work-area copy.
  void RemovePiece(CPieceRecord* piece);
  // Appends a work-area copy; returns the new WorkPieceCount.
  int32_t AddWorkPiece(CPieceRecord* piece);
  // Removes and deletes a work-area copy and clears the link on its source.
  void RemoveWorkPiece(CPieceRecord* piece);
  // When the piece allows editing: deletes the item (`item` becomes null);
  // when the piece then holds no item, removes it from the work area and sets
  // `piece` to null.
  void RemoveWorkPieceItem(CPieceItem*& item, CPieceRecord*& piece);
  // When the piece allows editing: deletes the vertex at `node` and its
  // per-size data from the item, by item type. `node` becomes null once
  // removed; `item` becomes null when the item went away (and `piece` when
  // the piece went with it).
  void RemoveItemVertex(CVertexNode*& node, CPieceItem*& item, CPieceRecord*& piece);

  // Appends a size at the tail of the size ring; the style takes it over.
  // Returns the new SizeCount.
  int32_t AddSize(CSizeRecord* size);
  // Unlinks and deletes a size of the ring.
  void RemoveSize(CSizeRecord* size);
  // Fills SizeArray with the sizes in ring order and sorts it ascending by
  // SortKey1, ties by SortKey2, with the exchange sort the files were written
  // with: it is not stable, so sizes with equal keys can change places (a ring
  // B1, B2, A with B1 and B2 equal sorts to A, B2, B1; pinned by the test
  // SortSizesIsTheUnstableExchangeSort). Nothing happens without sizes.
  void SortSizes();
  // Re-smooths the curve items of every work-area piece, then of every
  // listed piece.
  void UpdateAllCurveItems();
  // For every listed piece with an outline: each segment item's (type 7)
  // off-outline word becomes 1 when one of its main vertices of kind 4 is no
  // main vertex of the outline, else 0 (model/corner_codes.cpp).
  void MarkItems7OffOutline();
  // After a native file was read and listed (model/load_repairs.cpp): drops
  // the listed pieces without an outline (from the list pane first, then
  // from the style), and in the others merges the marker items (type 2) into
  // the first, ties V shapes, corner marks and point pairs to the outline
  // (marking or adding outline vertices), and merges the notch items into
  // the first one, whose outline-vertex nodes are set from the outline. 1
  // when the style still holds a piece and a size, else 0.
  int RepairLoadedPieces();

  // The index of a size record in the size ring, or -1 when it is not there.
  int IndexOfSize(const CSizeRecord* size) const;
  // The size record at an index of the size ring, or null.
  CSizeRecord* SizeAt(int index) const;

  CString HeaderText1;
  CString StyleName;
  CString HeaderText3;
  CString HeaderText4;
  CString HeaderText5;
  int32_t Reserved = 0;
  int32_t DataVersion = kDefaultDataVersion;
  int32_t Mode = 0;
  int32_t Scale = kDefaultScale;
  CPieceRecord* PieceRing = nullptr;
  int32_t PieceCount = 0;
  CPieceRecord* WorkPieceRing = nullptr;
  int32_t WorkPieceCount = 0;
  CSizeRecord* SizeRing = nullptr;
  int32_t SizeCount = 0;  // NUMBER OF SIZES
  // The sizes in sorted order, filled by SortSizes; not owning. Cleared
  // with the sizes, so it never holds a freed record.
  std::vector<CSizeRecord*> SizeArray;
};

extern CStyle g_Style;

// Empties the style before a load and on New: resets the selection, removes
// every piece (with its work-area copy) and every size, resets the header
// texts, version, mode and scale (40), and empties the list pane.
void ClearStyle();
