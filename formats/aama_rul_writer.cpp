#include "formats/aama_rul_writer.h"

#include <bit>
#include <cmath>
#include <vector>

#include "model/geometry.h"
#include "model/length_text.h"
#include "model/lookup.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/numbers.h"

namespace {

// Unit modes of the length texts the deltas go through.
constexpr int kInchDecimalMode = 1;
constexpr int kMillimetreMode = 3;
// Two decimals, as the "%4.2f" of the pairs keeps.
constexpr int kHundredths = 100;

// A text as one line of the table: line breaks in a name would start a
// line of their own.
CString OneLine(CString text) {
  text.Remove('\r');
  text.Remove('\n');
  return text;
}

void AddLine(std::string& out, std::string_view text) {
  out += text;
  out += "\r\n";
}

// One delta in the file's unit with two decimals. The length goes through
// its length text first (millimetres or inch decimals, two places, rounded
// half away from zero) and is then formatted "%4.2f", as the tables were
// always written; the file's own unit is used whatever unit the screen
// shows, since the table's "UNITS" line names that unit.
std::string DeltaText(int32_t delta, bool english) {
  const CString text = FormatLength(delta, g_Style.GetScale(), english ? kInchDecimalMode : kMillimetreMode, kHundredths);
  return FormatNumberText("%4.2f", ParseDouble(text.view()));
}

// The pairs of one rule, `pair(m)` giving the texts of size m of the sorted
// sizes; before the 5th, 9th ... pair the line breaks and is indented.
template <typename PairOf>
void AddPairs(std::string& out, PairOf pair) {
  const int sizes = static_cast<int>(g_Style.SizeArray.size());
  for (int m = 0; m < sizes; ++m) {
    if (m > 0 && m % kAamaRulePairsPerLine == 0) out += "\r\n   ";
    const auto [dx, dy] = pair(m);
    out += "   " + dx + ",";
    out += "   " + dy;
  }
  out += "\r\n";
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
  std::string out;
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

  const std::string zero = "0.00";
  out += "RULE: DELTA 1\r\n   ";
  AddPairs(out, [&](int) { return std::pair(zero, zero); });

  CPieceRecord* piece = source.ring;
  for (int p = 0; p < source.count && piece; ++p, piece = piece->Next) {
    for (CPieceItem* item : ItemsOf(piece)) {
      const AamaRuleItemClass itemClass = AamaRuleClassOf(item->Type);
      for (CVertexNode* vertex : NodesOf(item)) {
        if (!IsCandidate(itemClass, vertex->Kind(), source.gradePoints)) continue;
        const float number = std::bit_cast<float>(vertex->Value);
        if (std::fabs(number) >= 1.0f) {
          AddLine(out, FormatNumberText("RULE: DELTA %d", TruncateTowardZero(number)));
          AddPairs(out, [&](int m) {
            if (ringIndex[m] <= 0) return std::pair(zero, zero);
            const CVertexNode* node = AamaSizeNode(vertex, ringIndex[m]);
            // y is turned: the DXF file's pieces have y pointing up.
            return std::pair(DeltaText(WrapSub(node->X, vertex->X), source.english),
                             DeltaText(WrapSub(vertex->Y, node->Y), source.english));
          });
        }
        vertex->Value = 0;
      }
    }
  }
  AddLine(out, "END");
  return out;
}
