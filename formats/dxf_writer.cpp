#include "formats/dxf_writer.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "formats/aama_piece.h"
#include "formats/dxf_output.h"
#include "formats/dxf_save_dlg.h"
#include "model/items/curve_item.h"
#include "model/items/text_item.h"
#include "model/lookup.h"
#include "model/outline_walk.h"
#include "model/item_types.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "platform/binary_file.h"
#include "platform/numbers.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

// Layers of the plain DXF file.
constexpr int8_t kLayerDrawing = 11;
constexpr int8_t kLayerCorner = 2;
constexpr int8_t kLayerCurvePoint = 3;
constexpr int kLayerText = 1;

// Gaps in model units: between the sizes of a piece written side by side,
// and between pieces written side by side.
constexpr int64_t kSizeGap = 400;
constexpr int64_t kPieceGap = 1000;

// The display unit modes written in inches (0 inch with fractions, 1 inch).
bool IsInchUnitMode(int mode) { return mode == 0 || mode == 1; }

// Model units per output unit, label text height and label line spacing in
// output units.
struct OutputUnits {
  double divisor = 1.0;
  float textHeight = 3.0f;
  float lineSpacing = 4.0f;
};

OutputUnits ChooseOutputUnits() {
  OutputUnits units;
  const double scale = g_Style.GetScale();
  if (IsInchUnitMode(g_UnitMode)) {
    units.divisor = scale * 25.4;
    units.textHeight = 0.14f;
    units.lineSpacing = 0.16f;
  } else {
    units.divisor = scale;
  }
  return units;
}


// The main vertices of an item's ring in ring order, from the first main
// vertex on; at most VertexCount of them, so a damaged ring cannot loop.
std::vector<CVertexNode*> MainVertices(const CPieceItem* item) {
  std::vector<CVertexNode*> result;
  CVertexNode* start = item->VertexHead;
  if (!start) return result;
  if (!start->IsMain()) start = item->NextMainVertex(start);
  if (!start || !start->IsMain()) return result;
  CVertexNode* main = start;
  do {
    result.push_back(main);
    main = item->NextMainVertex(main);
  } while (main && main != start && static_cast<int32_t>(result.size()) < item->VertexCount);
  return result;
}

// The node of size `size` of a main vertex: its copy `size` places on. A
// group that holds fewer copies (a vertex left ungraded, a damaged file) is
// the same point in every size it lacks: the main vertex itself is taken,
// never the node of the next vertex or a marker's size node.
const CVertexNode* NodeOfSize(const CVertexNode* main, int size) {
  const CVertexNode* node = main;
  for (int s = 0; s < size; ++s) {
    node = node->Next;
    if (!node || node == main || node->Kind() != kVertexKindCopy) return main;
  }
  return node;
}

// The node after a main vertex's group of copies: a circle's or marker's
// radius node. Null when the group is followed by another main vertex (or
// the ring holds nothing else): that centre has no radius. At most
// `ringCount` steps, so a damaged ring cannot loop.
const CVertexNode* NodeAfterGroup(const CVertexNode* main, int32_t ringCount) {
  const CVertexNode* node = main->Next;
  for (int32_t steps = 1; node && node != main && node->Kind() == kVertexKindCopy; ++steps) {
    if (steps >= ringCount) return nullptr;
    node = node->Next;
  }
  if (!node || node == main || node->IsMain()) return nullptr;
  return node;
}

// One point of a polyline: a position and the kind that decides its point
// mark.
struct PolylinePoint {
  const CVertexNode* at;
  int kind;
};

// Writes one piece (a mirrored copy) in all its sizes.
class PieceWriter {
 public:
  PieceWriter(DxfOutput& out, const DxfSaveOptions& options, const OutputUnits& units, CPieceRecord& piece)
      : out_(out), options_(options), units_(units), piece_(piece) {}

  // Writes size `size` (record `record`) at the given offsets.
  void WriteSize(int size, const CSizeRecord& record, int64_t xOffset, int64_t yOffset) {
    size_ = size;
    xOffset_ = xOffset;
    yOffset_ = yOffset;
    if (size == 0 || options_.sizeLayout == 0) WriteLabels(record);
    for (CPieceItem* item : ItemsOf(&piece_)) WriteItem(*item);
  }

 private:
  void Convert(const CVertexNode* node, float* x, float* y) const {
    ModelToDxfPoint(options_.pieceSet, x, y, node, &piece_, xOffset_, yOffset_, units_.divisor);
  }

  // The five label texts, stacked above and to the right of the middle of
  // the grain line; a piece without a grain line takes the middle of its box.
  void WriteLabels(const CSizeRecord& record) {
    CVertexNode first;
    CVertexNode second;
    CPieceItem* grain = FindFirstItem(&piece_, 1);
    std::vector<CVertexNode*> ends = grain ? MainVertices(grain) : std::vector<CVertexNode*>{};
    if (!ends.empty()) {
      first = *ends.front();
      second = *grain->NextMainVertex(ends.front());
    } else if (piece_.BoxMinX <= piece_.BoxMaxX && piece_.BoxMinY <= piece_.BoxMaxY) {
      first.X = piece_.BoxMinX;
      first.Y = piece_.BoxMinY;
      second.X = piece_.BoxMaxX;
      second.Y = piece_.BoxMaxY;
    }
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Convert(&first, &x1, &y1);
    Convert(&second, &x2, &y2);
    const float x = (x1 + x2) / 2 + 3 * units_.lineSpacing;
    const float yMiddle = (y1 + y2) / 2;

    const CString texts[] = {
        CString("PIECE NAME: ") + piece_.PieceName,
        CString("ANNOTATION: ") + piece_.Annotation,
        CString("CATEGORY: ") + (piece_.Category.IsEmpty() ? CString("A") : piece_.Category),
        CString("QUANTITY: ") + CString(FormatNumberText("%d", piece_.Quantity)),
        CString("SIZE: ") + record.Name,
    };
    int k = 0;
    for (const CString& text : texts) {
      const float y = yMiddle + static_cast<float>(4 + k) * units_.lineSpacing;
      WriteDxfText(out_, kLayerText, x, y, units_.textHeight, text, 0);
      ++k;
    }
  }

  void WriteItem(const CPieceItem& item) {
    const int type = item.Type;
    switch (DxfShapeOf(type)) {
      case kDxfPolyline:
        WritePolyline(item);
        break;
      case kDxfLines:
        if (options_.notchBump == 0 || type == kItemTypeGrainLine) WriteLines(item);
        break;
      case kDxfPoints:
        for (CVertexNode* main : MainVertices(&item)) WritePoint(kLayerCorner, NodeOfSize(main, size_));
        break;
      case kDxfCircles:
        WriteCircles(item);
        break;
      case kDxfText: {
        const auto* text = dynamic_cast<const CPieceItem11*>(&item);
        if (text && (size_ == 0 || options_.sizeLayout != 1)) WriteText(*text);
        break;
      }
      case kDxfNone:
        break;
    }
  }

  void WritePoint(int8_t layer, const CVertexNode* node) {
    float x = 0, y = 0;
    Convert(node, &x, &y);
    WriteDxfPoint(out_, layer, x, y);
  }

  // The polyline's points: the sampled curve of this size, or the size's
  // node of every main vertex with the main vertex's kind.
  std::vector<PolylinePoint> PolylinePoints(const CPieceItem& item) const {
    std::vector<PolylinePoint> points;
    const auto* curve = dynamic_cast<const CPieceCurveItem*>(&item);
    if (options_.addControlPoints == 1 && HasDxfSampledCurve(item.Type) && curve) {
      const CVertexRing* ring = curve->CurveRingAt(size_);
      if (ring) {
        const CVertexNode* node = ring->GetHead();
        for (int32_t i = 0; i < ring->GetCount() && node; ++i, node = node->Next) {
          points.push_back({node, node->Kind()});
        }
        return points;
      }
    }
    for (CVertexNode* main : MainVertices(&item)) points.push_back({NodeOfSize(main, size_), main->Kind()});
    return points;
  }

  // An item without a vertex (an empty ring) writes nothing: a POLYLINE
  // needs vertices.
  void WritePolyline(const CPieceItem& item) {
    const std::vector<PolylinePoint> points = PolylinePoints(item);
    if (points.empty()) return;
    out_.Line("  0");
    out_.Line("POLYLINE");
    out_.Line("  8");
    out_.Integer(kLayerDrawing);
    if (IsDxfClosedPolylineType(item.Type)) {
      out_.Line("  70");
      out_.Line("   1");
    }
    out_.Line("  66");
    out_.Line("   1");
    for (const PolylinePoint& p : points) {
      float x = 0, y = 0;
      Convert(p.at, &x, &y);
      WriteDxfVertex(out_, kLayerDrawing, x, y);
    }
    out_.Line("  0");
    out_.Line("SEQEND");
    for (const PolylinePoint& p : points) {
      if (IsSmoothVertexKind(p.kind)) {
        WritePoint(kLayerCurvePoint, p.at);
      } else if (IsCornerVertexKind(p.kind)) {
        WritePoint(kLayerCorner, p.at);
      }
    }
  }

  void WriteLine(const CVertexNode* from, const CVertexNode* to) {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Convert(from, &x1, &y1);
    Convert(to, &x2, &y2);
    out_.Line("  0");
    out_.Line("LINE");
    out_.Line("  8");
    out_.Integer(kLayerDrawing);
    out_.Line("  10");
    out_.Number(x1);
    out_.Line("  20");
    out_.Number(y1);
    out_.Line("  11");
    out_.Number(x2);
    out_.Line("  21");
    out_.Number(y2);
  }

  // The grain line goes from each end to the other. A notch is a line from
  // its point on the outline (kind 0) to its inner end, the main vertex after
  // it; one notch is never joined to the next. Then a corner point at every
  // main vertex.
  void WriteLines(const CPieceItem& item) {
    const std::vector<CVertexNode*> mains = MainVertices(&item);
    const size_t n = mains.size();
    for (size_t i = 0; i < n; ++i) {
      CVertexNode* next = mains[(i + 1) % n];
      if (IsNotchType(item.Type) && (mains[i]->Kind() != kVertexKindKeyCorner || next->Kind() == kVertexKindKeyCorner || n < 2)) continue;
      WriteLine(NodeOfSize(mains[i], size_), NodeOfSize(next, size_));
    }
    for (CVertexNode* main : mains) WritePoint(kLayerCorner, NodeOfSize(main, size_));
  }

  // A circle per main vertex. The radius is the x of the radius node that
  // follows the centre's group: one node for the hollow markers (type 4), a
  // group with one node per size for the circles (type 10). Each circle
  // takes its own radius; a centre without a radius node gives no circle.
  void WriteCircles(const CPieceItem& item) {
    for (CVertexNode* main : MainVertices(&item)) {
      const CVertexNode* radius = NodeAfterGroup(main, item.VertexCount);
      if (!radius) continue;
      if (item.Type == kItemTypeCircles) radius = NodeOfSize(radius, size_);
      float x = 0, y = 0;
      Convert(NodeOfSize(main, size_), &x, &y);
      const float r = units_.divisor != 0.0 ? static_cast<float>(radius->X / units_.divisor) : 0.0f;
      out_.Line("  0");
      out_.Line("CIRCLE");
      out_.Line("  8");
      out_.Integer(kLayerDrawing);
      out_.Line("  10");
      out_.Number(x);
      out_.Line("  20");
      out_.Number(y);
      out_.Line("  40");
      out_.Number(r);
    }
  }

  // The font height of a text item is negative when it gives the height of
  // the characters (the usual case); DXF wants the height as a length.
  void WriteText(const CPieceItem11& text) {
    CVertexNode anchor;
    anchor.X = text.AnchorX;
    anchor.Y = text.AnchorY;
    float x = 0, y = 0;
    Convert(&anchor, &x, &y);
    const double height = std::abs(static_cast<double>(text.Font.lfHeight));
    const float h = units_.divisor != 0.0 ? static_cast<float>(height / units_.divisor) : 0.0f;
    WriteDxfText(out_, kLayerText, x, y, h, text.Text, 0);
  }

  DxfOutput& out_;
  const DxfSaveOptions& options_;
  const OutputUnits& units_;
  CPieceRecord& piece_;
  int size_ = 0;
  int64_t xOffset_ = 0;
  int64_t yOffset_ = 0;
};

// The notch marks become bumps of the lines they sit on: for all sizes at
// once on the main vertices, or, when the sampled curves are written, in
// each size's curve.
void InsertNotchBumps(CPieceRecord& piece, int addControlPoints) {
  static constexpr int kPairs[][2] = {{0, 13}, {12, 18}, {21, 23}};
  for (const auto& pair : kPairs) {
    CPieceItem* curve = FindFirstItem(&piece, pair[0]);
    CPieceItem* notches = FindFirstItem(&piece, pair[1]);
    if (!curve || !notches) continue;
    if (addControlPoints == 0) {
      InsertNotchesIntoCurve(curve, notches, -1);
    } else {
      for (int s = 0; s < g_Style.SizeCount; ++s) InsertNotchesIntoCurve(curve, notches, s);
    }
  }
}

}  // namespace

bool WriteDxfStyle(DxfOutput& out, const DxfSaveOptions& options) {
  CPieceRecord* ring = options.pieceSet == 0 ? g_Style.WorkPieceRing : g_Style.PieceRing;
  const int32_t count = options.pieceSet == 0 ? g_Style.WorkPieceCount : g_Style.PieceCount;
  if (!ring || count < 1) return false;

  const OutputUnits units = ChooseOutputUnits();
  int64_t workAreaWidth = 0;
  if (g_pWorkWindow) {
    workAreaWidth = static_cast<int64_t>(g_pWorkWindow->Extent.right) - g_pWorkWindow->Extent.left;
  }

  out.Line("  0");
  out.Line("SECTION");
  out.Line("  2");
  out.Line("ENTITIES");

  int64_t xOffset = 0;
  const int64_t yOffset = 0;
  CPieceRecord* piece = ring;
  for (int32_t i = 0; i < count && piece; ++i, piece = piece->Next) {
    std::unique_ptr<CPieceRecord> copy(DuplicatePiece(piece));
    if (!copy) continue;
    copy->Recalc(1);
    const int64_t middle = (static_cast<int64_t>(copy->BoxMinY) + copy->BoxMaxY) / 2;
    copy->MirrorHorizontal(static_cast<int>(middle));
    if (options.pieceSet == 1) MoveAamaPieceToOrigin(copy.get());
    if (options.notchBump == 1) InsertNotchBumps(*copy, options.addControlPoints);

    const int64_t width =
        copy->BoxMinX <= copy->BoxMaxX ? static_cast<int64_t>(copy->BoxMaxX) - copy->BoxMinX : 0;
    PieceWriter writer(out, options, units, *copy);
    CSizeRecord* size = g_Style.SizeRing;
    for (int s = 0; s < g_Style.SizeCount && size; ++s, size = size->Next) {
      writer.WriteSize(s, *size, xOffset, yOffset);
      if (options.sizeLayout == 0) xOffset += (options.pieceSet == 1 ? width : workAreaWidth) + kSizeGap;
    }
    if (options.pieceSet == 1) {
      xOffset += width + kPieceGap;
    } else {
      xOffset = 0;
    }
  }

  out.Line("  0");
  out.Line("ENDSEC");
  out.Line("  0");
  out.Line("EOF");
  return true;
}

int SaveDxfFileWithOptions(const CString& path, const DxfSaveOptions& options) {
  const int32_t count = options.pieceSet == 0 ? g_Style.WorkPieceCount : g_Style.PieceCount;
  if (count < 1) {
    ShowFailureMessage(IDS_SAVE_PTN_FAILED);
    return 0;
  }
  AtomicFileWriter file;
  if (!file.Open(path)) {
    ShowFailureMessage(IDS_SAVE_PTN_FAILED);
    return 0;
  }
  DxfOutput out(file);
  const bool written = WriteDxfStyle(out, options);
  if (!written || !out.Flush() || !file.Commit()) {
    file.Abandon();
    ShowFailureMessage(IDS_SAVE_PTN_FAILED);
    return 0;
  }
  return 1;
}

int SaveDxfFile(const CString& path) {
  CDxfSaveDlg dlg;
  if (dlg.DoModal() != IDOK) return 1;
  DxfSaveOptions options;
  options.pieceSet = dlg.m_nPieceSet;
  options.sizeLayout = dlg.m_nSizeLayout;
  options.notchBump = dlg.m_bNotchBump;
  options.addControlPoints = dlg.m_bAddControlPoints;
  return SaveDxfFileWithOptions(path, options);
}
