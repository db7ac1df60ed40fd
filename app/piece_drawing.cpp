#include "app/piece_drawing.h"

#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "model/geometry.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/dc.h"
#include "design/geometry/measure.h"

namespace {

// Label sizes in millimetres.
constexpr double kShortLineMm = 120.0;
constexpr double kLongLineMarginMm = 20.0;
constexpr double kMinPrintedHeightMm = 3.0;
constexpr double kMinScreenHeightMm = 0.5;
constexpr int kMinPrintedHeightPixels = 30;

CPieceItem* FirstItemOfType(const CPieceRecord* piece, int32_t type) {
  CPieceItem* item = piece->ItemRing;
  for (int32_t i = 0; i < piece->ItemCount && item != nullptr; ++i, item = item->Next) {
    if (item->Type == type) return item;
  }
  return nullptr;
}

enum class Slot { kPlain, kSelected };

void DrawWithSlot(CDC* dc, CPieceRecord* piece, double unitsPerPixel, int originX, int originY, Slot slot) {
  if (!dc || !piece || piece->ItemCount <= 0 || !piece->ItemRing) return;
  auto draw = [&](CPieceItem* item) {
    if (slot == Slot::kSelected) {
      item->DrawSelected(dc, unitsPerPixel, originX, originY, piece);
    } else {
      item->Draw(dc, unitsPerPixel, originX, originY, piece);
    }
  };
  CPieceItem* item = piece->ItemRing;
  for (int32_t i = 0; i < piece->ItemCount && item != nullptr; ++i, item = item->Next) {
    if (item->Type != kItemTypeOutline) draw(item);
  }
  // The outline goes last, over the internal items.
  if (CPieceItem* outline = FirstItemOfType(piece, kItemTypeOutline)) draw(outline);
  if (g_PtnDisplayFlag != 0) DrawPieceLabelTexts(dc, piece, unitsPerPixel, originX, originY);
}

// The first size whose visible flag is set, with its index in the size ring.
const CSizeRecord* FirstVisibleSize(int* index) {
  const CSizeRecord* size = g_Style.SizeRing;
  for (int i = 0; i < g_Style.SizeCount && size != nullptr; ++i, size = size->Next) {
    if (size->Visible != 0) {
      *index = i;
      return size;
    }
  }
  return nullptr;
}

CVertexNode* StepsFrom(CVertexNode* node, int steps) {
  for (int i = 0; i < steps && node != nullptr; ++i) node = node->Next;
  return node;
}

std::vector<CString> SplitLines(const CString& text) {
  std::vector<CString> lines;
  const std::string_view all = text.view();
  size_t start = 0;
  for (;;) {
    const size_t end = all.find('\n', start);
    if (end == std::string_view::npos) {
      lines.emplace_back(all.substr(start));
      break;
    }
    lines.emplace_back(all.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

int32_t ClampToInt32(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Keeps |v| at least `least`, with v's sign (a zero counts as positive).
int AtLeastInMagnitude(int v, int least) {
  if (std::abs(static_cast<int64_t>(v)) >= least) return v;
  return v < 0 ? -least : least;
}

// Width in device units of the longest line (most characters) of `text` in
// `font` at `height`.
int LongestLineWidth(CDC* dc, const LOGFONT& base, int height, const CString& text) {
  LOGFONT logfont = base;
  logfont.lfHeight = height;
  CFont font;
  font.CreateFontIndirect(&logfont);
  CFont* old = dc->SelectObject(&font);
  const int width = dc->GetTextExtent(GetLongestTextLine(text)).cx;
  dc->SelectObject(old);
  return width;
}

struct GrainLine {
  CPoint first;   // the end with the smaller x
  CPoint second;
};

bool FindGrainLine(const CPieceRecord* piece, int sizeIndex, GrainLine* out) {
  CPieceItem* grain = FirstItemOfType(piece, kItemTypeGrainLine);
  if (!grain || !grain->VertexHead || grain->VertexCount <= 0) return false;
  CVertexNode* a = StepsFrom(grain->VertexHead, sizeIndex);
  CVertexNode* b = StepsFrom(grain->NextMainVertex(a), sizeIndex);
  if (!a || !b) return false;
  CPoint p(a->X, a->Y);
  CPoint q(b->X, b->Y);
  if (q.x < p.x) std::swap(p, q);
  out->first = p;
  out->second = q;
  return true;
}

// Writes one label text along the grain line, above it (`above`) or below.
// `h` is the base height in model units; `modelWidth` the width of its
// longest line at that height.
void DrawOneLabel(CDC* dc, const CString& text, bool above, int h, int modelWidth, const GrainLine& line,
                  const CPoint& turnedSecond, int textAngle, double angle, double unitsPerPixel, int originX,
                  int originY) {
  const int32_t S = g_Style.GetScale();
  const double dx = static_cast<double>(line.second.x) - line.first.x;
  const double dy = static_cast<double>(line.second.y) - line.first.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  const double margin = length < kShortLineMm * S ? length / 6 : kLongLineMarginMm * S;

  int model_height = h;
  const double wanted = modelWidth + 2 * margin;
  if (RoundToNearest(length) < RoundToNearest(wanted) && wanted != 0) {
    model_height = RoundToNearest(h * length / wanted);
  }
  int device_height = RoundToNearest(model_height / unitsPerPixel);
  if (dc->IsPrinting()) device_height = AtLeastInMagnitude(device_height, kMinPrintedHeightPixels);
  device_height = AtLeastInMagnitude(device_height, 1);

  const int pixel_width = LongestLineWidth(dc, g_DefaultFontInitial, device_height, text);
  LOGFONT turned = g_DefaultFontInitial;
  turned.lfHeight = device_height;
  turned.lfEscapement = textAngle;
  turned.lfOrientation = textAngle;
  CFont font;
  font.CreateFontIndirect(&turned);
  CFont* old_font = dc->SelectObject(&font);

  const std::vector<CString> lines = SplitLines(text);
  const int64_t count = static_cast<int64_t>(lines.size());
  const int64_t line_height = std::llabs(static_cast<int64_t>(RoundToNearest(device_height * unitsPerPixel)));
  const int64_t pixel_model = RoundToNearest(1.0 * unitsPerPixel);
  const int64_t x = int64_t{line.first.x} +
                    (int64_t{turnedSecond.x} - line.first.x - RoundToNearest(pixel_width * unitsPerPixel)) / 2;
  const double back_sin = std::sin(angle);
  const double back_cos = std::cos(angle);
  for (int64_t k = 0; k < count; ++k) {
    const int64_t y = above ? int64_t{line.first.y} - line_height * (count - k) - S - pixel_model
                            : int64_t{line.first.y} + line_height * k + S + pixel_model;
    int mx = 0, my = 0;
    RotatePoint(ClampToInt32(x), ClampToInt32(y), line.first.x, line.first.y, back_sin, back_cos, &mx, &my);
    int sx = 0, sy = 0;
    ModelToScreen(mx, my, &sx, &sy, unitsPerPixel, originX, originY);
    dc->TextOut(sx, sy, lines[static_cast<size_t>(k)]);
  }
  dc->SelectObject(old_font);
}

}  // namespace

void DrawPiece(CDC* dc, CPieceRecord* piece, double unitsPerPixel, int originX, int originY) {
  DrawWithSlot(dc, piece, unitsPerPixel, originX, originY, Slot::kSelected);
}

void DrawPieceItems(CDC* dc, CPieceRecord* piece, double unitsPerPixel, int originX, int originY) {
  DrawWithSlot(dc, piece, unitsPerPixel, originX, originY, Slot::kPlain);
}

void DrawPieceLabelTexts(CDC* dc, CPieceRecord* piece, double unitsPerPixel, int originX, int originY) {
  if (!dc || !piece) return;
  if (!std::isfinite(unitsPerPixel) || unitsPerPixel <= 0.0) return;
  int size_index = 0;
  const CSizeRecord* size = FirstVisibleSize(&size_index);
  if (!size) return;
  GrainLine line;
  if (!FindGrainLine(piece, size_index, &line)) return;

  CPen pen(PS_SOLID, 1, size->Color);
  CPen* old_pen = dc->SelectObject(&pen);
  const int old_bk = dc->SetBkMode(TRANSPARENT);

  const CString text1 = ExpandLabelTemplate(*piece, g_PtnText1, size);
  const CString text2 = ExpandLabelTemplate(*piece, g_PtnText2, size);

  const int32_t S = g_Style.GetScale();
  int h = static_cast<int>(std::trunc(g_DefaultFontInitial.lfHeight / 40.0 * S));
  if (dc->IsPrinting()) {
    h = AtLeastInMagnitude(h, static_cast<int>(kMinPrintedHeightMm * S));
  } else if (std::fabs(static_cast<double>(h)) < kMinScreenHeightMm * S) {
    h = AtLeastInMagnitude(h, static_cast<int>(kMinScreenHeightMm * S));
  }
  const int width1 = LongestLineWidth(dc, g_DefaultFontInitial, h, text1);
  const int width2 = LongestLineWidth(dc, g_DefaultFontInitial, h, text2);

  const double angle = VectorAngle(line.first.x, line.first.y, line.second.x, line.second.y);
  const int text_angle = RoundToNearest(-angle * 1800.0 / kPi);
  CPoint turned;
  RotatePoint(line.second.x, line.second.y, line.first.x, line.first.y, std::sin(-angle), std::cos(-angle),
              &turned.x, &turned.y);

  DrawOneLabel(dc, text1, true, h, width1, line, turned, text_angle, angle, unitsPerPixel, originX, originY);
  DrawOneLabel(dc, text2, false, h, width2, line, turned, text_angle, angle, unitsPerPixel, originX, originY);

  dc->SetBkMode(old_bk);
  dc->SelectObject(old_pen);
}

CString ExpandLabelTemplate(const CPieceRecord& piece, const CString& labelTemplate, const CSizeRecord* size) {
  CString out;
  const int n = labelTemplate.GetLength();
  int i = 0;
  while (i < n) {
    const char ch = labelTemplate[i];
    if (ch != '&' || i + 1 >= n) {
      out += ch;
      ++i;
      continue;
    }
    const char code = labelTemplate[i + 1];
    switch (code) {
      case 'P': case 'p': out += piece.PieceName; break;
      case 'C': case 'c': out += piece.Annotation; break;
      case 'M': case 'm': out += piece.Category; break;
      case 'N': case 'n': {
        CString quantity;
        quantity.Format(" X %d ", piece.Quantity);
        out += quantity;
        break;
      }
      case 'S': case 's':
        if (size) out += size->Name;
        break;
      case 'T': case 't': out += g_Style.StyleName; break;
      case 'O': case 'o': out += g_Style.HeaderText1; break;
      case 'U': case 'u': out += g_Style.HeaderText4; break;
      default:
        out += '&';
        out += code;
        break;
    }
    i += 2;
  }
  return out;
}
