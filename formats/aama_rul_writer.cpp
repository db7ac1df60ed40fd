#include "formats/aama_rul_writer.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

#include "formats/dxf_output.h"
#include "formats/fixed_decimal.h"
#include "model/geometry.h"
#include "model/lookup.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/numbers.h"

namespace {

// A text as one line of the table: line breaks in a name would start a
// line of their own.
CString OneLine(CString text) {
  text.Remove('\r');
  text.Remove('\n');
  return text;
}

void AddLine(DxfOutput& out, std::string_view text) { out.Line(text); }

// One delta in the file's unit with two decimals. The length goes through
// its length text first (millimetres or inch decimals, two places), which is
// read back and formatted "%4.2f", as the tables were always written; the
// file's own unit is used whatever unit the screen shows, since the table's
// "UNITS" line names that unit.
//
// That round trip is the value's "%.2f" text with its sign, which is what is
// formatted here directly: the length text is the value rounded to two
// places (printf's rounding), its trailing zeros dropped ("-0.00" becomes
// "-0"); reading it back gives the double nearest that two-place number, or
// -0.0, whose "%.2f" is the same two places again, at least four characters
// wide already. A scale of 0 gives an empty length text, read as 0.
std::string_view DeltaText(int32_t delta, bool english, char* buffer) {
  const int scale = g_Style.GetScale();
  if (scale == 0) return "0.00";
  // The quotients as FormatInchText and FormatMmText form them.
  const double value = english ? static_cast<double>(delta) / scale / 25.4 : static_cast<double>(delta) / scale;
  return std::string_view(buffer, FormatFixedDecimal(value, 2, buffer));
}

// The pairs of one rule, `pair(m, dx, dy)` giving the texts of size m of the
// sorted sizes (written into the two buffers, or pointing elsewhere); before
// the 5th, 9th ... pair the line breaks and is indented.
template <typename PairOf>
void AddPairs(DxfOutput& out, PairOf pair) {
  const int sizes = static_cast<int>(g_Style.SizeArray.size());
  char dxBuffer[kFixedDecimalBufferSize];
  char dyBuffer[kFixedDecimalBufferSize];
  for (int m = 0; m < sizes; ++m) {
    if (m > 0 && m % kAamaRulePairsPerLine == 0) out.Append("\r\n   ");
    const auto [dx, dy] = pair(m, dxBuffer, dyBuffer);
    out.Append("   ");
    out.Append(dx);
    out.Append(",   ");
    out.Append(dy);
  }
  out.Append("\r\n");
}

bool IsCandidate(AamaRuleItemClass itemClass, int kind, bool gradePoints) {
  switch (itemClass) {
    case AamaRuleItemClass::kCurve:
      return IsKeyVertexKind(kind) || (gradePoints && IsCurveVertexKind(kind));
    case AamaRuleItemClass::kPoints: return IsMainVertexKind(kind);
    // A notch vertex of either key kind carries a number and a label in the
    // DXF file, so its rule must be here too.
    case AamaRuleItemClass::kNotches: return IsKeyVertexKind(kind);
    case AamaRuleItemClass::kNone: return false;
  }
  return false;
}

}  // namespace

AamaRuleItemClass AamaRuleClassOf(int type) { return TraitsOf(type).aamaRule; }

CVertexNode* AamaSizeNode(CVertexNode* main, int sizeIndex) {
  if (!main || sizeIndex <= 0) return main;
  CVertexNode* node = main;
  for (int i = 0; i < sizeIndex; ++i) {
    node = node->Next;
    if (!node || node == main || node->Kind() != kVertexKindCopy) return main;
  }
  return node;
}

CString AamaRuleTableName(const CString& dxfPath) {
  CString name = SplitPath(dxfPath).name;
  name.Trim();
  for (int i = 0; i < name.GetLength(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(name[i]);
    const bool plain = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
    if (!plain) name.SetAt(i, static_cast<char>('A' + byte % 26));
  }
  return name;
}

CString AamaRuleFilePath(const CString& dxfPath) {
  const PathParts parts = SplitPath(dxfPath);
  return parts.folder + parts.name + ".rul";
}

std::string BuildAamaRuleText(const AamaRuleSource& source) {
  DxfOutput out;
  WriteAamaRuleText(source, out);
  return out.Text();
}

void WriteAamaRuleText(const AamaRuleSource& source, DxfOutput& out) {
  AddLine(out, "ANSI/AAMA VERSION: 1.0.0");
  AddLine(out, "AUTHOR: ZORVEK TECHNOLOGY");
  AddLine(out, "PRODUCT: ZV-KOV");
  AddLine(out, "VERSION: V5.0");
  AddLine(out, ("CREATION DATE: " + FormatUtcTime(source.when, "%m-%d-%Y")).view());
  AddLine(out, ("CREATION TIME: " + FormatUtcTime(source.when, "%H:%M:%S")).view());
  AddLine(out, source.english ? "UNITS: ENGLISH" : "UNITS: METRIC");
  AddLine(out, ("GRADE RULE TABLE: " + OneLine(source.tableName)).view());
  AddLine(out, FormatNumberText("%s%d", "NUMBER OF SIZES: ", g_Style.SizeCount));
  CString sizeList = "SIZE LIST: ";
  for (const CSizeRecord* size : g_Style.SizeArray) sizeList += " " + (size ? OneLine(size->Name) : CString());
  AddLine(out, sizeList.view());
  AddLine(out, ("SAMPLE SIZE: " + (g_Style.SizeRing ? OneLine(g_Style.SizeRing->Name) : CString())).view());

  // The size-ring position of each size in sorted order: its copy's place
  // after a main vertex.
  std::vector<int> ringIndex;
  for (const CSizeRecord* size : g_Style.SizeArray) ringIndex.push_back(g_Style.IndexOfSize(size));

  const std::string_view zero = "0.00";
  out.Append("RULE: DELTA 1\r\n   ");
  AddPairs(out, [&](int, char*, char*) { return std::pair(zero, zero); });

  CPieceRecord* piece = source.ring;
  for (int p = 0; p < source.count && piece; ++p, piece = piece->Next) {
    for (CPieceItem* item : ItemsOf(piece)) {
      const AamaRuleItemClass itemClass = AamaRuleClassOf(item->Type);
      for (CVertexNode* vertex : NodesOf(item)) {
        if (!IsCandidate(itemClass, vertex->Kind(), source.gradePoints)) continue;
        const float number = std::bit_cast<float>(vertex->Value);
        if (std::fabs(number) >= 1.0f) {
          char rule[32] = "RULE: DELTA ";
          const auto end = std::to_chars(rule + 12, rule + sizeof rule, TruncateTowardZero(number)).ptr;
          AddLine(out, std::string_view(rule, static_cast<size_t>(end - rule)));
          AddPairs(out, [&](int m, char* dxBuffer, char* dyBuffer) {
            if (ringIndex[m] <= 0) return std::pair(zero, zero);
            const CVertexNode* node = AamaSizeNode(vertex, ringIndex[m]);
            // y is turned: the DXF file's pieces have y pointing up.
            return std::pair(DeltaText(WrapSub(node->X, vertex->X), source.english, dxBuffer),
                             DeltaText(WrapSub(vertex->Y, node->Y), source.english, dyBuffer));
          });
        }
        vertex->Value = 0;
      }
    }
  }
  AddLine(out, "END");
}
