#include "bench/aama_generator.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/numbers.h"
#include "design/geometry/measure.h"

namespace {

// Rule numbers a table may hold, and how many rules each piece's grade
// points share, so that the table grows with the style.
constexpr int kMaxRule = 9999;
constexpr int kRulesPerPiece = 3;

struct Point {
  double x;
  double y;
};

// A size name list like a women's range: 34, 36, 38, ...
std::string SizeName(int index) { return std::to_string(34 + 2 * index); }

std::string Coordinate(double v) { return FormatNumberText("%.3f", v); }

// The block (and piece) name of a piece of the named-blocks layout.
std::string NamedPieceBlock(int index) { return FormatNumberText("PIECE-%05d", index); }

// Appends the parts in order (one append each, no temporaries joined).
template <typename... Parts>
void Append(std::string& out, const Parts&... parts) {
  (out.append(parts), ...);
}

void AddText(std::string& out, const std::string& text, Point at) {
  Append(out, "0\nTEXT\n8\n1\n10\n", Coordinate(at.x), "\n20\n", Coordinate(at.y), "\n40\n5.0\n1\n", text, "\n");
}

void AddPoint(std::string& out, int layer, Point at) {
  Append(out, "0\nPOINT\n8\n", std::to_string(layer), "\n10\n", Coordinate(at.x), "\n20\n", Coordinate(at.y), "\n");
}

void AddPolyline(std::string& out, int layer, const std::vector<Point>& points, bool closed) {
  const std::string l = std::to_string(layer);
  Append(out, "0\nPOLYLINE\n8\n", l, "\n66\n1\n70\n", closed ? "1\n" : "0\n");
  for (const Point& p : points) {
    Append(out, "0\nVERTEX\n8\n", l, "\n10\n", Coordinate(p.x), "\n20\n", Coordinate(p.y), "\n");
  }
  out += "0\nSEQEND\n";
}

// A piece outline: a box whose top edge bulges like a shoulder or a
// waistband, `n` vertices counter-clockwise from the bottom-left corner.
std::vector<Point> Outline(int n, double width, double height, Point origin) {
  std::vector<Point> points;
  const int bottom = n / 4;       // vertices along the bottom edge
  const int side = n / 8;         // along each side
  const int top = n - bottom - 2 * side;
  for (int i = 0; i < bottom; ++i) points.push_back({origin.x + width * i / bottom, origin.y});
  for (int i = 0; i < side; ++i) points.push_back({origin.x + width, origin.y + height * i / side});
  for (int i = 0; i < top; ++i) {
    const double t = static_cast<double>(i) / top;
    const double bulge = 0.15 * height * std::sin(kPiExact * t);
    points.push_back({origin.x + width * (1.0 - t), origin.y + height + bulge});
  }
  for (int i = 0; i < side; ++i) points.push_back({origin.x, origin.y + height * (1.0 - static_cast<double>(i) / side)});
  return points;
}

// A piece's grain line (layer 7) down its middle and an open internal line
// (layer 8) across it.
void AddGrainAndInternalLine(std::string& out, Point origin, double width, double height) {
  Append(out, "0\nLINE\n8\n7\n10\n", Coordinate(origin.x + width / 2), "\n20\n", Coordinate(origin.y + height * 0.2),
         "\n11\n", Coordinate(origin.x + width / 2), "\n21\n", Coordinate(origin.y + height * 0.8), "\n");
  AddPolyline(out, 8,
              {{origin.x + width * 0.3, origin.y + height * 0.5},
               {origin.x + width * 0.4, origin.y + height * 0.55},
               {origin.x + width * 0.6, origin.y + height * 0.55},
               {origin.x + width * 0.7, origin.y + height * 0.5}},
              false);
}

void AddPiece(std::string& out, const AamaStyleShape& shape, int index, const std::string& sample) {
  const std::string name = FormatNumberText("P%05d", index);
  const double width = 200.0 + 30.0 * (index % 7);
  const double height = 300.0 + 40.0 * (index % 5);
  const Point origin{1000.0 * (index % 10), 1000.0 * (index / 10 % 100)};
  Append(out, "0\nBLOCK\n8\n1\n2\n", name, "\n70\n0\n10\n0.0\n20\n0.0\n");
  if (index == 0) {
    AddText(out, "STYLE NAME: BENCH", origin);
    AddText(out, std::string("Sample Size: ").append(sample), origin);
  }
  AddText(out, std::string("Piece Name: ").append(name), {origin.x + 20, origin.y + 60});
  AddText(out, std::string("Size: ").append(sample), {origin.x + 20, origin.y + 50});
  AddText(out, "Quantity: 2", {origin.x + 20, origin.y + 40});

  const std::vector<Point> outline = Outline(std::max(8, shape.outline_vertices), width, height, origin);
  AddPolyline(out, 1, outline, true);
  const int every = std::max(1, shape.grade_point_every);
  for (size_t i = 0, k = 0; i < outline.size(); i += static_cast<size_t>(every), ++k) {
    const int rule = (index * kRulesPerPiece + static_cast<int>(k) % kRulesPerPiece) % kMaxRule + 1;
    AddPoint(out, 2, outline[i]);
    AddText(out, std::string("# ").append(std::to_string(rule)), outline[i]);
  }
  for (int k = 1; k <= 3; ++k) AddPoint(out, 4, {origin.x + width * k / 4.0 + 1.5, origin.y});
  AddGrainAndInternalLine(out, origin, width, height);
  AddPoint(out, 13, {origin.x + width * 0.35, origin.y + height * 0.3});
  AddPoint(out, 13, {origin.x + width * 0.65, origin.y + height * 0.3});
  out += "0\nENDBLK\n";
}

// A piece of the named-blocks layout: the block name is all that names it,
// and it holds no text.
void AddNamedPiece(std::string& out, const AamaStyleShape& shape, int index) {
  const double width = 200.0 + 30.0 * (index % 7);
  const double height = 300.0 + 40.0 * (index % 5);
  const Point origin{1000.0 * (index % 10), 1000.0 * (index / 10 % 100)};
  Append(out, "0\nBLOCK\n8\n1\n2\n", NamedPieceBlock(index), "\n70\n0\n10\n0.0\n20\n0.0\n");
  const std::vector<Point> outline = Outline(std::max(8, shape.outline_vertices), width, height, origin);
  AddPolyline(out, 1, outline, true);
  const int every = std::max(1, shape.grade_point_every);
  for (size_t i = 0; i < outline.size(); i += static_cast<size_t>(every)) AddPoint(out, 2, outline[i]);
  for (int k = 1; k <= 3; ++k) AddPoint(out, 4, {origin.x + width * k / 4.0 + 1.5, origin.y});
  AddGrainAndInternalLine(out, origin, width, height);
  out += "0\nENDBLK\n";
}

// The file of named blocks: a header that names no known author, the layout
// blocks the reader passes over, the pieces' blocks and one INSERT of each.
std::string NamedBlocksDxf(const AamaStyleShape& shape) {
  std::string dxf =
      "0\nSECTION\n2\nHEADER\n999\nANSI/AAMA VERSION: 1.0.0\n999\nAuthor: Bench CAD\n"
      "999\nUNITS: METRIC\n999\nCREATION DATE: 2026-01-01\n9\n$ACADVER\n1\nAC1009\n0\nENDSEC\n"
      "0\nSECTION\n2\nBLOCKS\n"
      "0\nBLOCK\n8\n0\n2\n*Model_Space\n70\n0\n10\n0.0\n20\n0.0\n0\nENDBLK\n"
      "0\nBLOCK\n8\n0\n2\n*Paper_Space\n70\n0\n10\n0.0\n20\n0.0\n";
  AddPolyline(dxf, 0, {{0.0, 0.0}, {2970.0, 0.0}, {2970.0, 2100.0}, {0.0, 2100.0}}, true);
  dxf += "0\nLINE\n8\n0\n10\n0.0\n20\n100.0\n11\n2970.0\n21\n100.0\n0\nENDBLK\n";
  for (int i = 0; i < shape.pieces; ++i) AddNamedPiece(dxf, shape, i);
  dxf += "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
  for (int i = 0; i < shape.pieces; ++i) {
    Append(dxf, "0\nINSERT\n8\n1\n2\n", NamedPieceBlock(i), "\n10\n0.0\n20\n0.0\n");
  }
  dxf += "0\nENDSEC\n0\nEOF\n";
  return dxf;
}

}  // namespace

AamaStyleShape NamedBlocksShape(int pieces) {
  AamaStyleShape shape;
  shape.layout = AamaBlockLayout::kNamedBlocksLayoutFirst;
  shape.pieces = pieces;
  shape.outline_vertices = 150;
  shape.grade_point_every = 8;
  return shape;
}

AamaStyleText GenerateAamaStyle(const AamaStyleShape& shape) {
  if (shape.layout == AamaBlockLayout::kNamedBlocksLayoutFirst) return {NamedBlocksDxf(shape), std::string()};
  const int sizes = std::max(2, shape.sizes);
  const int sample_index = sizes / 2;
  const std::string sample = SizeName(sample_index);
  AamaStyleText style;

  style.dxf =
      "0\nSECTION\n2\nHEADER\n999\nANSI/AAMA VERSION: 1.0.0\n999\nAuthor: Optitex benchmark\n"
      "999\nUNITS: METRIC\n999\nCREATION DATE: 2026-01-01\n0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n";
  for (int i = 0; i < shape.pieces; ++i) AddPiece(style.dxf, shape, i, sample);
  const int rules_used = static_cast<int>(std::min<long long>(1LL * shape.pieces * kRulesPerPiece, kMaxRule));
  style.dxf += "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
  for (int i = 0; i < shape.pieces; ++i) {
    Append(style.dxf, "0\nINSERT\n8\n1\n2\n", FormatNumberText("P%05d", i), "\n10\n0.0\n20\n0.0\n");
  }
  style.dxf += "0\nENDSEC\n0\nEOF\n";

  std::string& rul = style.rul;
  rul = "ANSI/AAMA VERSION: 1.0.0\nAuthor: Optitex benchmark\nUNITS: METRIC\nGRADE RULE TABLE: BENCH\n";
  Append(rul, "NUMBER OF SIZES: ", std::to_string(sizes), "\nSIZE LIST:");
  for (int s = 0; s < sizes; ++s) Append(rul, " ", SizeName(s));
  Append(rul, "\nSAMPLE SIZE: ", sample, "\n");
  for (int r = 1; r <= rules_used; ++r) {
    // Per size step: up to 2.5 mm across and 1.5 mm along, by rule.
    const double step_x = 0.5 * (r % 11 - 5);
    const double step_y = 0.5 * (r % 7 - 3);
    Append(rul, "RULE: DELTA ", std::to_string(r), "\n");
    for (int s = 0; s < sizes; ++s) {
      const int steps = s - sample_index;
      Append(rul, "  ", Coordinate(step_x * steps), ", ", Coordinate(step_y * steps));
      if (s % 4 == 3 || s == sizes - 1) rul += "\n";
    }
  }
  rul += "END\n";
  return style;
}

AamaStyleShape AamaShapeForBytes(size_t dxf_bytes, AamaStyleShape base) {
  base.pieces = 1;
  const size_t one = GenerateAamaStyle(base).dxf.size();
  base.pieces = 2;
  const size_t two = GenerateAamaStyle(base).dxf.size();
  const size_t per_piece = std::max<size_t>(1, two - one);
  const size_t fixed = one > per_piece ? one - per_piece : 0;
  base.pieces = dxf_bytes > fixed ? static_cast<int>((dxf_bytes - fixed + per_piece / 2) / per_piece) : 1;
  base.pieces = std::max(1, base.pieces);
  return base;
}

bool WriteAamaStyle(const AamaStyleText& style, const std::string& dxf_path) {
  const std::string rul_path = std::filesystem::path(dxf_path).replace_extension(".rul").string();
  for (const auto& [path, text] : {std::pair{dxf_path, &style.dxf}, std::pair{rul_path, &style.rul}}) {
    if (text->empty() && text == &style.rul) continue;  // no rule table
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text->data(), static_cast<std::streamsize>(text->size()));
    out.close();
    if (!out) return false;
  }
  return true;
}
