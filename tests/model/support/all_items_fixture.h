// A piece that holds one item of every type code 0 .. 29 on a style of three
// visible sizes, as a reader would leave it: graded vertex groups, curve rings
// smoothed, the marked line smoothed and its cross marker tied to it.
//
// The outline is 200 x 150 mm with a rounded hem, the cut line 10 mm outside
// it and the dotted contour 5 mm inside; notches sit on the top edge and the
// right side, a dimension measures the top edge above the piece, and the
// other items each have a cell of a 6 x 4 grid inside the contour (30 x 33 mm
// cells). Sizes grow about the piece's middle by 3 % a size and shift 2 mm
// right and down a size, so that every item shows each size apart.
#pragma once

#include <memory>
#include <vector>

#include "model/geometry.h"
#include "model/items/all_items.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "platform/win_types.h"

namespace all_items {

inline constexpr int kSizeCount = 3;
// Size 0 blue, size 1 dark green, size 2 red: none is the black of a fresh
// device context's pen, so a stroke drawn outside the per-size frame stands
// out.
inline constexpr COLORREF kSizeColours[kSizeCount] = {0xFF0000, 0x008000, 0x0000FF};
inline constexpr int kScale = 40;  // model units per millimetre

// Adds the three sizes to g_Style (which must be empty) and sets its scale.
inline std::vector<CSizeRecord*> AddSizes() {
  g_Style.SetScale(kScale);
  std::vector<CSizeRecord*> sizes;
  const char* names[kSizeCount] = {"S", "M", "L"};
  for (int i = 0; i < kSizeCount; ++i) {
    auto* size = new CSizeRecord(names[i], i, 0, kSizeColours[i], 1);
    g_Style.AddSize(size);
    sizes.push_back(size);
  }
  return sizes;
}

// A point given in millimetres, in size `size`, in model units.
inline CPoint SizePoint(double xmm, double ymm, int size) {
  constexpr double kMiddleX = 100.0;
  constexpr double kMiddleY = 75.0;
  constexpr double kGrowth = 0.03;
  constexpr double kShift = 2.0;
  const double f = 1.0 + kGrowth * size;
  const double x = kMiddleX + (xmm - kMiddleX) * f + kShift * size;
  const double y = kMiddleY + (ymm - kMiddleY) * f + kShift * size;
  return {RoundToNearest(x * kScale), RoundToNearest(y * kScale)};
}

// Millimetres to model units.
inline int32_t Mm(double mm) { return RoundToNearest(mm * kScale); }

// A graded vertex: the main node with `flags` for size 0, then one per-size
// copy for each further size, graded as SizePoint says.
inline void AddGradedMm(CPieceItem* item, double xmm, double ymm, uint32_t flags) {
  const CPoint p0 = SizePoint(xmm, ymm, 0);
  item->AddTailVertex(p0.x, p0.y, flags);
  for (int s = 1; s < g_Style.SizeCount; ++s) {
    const CPoint p = SizePoint(xmm, ymm, s);
    item->AddTailVertex(p.x, p.y, kVertexKindCopy);
  }
}

// A vertex group whose values (model units, not a position) are the same in
// every size: the parameter points of corners and frames, circle radii.
inline void AddSameGroup(CPieceItem* item, int32_t x, int32_t y, uint32_t flags) {
  item->AddTailVertex(x, y, flags);
  for (int s = 1; s < g_Style.SizeCount; ++s) item->AddTailVertex(x, y, kVertexKindCopy);
}

// The grid cell (column 0..5, row 0..3) point at (lx, ly) millimetres from the
// cell's top-left corner.
struct Cell {
  int column;
  int row;
  double X(double lx) const { return 10.0 + 30.0 * column + lx; }
  double Y(double ly) const { return 12.0 + 33.0 * row + ly; }
  void Add(CPieceItem* item, double lx, double ly, uint32_t flags) const {
    AddGradedMm(item, X(lx), Y(ly), flags);
  }
};

struct MmPoint {
  double x;
  double y;
  uint32_t kind;
};

// A closed or open curve item through the points (millimetres, with kinds).
template <typename Item>
Item* MakeCurve(const std::vector<MmPoint>& points, int32_t lineAttribute = 0) {
  auto* item = new Item(nullptr, nullptr);
  item->Tag = lineAttribute;
  for (const MmPoint& p : points) AddGradedMm(item, p.x, p.y, p.kind);
  return item;
}

template <typename Item>
Item* MakeInCell(Cell cell, const std::vector<MmPoint>& points, int32_t lineAttribute = 0) {
  std::vector<MmPoint> absolute;
  for (const MmPoint& p : points) absolute.push_back({cell.X(p.x), cell.Y(p.y), p.kind});
  return MakeCurve<Item>(absolute, lineAttribute);
}

// One notch in the layout the readers give: the point on its line, the inner
// end with the mark shape, the width node (width, angle 0) and the anchor (the
// line's vertex the notch is measured from, here the line's first vertex,
// with a forward-distance direction code).
inline void AddNotch(CPieceItem* item, double xmm, double ymm, double innerX, double innerY, uint32_t shape,
                     double anchorX, double anchorY) {
  AddGradedMm(item, xmm, ymm, 0);
  AddGradedMm(item, innerX, innerY, shape | 1);
  item->AddTailVertex(Mm(3.0), 0, kVertexKindFixedSingle);
  const CPoint anchor = SizePoint(anchorX, anchorY, 0);
  item->AddTailVertex(anchor.x, anchor.y, 0x100 | kVertexKindMovedSingle);
}

// A marker symbol: graded centre with its shape code, radius and rectangle
// size held once.
inline void AddMarker(CPieceItem* item, Cell cell, double lx, double ly, uint32_t shape, double radiusMm,
                      double widthMm = 0.0, double heightMm = 0.0) {
  cell.Add(item, lx, ly, shape);
  item->AddTailVertex(Mm(radiusMm), 0, kVertexKindMovedSingle);
  item->AddTailVertex(Mm(widthMm), Mm(heightMm), kVertexKindMovedSingle);
}

// A two-point line (types 5, 17, 22) corner to corner across its cell.
template <typename Item>
Item* MakeTwoPointLine(Cell cell) {
  auto* item = new Item(nullptr, nullptr);
  cell.Add(item, 3, 3, 0);
  cell.Add(item, 25, 25, 0);
  return item;
}

// A corner item (types 6, 19, 24): leg end, apex, leg end, then the
// parameter point (hole distance, packed end-mark sizes); the first leg end
// asks for the drill hole.
template <typename Item>
Item* MakeCorner(Cell cell, MmPoint p0, MmPoint apex, MmPoint p2) {
  auto* item = new Item(nullptr, nullptr);
  cell.Add(item, p0.x, p0.y, p0.kind);
  cell.Add(item, apex.x, apex.y, apex.kind);
  cell.Add(item, p2.x, p2.y, p2.kind);
  AddSameGroup(item, Mm(5.0), (Mm(1.0) << 16) | Mm(2.0), kVertexKindMovedSingle);
  return item;
}

// Segment or point-pair items (types 7, 20, 25): consecutive points pair up.
template <typename Item>
Item* MakePairs(Cell cell, const std::vector<MmPoint>& points) {
  auto* item = new Item(nullptr, nullptr);
  for (const MmPoint& p : points) cell.Add(item, p.x, p.y, p.kind);
  return item;
}

// Circles (types 10, 16): graded centres with radius groups the same in
// every size.
struct MmCircle {
  double x;
  double y;
  double radius;
};
template <typename Item>
Item* MakeCircles(Cell cell, const std::vector<MmCircle>& circles) {
  auto* item = new Item(nullptr, nullptr);
  for (const MmCircle& c : circles) {
    cell.Add(item, c.x, c.y, 0);
    AddSameGroup(item, Mm(c.radius), 0, kVertexKindGraded);
  }
  return item;
}

// Builds the piece. g_Style must hold the sizes (AddSizes) first.
inline std::unique_ptr<CPieceRecord> BuildPiece() {
  auto piece = std::make_unique<CPieceRecord>();
  piece->PieceName = "\xC7\xB0\xC6\xAC";  // front piece, GBK

  // 0: the outline, counter-clockwise in model coordinates, with a hem that
  // curves down through two smooth vertices.
  piece->AddItem(MakeCurve<CPieceItem0>({{0, 0, 0}, {200, 0, 0}, {200, 150, 0}, {150, 158, 1}, {50, 158, 1},
                                         {0, 150, 0}}));

  // 1: the grain line, upright in the last cell of the bottom row.
  {
    auto* grain = new CPieceItem1(nullptr, nullptr);
    const Cell cell{5, 3};
    cell.Add(grain, 14, 2, 0);
    cell.Add(grain, 14, 27, 0);
    piece->AddItem(grain);
  }

  // 2: filled markers: a circle with a cross, a cross, a rectangle.
  {
    auto* markers = new CPieceItem2(nullptr, nullptr);
    const Cell cell{0, 0};
    AddMarker(markers, cell, 7, 8, kMarkerCircleCross, 3);
    AddMarker(markers, cell, 20, 8, kMarkerCross, 3);
    AddMarker(markers, cell, 14, 21, kMarkerRectangle, 0, 10, 5);
    piece->AddItem(markers);
  }

  // 3: two keyhole buttonholes with their eyes on the left.
  {
    auto* buttonholes = new CPieceItem3(nullptr, nullptr);
    const Cell cell{2, 0};
    buttonholes->Style = kSlotKeyhole;
    buttonholes->BarLength = Mm(3);
    buttonholes->SlotEndOffset = Mm(4);
    buttonholes->SlotWidth = Mm(1.5);
    buttonholes->EyeRadius = Mm(1);
    buttonholes->EyeOuterRadius = Mm(2);
    cell.Add(buttonholes, 4, 8, 0);
    cell.Add(buttonholes, 26, 8, 0);
    cell.Add(buttonholes, 4, 21, 0);
    cell.Add(buttonholes, 26, 21, 0);
    piece->AddItem(buttonholes);
  }

  // 4: hollow markers: a circle with a long cross, a plain circle.
  {
    auto* markers = new CPieceItem4(nullptr, nullptr);
    const Cell cell{1, 0};
    AddMarker(markers, cell, 9, 10, kMarkerCircleLongCross, 3);
    AddMarker(markers, cell, 21, 21, kMarkerCircle, 4);
    piece->AddItem(markers);
  }

  piece->AddItem(MakeTwoPointLine<CPieceItem5>({3, 0}));
  piece->AddItem(MakeCorner<CPieceItem6>({0, 1}, {4, 4, kCornerHoleCode}, {14, 26, kVShapeApexKind}, {24, 4, 0}));
  piece->AddItem(MakePairs<CPieceItem7>({3, 1}, {{3, 5, 0}, {25, 12, 0}, {3, 24, 0}, {25, 17, 0}}));

  // 8: a pocket, dashed (line attribute 2).
  piece->AddItem(MakeInCell<CPieceItem8>({0, 2}, {{3, 3, 0}, {25, 3, 0}, {25, 20, 0}, {14, 27, 1}, {3, 20, 0}}, 2));
  // 9: an S-shaped open line, dash-dot (line attribute 4).
  piece->AddItem(MakeInCell<CPieceItem9>({2, 2}, {{2, 25, 0}, {8, 5, 1}, {19, 22, 1}, {26, 4, 0}}, 4));

  piece->AddItem(MakeCircles<CPieceItem10>({4, 2}, {{9, 9, 5}, {20, 20, 6}}));

  // 11: a text of two lines, Chinese and Latin.
  {
    auto* text = new CPieceItem11(nullptr, nullptr);
    const Cell cell{2, 3};
    const CPoint anchor = SizePoint(cell.X(3), cell.Y(4), 0);
    text->AnchorX = anchor.x;
    text->AnchorY = anchor.y;
    text->SetText("\xC7\xB0\xC6\xAC FRONT\nCUT 2");
    text->Font.lfHeight = -Mm(6);
    piece->AddItem(text);
  }

  // 12: the cut line, 10 mm outside the outline.
  piece->AddItem(MakeCurve<CPieceItem12>({{-10, -10, 0}, {210, -10, 0}, {210, 160, 0}, {150, 168, 1},
                                          {50, 168, 1}, {-10, 160, 0}}));

  // 13: notches on the outline: a slit, a T, a V and a U on the top edge,
  // a box on the right side.
  {
    auto* notches = new CPieceItem13(nullptr, nullptr);
    AddNotch(notches, 30, 0, 30, 4, kNotchShapeSlit, 0, 0);
    AddNotch(notches, 70, 0, 70, 4, kNotchShapeT, 0, 0);
    AddNotch(notches, 110, 0, 110, 4, kNotchShapeV, 0, 0);
    AddNotch(notches, 150, 0, 150, 4, kNotchShapeU, 0, 0);
    AddNotch(notches, 200, 75, 196, 75, kNotchShapeBox, 200, 0);
    piece->AddItem(notches);
  }

  // 14: a round closed line of smooth vertices only.
  piece->AddItem(MakeInCell<CPieceItem14>({1, 2}, {{14, 2, 1}, {26, 14, 1}, {14, 27, 1}, {2, 14, 1}}));
  // 15: an open wave.
  piece->AddItem(MakeInCell<CPieceItem15>({3, 2}, {{2, 14, 0}, {10, 3, 1}, {18, 25, 1}, {26, 14, 0}}));
  piece->AddItem(MakeCircles<CPieceItem16>({5, 2}, {{14, 14, 11}, {14, 14, 4}}));
  piece->AddItem(MakeTwoPointLine<CPieceItem17>({4, 0}));

  // 18: the top edge's notches carried out to the cut line.
  {
    auto* notches = new CPieceItem18(nullptr, nullptr);
    for (double x : {30.0, 70.0, 110.0, 150.0}) AddNotch(notches, x, -10, x, -6, kNotchShapeT, -10, -10);
    piece->AddItem(notches);
  }

  piece->AddItem(MakeCorner<CPieceItem19>({1, 1}, {4, 24, kCornerHoleCode}, {14, 3, 0}, {24, 24, 0}));
  piece->AddItem(MakePairs<CPieceItem20>({4, 1}, {{3, 4, 0}, {25, 24, 0}, {3, 24, 0}, {25, 4, 0}}));

  // 21: the dotted contour, 5 mm inside the outline.
  piece->AddItem(MakeCurve<CPieceItem21>({{5, 5, 0}, {195, 5, 0}, {195, 145, 0}, {150, 153, 1}, {50, 153, 1},
                                          {5, 145, 0}}));
  piece->AddItem(MakeTwoPointLine<CPieceItem22>({5, 0}));

  // 23: dotted notches on the contour.
  {
    auto* notches = new CPieceItem23(nullptr, nullptr);
    for (double x : {50.0, 130.0}) AddNotch(notches, x, 5, x, 9, kNotchShapeV, 5, 5);
    piece->AddItem(notches);
  }

  piece->AddItem(MakeCorner<CPieceItem24>({2, 1}, {24, 4, kCornerHoleCode}, {4, 4, 0}, {4, 26, 0}));
  piece->AddItem(
      MakePairs<CPieceItem25>({5, 1}, {{4, 6, 0}, {24, 6, 0}, {4, 15, 0}, {24, 15, 0}, {4, 24, 0}, {24, 24, 0}}));

  // 26: a marked line with its labelled corners "1" and "3", a diamond mark
  // and a companion cross marker (27).
  {
    auto* marked = new CPieceItem26(nullptr, nullptr);
    const Cell cell{0, 3};
    const MmPoint points[] = {{3, 24, kMarkedLineCodeOne}, {9, 8, 1}, {19, 20, 1}, {26, 5, kMarkedLineCodeThree}};
    for (const MmPoint& p : points) {
      const CPoint at = SizePoint(cell.X(p.x), cell.Y(p.y), 0);
      marked->AddTailVertex(at.x, at.y, p.kind);
    }
    marked->MarkShape = 0x101;
    marked->MarkedNode = std::make_unique<CVertexNode>();
    const CPoint node = SizePoint(cell.X(14), cell.Y(14), 0);
    marked->MarkedNode->X = node.x;
    marked->MarkedNode->Y = node.y;
    piece->AddItem(marked);
  }
  {
    auto* cross = new CPieceItem27(nullptr, nullptr);
    const CPoint at = SizePoint(Cell{1, 3}.X(14), Cell{1, 3}.Y(14), 0);
    cross->AddTailVertex(at.x, at.y, 0);
    cross->Dot = 1;
    piece->AddItem(cross);
  }

  // 28: the width of the top edge, measured across above the piece.
  {
    auto* dimension = new CPieceItem28(nullptr, nullptr);
    dimension->Kind = kDimensionAcross;
    dimension->FirstItemType = kItemTypeOutline;
    dimension->SecondItemType = kItemTypeOutline;
    dimension->Text = "200.00";
    for (MmPoint p : {MmPoint{0, 0, 0}, MmPoint{200, 0, 0}, MmPoint{0, -22, 0}, MmPoint{200, -22, 0}}) {
      const CPoint at = SizePoint(p.x, p.y, 0);
      dimension->AddTailVertex(at.x, at.y, 0);
    }
    piece->AddItem(dimension);
  }

  // 29: a frame with a circle pair on each diagonal.
  {
    auto* frame = new CPieceItem29(nullptr, nullptr);
    const Cell cell{4, 3};
    cell.Add(frame, 3, 3, 0);
    cell.Add(frame, 25, 3, 0);
    cell.Add(frame, 25, 26, 0);
    cell.Add(frame, 3, 26, 0);
    cell.Add(frame, 14, 14, 0);
    AddSameGroup(frame, Mm(5), Mm(1.5), 0x100);
    AddSameGroup(frame, Mm(8), Mm(1), 0x100);
    piece->AddItem(frame);
  }

  piece->UpdateCurveItems();
  LinkDuplicatedMarkItems(piece.get());
  return piece;
}

}  // namespace all_items
