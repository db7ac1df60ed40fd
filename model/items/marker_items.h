// Marker symbols. Types 2 (filled) and 4 (hollow): three points per symbol,
// the centre (a main vertex whose flags bits 8-11 give the shape: circle,
// cross, circle and cross, circle and long cross, rectangle), a single radius
// node and a single rectangle-size node. Type 3: slot symbols, two points per
// symbol (A then B) shaped by the seven words of the item.
//
// Also here: the small drawing pieces that the symbol items (markers, slots,
// circles, two-point lines, V shapes and corner marks) share: the per-size
// points of an item, the model-to-device point, a circle's box and the point
// numbers of an item's vertices.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "model/piece_item.h"
#include "model/spline.h"

class CGdiObject;

// The per-size points of an item as its drawing takes them: the item's ring
// expanded (ExpandGradedFlaggedPoints) into one list per size of the style's
// size ring (index 0 = the ring's head), every list holding Count() points. A
// graded group gives each size its own position with the group's flags; a
// single node is the same point in every size; parameter nodes are left out.
class ItemSizePoints {
 public:
  explicit ItemSizePoints(const CPieceItem& item);

  int Count() const { return count_; }
  // The points of size `index`; an empty list for an index out of range.
  const std::vector<CFlaggedPoint>& Points(int index) const;

 private:
  int count_ = 0;
  std::vector<std::vector<CFlaggedPoint>> sizes_;
};

// Adds pixel offsets to a device coordinate, held within the int32 range so
// that a symbol of a point far off the device cannot overflow.
int OffsetPixel(int v, int64_t offset);

// The device pixel of a model point at the view's scale and origin.
CPoint ScreenPoint(int32_t x, int32_t y, double unitsPerPixel, int originX, int originY);
CPoint ScreenPoint(const CFlaggedPoint& p, double unitsPerPixel, int originX, int originY);

// The box of a circle of `r` pixels about `centre` as the symbols draw it:
// (x - r, y - r) to (x + r + 1, y + r + 1), the right and bottom edges being
// left out by the device.
CRect CircleBox(CPoint centre, int r);

// Selects the stock null brush into `dc` (not null) for its lifetime and then
// the brush that was selected before, so that circles drawn meanwhile stay
// hollow.
class NullBrushScope {
 public:
  explicit NullBrushScope(CDC* dc);
  ~NullBrushScope();
  NullBrushScope(const NullBrushScope&) = delete;
  NullBrushScope& operator=(const NullBrushScope&) = delete;

 private:
  CDC* dc_;
  CGdiObject* old_;
};

// Writes, in red, the point number (flags bits 18 and up) of every main
// vertex of the item's own ring beside the vertex, while the point-number
// display is on. Vertices whose number is 0 or less show nothing. Runs on the
// nodes themselves, whatever sizes are visible.
void DrawVertexPointNumbers(CDC* dc, const CPieceItem& item, double unitsPerPixel, int originX, int originY);

// Which sizes an extent counts, by index in the size ring and record.
using ExtentSizeFilter = std::function<bool(int index, const CSizeRecord& size)>;
// GetExtent's choice: size 0 only (visible or not) when `all` is 0, else
// every visible size.
ExtentSizeFilter SizesOfExtent(int all);
// GetDrawExtent's choice: every size but `skip`, visible or not.
ExtentSizeFilter SizesBesides(const CSizeRecord* skip);

// The extent of symbols that reach a radius around their centres (hollow
// markers, circles): for every main vertex of the ring from the one after the
// head, in each counted size, the square centre +- radius. `radiusOf` gives a
// centre's radius node; the radius of size s is that node's group node s, or
// the node itself when it is held once. A centre group ends at its last
// per-size copy, so a group shorter than the size ring counts only the sizes
// it holds. Starts from the empty box (min 0x7FFFFFFF, max 0x80000000).
void CentreRadiusExtent(const CPieceItem& item, CVertexNode* (*radiusOf)(const CPieceItem&, CVertexNode* centre),
                        const ExtentSizeFilter& counts, int* minX, int* maxX, int* minY, int* maxY);

// Marker shape codes: flags AND kMarkerShapeMask of a symbol's centre.
inline constexpr uint32_t kMarkerShapeMask = 0xF00;
inline constexpr uint32_t kMarkerCircle = 0x000;
inline constexpr uint32_t kMarkerCross = 0x100;
inline constexpr uint32_t kMarkerCircleCross = 0x200;
inline constexpr uint32_t kMarkerCircleLongCross = 0x300;
inline constexpr uint32_t kMarkerRectangle = 0x400;

// Filled markers: circles take whatever brush the device context holds.
class CPieceItem2 : public CPieceItem {
 public:
  CPieceItem2(CPieceItem* prev, CPieceItem* next) : CPieceItem(kItemTypeFilledMarkers, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // Looks exactly like Draw.
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // The centres only (the graded extents).
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;
};

// Hollow markers: circles are drawn with the null brush, and the extents
// reach a symbol's radius around each centre.
class CPieceItem4 : public CPieceItem {
 public:
  CPieceItem4(CPieceItem* prev, CPieceItem* next) : CPieceItem(kItemTypeHollowMarkers, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // Looks exactly like Draw.
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;
};

// Slot symbols between A and B, all of one item sharing the shape and sizes.
// A symbol whose construction has no direction in a size (A and B on one
// pixel, a slot end or slot mouth on the eye centre) or, with the styles whose
// slot meets the outer eye, a slot wider than that eye, is drawn as the bare
// line from A to B in that size.
class CPieceItem3 : public CPieceItem {
 public:
  CPieceItem3(CPieceItem* prev, CPieceItem* next) : CPieceItem(kItemTypeSlot, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // Looks exactly like Draw.
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // The symbol points only (the graded extents).
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;

  // Shape: one of 0, 1, 2, 4, 8, 16, 32, 64, 128, 256; others draw nothing.
  int32_t Style = 0;
  // The other six words are set by whoever makes the item; lengths in model
  // units.
  int32_t Param0 = 0;          // carried and copied, not drawn
  int32_t BarLength = 0;       // end bars (1, 16); half-width of the rectangle (128)
  int32_t SlotEndOffset = 0;   // from B to the slot's closed end or cross bar (4, 8)
  int32_t SlotWidth = 0;       // (4, 8, 16, 32)
  int32_t EyeRadius = 0;       // inner eye circle
  int32_t EyeOuterRadius = 0;  // outer eye arc
};

// Slot shape styles.
inline constexpr int32_t kSlotPlainBars = 0;
inline constexpr int32_t kSlotEndBars = 1;
inline constexpr int32_t kSlotKeyhole = 2;
inline constexpr int32_t kSlotClosedKeyhole = 4;
inline constexpr int32_t kSlotKeyholeCrossBar = 8;
inline constexpr int32_t kSlotOpenKeyhole = 16;
inline constexpr int32_t kSlotDoubleKeyhole = 32;
inline constexpr int32_t kSlotLine = 64;
inline constexpr int32_t kSlotRectangle = 128;
inline constexpr int32_t kSlotEyelet = 256;
