// The conversion of a Gerber piece once it is read: the per-size step that
// closes the outline and fills the notch, mark and line arrays, and the
// building of the outline array and the per-size grade offsets of every
// piece of a model.
#include <algorithm>
#include <cstring>
#include <string>

#include "imports/gerber_model.h"
#include "platform/numbers.h"

namespace {

constexpr size_t kSizeEntryBytes = 10;

// Rule objects a piece may hold, counted in offset pairs (rules × sizes). A
// garment has some dozens of sizes and at most a few thousand rules; a table
// that claims tens of thousands of both would otherwise ask for gigabytes.
constexpr size_t kMaxOffsetPairsPerPiece = size_t{1} << 22;

// A size table as a piece record and a rule table both store it: entries of
// 10 bytes, each a text with named sizes, else a 16-bit size number.
struct SizeTableView {
  const std::vector<uint8_t>& bytes;
  int count;  // the entries the record announces and holds
  bool named;

  SizeTableView(const std::vector<uint8_t>& table, int sizeCount, uint8_t namedSizes)
      : bytes(table),
        count(std::min(sizeCount, static_cast<int>(table.size() / kSizeEntryBytes))),
        named(namedSizes != 0) {}

  CString Name(int index) const {
    const uint8_t* entry = bytes.data() + static_cast<size_t>(index) * kSizeEntryBytes;
    if (named) return GgtFieldText(entry, kSizeEntryBytes);
    return CString(std::to_string(static_cast<unsigned>(entry[0] | (entry[1] << 8))));
  }

  // The first entry named `baseName`; -1 when none is.
  int IndexOf(const CString& baseName) const {
    for (int i = 0; i < count; ++i) {
      if (Name(i) == baseName) return i;
    }
    return -1;
  }
};

// Turns the stored steps of `rule` into each size's offset from the base
// size. `pairFor(k)` is the stored step the k-th size other than the base
// takes. The stored steps run from one size to the next: below the base they
// are undone from the base downwards, above it they add up.
template <typename PairFor>
CGgtRuleOffsets MakeOffsets(const CGgtGradeRule& rule, int sizes, int base, PairFor pairFor) {
  struct Wide {
    int64_t dx = 0;
    int64_t dy = 0;
  };
  std::vector<Wide> p(static_cast<size_t>(sizes));
  size_t k = 0;
  for (int i = 0; i < sizes; ++i) {
    if (i == base) continue;
    CGgtDelta step = pairFor(k++);
    p[static_cast<size_t>(i)] = {step.dx, step.dy};
  }
  for (int i = base - 1; i >= 0; --i) {
    const size_t at = static_cast<size_t>(i);
    p[at] = {p[at + 1].dx - p[at].dx, p[at + 1].dy - p[at].dy};
  }
  for (int i = base + 1; i < sizes; ++i) {
    const size_t at = static_cast<size_t>(i);
    p[at] = {p[at].dx + p[at - 1].dx, p[at].dy + p[at - 1].dy};
  }
  // Hostile steps can sum past 32 bits; the sums are exact in 64 bits and
  // are held at the ends of the 32-bit range.
  CGgtRuleOffsets offsets;
  offsets.ruleNumber = rule.number;
  offsets.offsets.reserve(p.size());
  for (const Wide& w : p) offsets.offsets.push_back({SaturateToInt32(w.dx), SaturateToInt32(w.dy)});
  return offsets;
}

// Whether `rules` fit into what is left of the piece's budget of offset
// pairs; takes them from the budget when they do.
bool TakeBudget(size_t rules, int sizes, size_t& budget) {
  if (rules == 0 || sizes <= 0) return true;
  if (rules > budget / static_cast<size_t>(sizes)) return false;
  budget -= rules * static_cast<size_t>(sizes);
  return true;
}

// The entry of an internal line's point, with the line's ends made corners.
std::vector<CGgtOutlineEntry> LineArray(const std::vector<CGgtOutlinePoint>& chain) {
  std::vector<CGgtOutlineEntry> entries;
  entries.reserve(chain.size());
  for (const CGgtOutlinePoint& point : chain) entries.push_back(CModel::LineEntry(point));
  if (!entries.empty()) {
    entries.front().cornerKind = 2;
    entries.back().cornerKind = 2;
  }
  return entries;
}

// An entry of the notch, mark and line-point arrays: no corner, no mark.
CGgtOutlineEntry PointEntry(const CGgtOutlinePoint& point) {
  return CGgtOutlineEntry{point.x, point.y, 0, CModel::RuleNumberOf(point), 0};
}

}  // namespace

CGgtImportContext::CGgtImportContext() : writeSteps(kImportOptions[6]) {}

void CModel::ConvertReadPiece(CGgtImportContext& context, CPiece& piece) {
  if (!piece.body) return;
  const CGgtPieceBody& body = *piece.body;
  if (context.pieceCounter == 1) {
    context.sizeIndex = body.sizeIndex;
    context.namedSizes = body.namedSizes;
    std::memcpy(context.baseSize, body.baseSize, sizeof context.baseSize);
  }
  const CString sizeText = GgtFieldText(context.baseSize, sizeof context.baseSize);
  const int copies = piece.CopyCount();
  const int runs = context.Option(17) != 0 ? body.sizeCount : 1;
  for (int run = 0; run < runs; ++run) {
    if (run >= 2) {
      // A third and later run would see just what the second saw: the
      // outline is closed already and every array the step adds to keeps
      // its entries unique. The second run's box is taken over, so a piece
      // of many sizes and many points does not cost sizes × points.
      context.outlineList.entries.push_back(context.outlineList.entries.back());
      continue;
    }
    ConvertForSize(context, piece, sizeText, copies, run == 0);
  }
  if (context.Option(1) == 0) {
    context.xPosition = SaturateToInt32(int64_t{context.xPosition} + (int64_t{context.maxX} - context.minX) + 10000);
  } else {
    context.xPosition = 0;
  }
}

void CModel::ConvertForSize(CGgtImportContext& context, CPiece& piece, const CString& /*sizeText*/, int /*copyCount*/,
                            bool fillLineGroups) {
  ConvertPiece(context, piece, fillLineGroups);
  context.outlineList.entries.push_back(
      CGgtOutlineListEntry{context.minX, context.minY, context.maxX, context.maxY, CString()});
}

void CModel::ConvertPiece(CGgtImportContext& context, CPiece& piece, bool fillLineGroups) {
  if (!piece.body) return;
  CGgtPieceBody& body = *piece.body;
  GetOutlineBounds(context, body);
  if (context.Option(8) != 0) CloseOutline(context, body.outline);
  if (!body.outline.empty()) {
    // The closing point of a closed outline is its first point again and
    // adds no notch of its own.
    const CGgtOutlinePoint& first = body.outline.front();
    const CGgtOutlinePoint& last = body.outline.back();
    const size_t stop = (last.x == first.x && last.y == first.y) ? body.outline.size() - 1 : kNoStop;
    CollectNotchPoints(context, piece, body.outline, 0, stop);
  }
  ConvertInternalLines(context, piece, fillLineGroups);
}

void CModel::GetOutlineBounds(CGgtImportContext& context, const CGgtPieceBody& body) {
  if (body.outline.empty()) return;
  context.minX = context.maxX = body.outline.front().x;
  context.minY = context.maxY = body.outline.front().y;
  for (const CGgtOutlinePoint& point : body.outline) {
    context.minX = std::min(context.minX, point.x);
    context.maxX = std::max(context.maxX, point.x);
    context.minY = std::min(context.minY, point.y);
    context.maxY = std::max(context.maxY, point.y);
  }
}

void CModel::CloseOutline(const CGgtImportContext& context, std::vector<CGgtOutlinePoint>& outline) {
  if (outline.empty()) return;
  const int64_t tolerance = context.Option(15);
  const CGgtOutlinePoint& first = outline.front();
  CGgtOutlinePoint& last = outline.back();
  auto apart = [](int32_t a, int32_t b) {
    int64_t d = int64_t{a} - b;
    return d < 0 ? -d : d;
  };
  if (apart(last.x, first.x) <= tolerance && apart(last.y, first.y) <= tolerance) {
    last.x = first.x;
    last.y = first.y;
  }
}

void CModel::CollectNotchPoints(const CGgtImportContext& context, CPiece& piece,
                                const std::vector<CGgtOutlinePoint>& chain, size_t start, size_t stop) {
  if (context.Option(2) == 1) return;
  const size_t end = std::min(stop, chain.size());
  for (size_t i = start; i < end; ++i) {
    if (chain[i].flags != 0) AddNotchPoint(piece, chain[i]);
  }
}

void CModel::AddNotchPoint(CPiece& piece, const CGgtOutlinePoint& point) {
  if (point.flags == 0) return;
  AddUniqueEntry(piece.notchPoints, piece.notchKeys, PointEntry(point));
}

int CModel::AddUniqueEntry(std::vector<CGgtOutlineEntry>& entries, const CGgtOutlineEntry& entry) {
  for (const CGgtOutlineEntry& other : entries) {
    if (other.x == entry.x && other.y == entry.y) return 0;
  }
  entries.push_back(entry);
  return 1;
}

int CModel::AddUniqueEntry(std::vector<CGgtOutlineEntry>& entries, CGgtPointKeys& keys,
                           const CGgtOutlineEntry& entry) {
  // Entries added without the keys (by hand) are taken in first.
  if (keys.size() != entries.size()) {
    keys.clear();
    for (const CGgtOutlineEntry& other : entries) keys.insert(PointKey(other.x, other.y));
    if (keys.size() != entries.size()) return AddUniqueEntry(entries, entry);
  }
  if (!keys.insert(PointKey(entry.x, entry.y)).second) return 0;
  entries.push_back(entry);
  return 1;
}

int CModel::IsOnOutline(const CGgtPieceBody& body, const CGgtOutlinePoint& point) {
  for (const CGgtOutlinePoint& other : body.outline) {
    if (other.x == point.x && other.y == point.y) return 1;
  }
  return 0;
}

void CModel::ConvertInternalLines(const CGgtImportContext& context, CPiece& piece, bool fillLineGroups) {
  if (!piece.body) return;
  const CGgtPieceBody& body = *piece.body;
  // Where the outline's points lie, looked up once for every line point.
  CGgtPointKeys outlineKeys;
  for (const CGgtOutlinePoint& point : body.outline) outlineKeys.insert(PointKey(point.x, point.y));
  bool straightLineTaken = false;
  for (const CGgtInternalLine& line : body.lines) {
    const std::vector<CGgtOutlinePoint>& chain = line.points;
    // The chain holds exactly the points the line head counts.
    const size_t n = chain.size();
    const char type = line.type;
    bool addsNotches = true;
    if ((type >= '0' && type <= '9') || type == 'A' || type == 'J' || type == 'K') {
      // Lines of these types give no entries.
    } else if (type == 'B' || type == 'H') {
      if (fillLineGroups) WriteLine(piece, chain, 0);
    } else if (type == 'D') {
      for (const CGgtOutlinePoint& point : chain) AddUniqueEntry(piece.markPoints, piece.markKeys, PointEntry(point));
    } else if (type == 'G') {
      // Every two-point line gives its two ends.
      for (size_t i = 0; i < n && i < 2; ++i) AddUniqueEntry(piece.twoPointLinePoints, piece.twoPointLineKeys, PointEntry(chain[i]));
    } else if (type == 'M') {
      // A piece has one straight line (the grain line): the first one counts.
      addsNotches = false;
      if (!straightLineTaken) {
        for (size_t i = 0; i < n && i < 2; ++i) AddUniqueEntry(piece.straightLinePoints, piece.straightLineKeys, PointEntry(chain[i]));
      }
      straightLineTaken = true;
    } else if (type == 'S') {
      if (context.Option(3) == 0) {
        addsNotches = false;
      } else if (fillLineGroups) {
        if (n != 1 && n != 2) WriteLine(piece, chain, 0);
        if (n != 0) piece.secondLineGroup.push_back(LineArray(chain));
      }
    } else if (fillLineGroups) {
      if (n != 1 && n != 2) WriteLine(piece, chain, 0);
      if (n != 0) piece.firstLineGroup.push_back(LineArray(chain));
    }
    if (!addsNotches) continue;
    for (const CGgtOutlinePoint& point : chain) {
      if (point.flags != 0 && outlineKeys.count(PointKey(point.x, point.y)) == 0) AddNotchPoint(piece, point);
    }
  }
}

void CModel::WriteLine(CPiece& piece, const std::vector<CGgtOutlinePoint>& chain, size_t first) {
  std::vector<CGgtOutlineEntry>& entries = piece.firstLineGroup.emplace_back();
  for (size_t i = first; i < chain.size(); ++i) entries.push_back(LineEntry(chain[i]));
}

CGgtOutlineEntry CModel::LineEntry(const CGgtOutlinePoint& point) {
  return CGgtOutlineEntry{point.x, point.y, CornerKind(point), RuleNumberOf(point), 0};
}

int CModel::CornerKind(const CGgtOutlinePoint& point) {
  for (uint8_t code : point.attributes) {
    if (code == 9) return 2;
    if (code == 10) return 3;
  }
  return std::find(point.attributes.begin(), point.attributes.end(), 1) != point.attributes.end() ? 2 : 0;
}

int CModel::RuleNumberOf(const CGgtOutlinePoint& point) {
  if (point.noRuleSwitch != 0 || !point.hasRuleReference) return -1;
  return point.ruleNumber;
}

int CModel::MarkKind(const CGgtOutlinePoint& point) {
  for (uint8_t code : point.attributes) {
    if (code == 2 || code == 4 || code == 5 || code == 6) return code;
  }
  return 0;
}

void CModel::RenumberRule(CGgtPieceBody& body, int oldNumber, int newNumber) {
  auto renumber = [&](CGgtOutlinePoint& point) {
    if (point.noRuleSwitch == 0 && point.hasRuleReference && point.ruleNumber == oldNumber) {
      point.ruleNumber = static_cast<uint16_t>(newNumber);
    }
  };
  for (CGgtOutlinePoint& point : body.outline) renumber(point);
  for (CGgtInternalLine& line : body.lines) {
    for (CGgtOutlinePoint& point : line.points) renumber(point);
  }
}

int CModel::FindFreeRuleNumber(const CGgtPieceBody& body) {
  constexpr int kHighest = 9998;
  std::vector<bool> used(kHighest + 1, false);
  for (const CGgtGradeRule& rule : body.rules) {
    if (rule.number <= kHighest) used[rule.number] = true;
  }
  for (int number = 1; number <= kHighest; ++number) {
    if (!used[static_cast<size_t>(number)]) return number;
  }
  return -1;
}

CString CModel::BaseSizeName(const CGgtPieceBody& body) {
  if (body.namedSizes != 0) return GgtFieldText(body.baseSize, sizeof body.baseSize);
  const uint32_t bits = static_cast<uint32_t>(body.baseSize[0]) | (static_cast<uint32_t>(body.baseSize[1]) << 8) |
                        (static_cast<uint32_t>(body.baseSize[2]) << 16) |
                        (static_cast<uint32_t>(body.baseSize[3]) << 24);
  return CString(std::to_string(static_cast<int32_t>(bits)));
}

void CModel::BuildPieces(CGgtImportContext& /*context*/) {
  for (auto& piece : pieces) BuildPiece(*piece);
}

void CModel::BuildPiece(CPiece& piece) {
  if (!piece.body) return;
  const CGgtPieceBody& body = *piece.body;

  piece.outline.clear();
  piece.outline.reserve(body.outline.size());
  for (const CGgtOutlinePoint& point : body.outline) {
    piece.outline.push_back(
        CGgtOutlineEntry{point.x, point.y, CornerKind(point), RuleNumberOf(point), MarkKind(point)});
  }
  if (!piece.outline.empty()) {
    piece.outline.front().cornerKind = 2;
    piece.outline.back().cornerKind = 2;
  }

  piece.gradeRules.clear();
  const CString baseName = BaseSizeName(body);
  size_t budget = kMaxOffsetPairsPerPiece;

  // The table's rules, in number order: each stored step goes to the next
  // size other than the base; sizes beyond the stored steps do not change.
  if (piece.ruleTable) {
    const CGgtRuleTable& table = *piece.ruleTable;
    const SizeTableView sizes(table.sizeTable, table.sizeCount, table.namedSizes);
    const int base = sizes.IndexOf(baseName);
    if (base >= 0 && TakeBudget(table.rules.size(), sizes.count, budget)) {
      for (const CGgtGradeRule& rule : table.rules) {
        piece.gradeRules.push_back(MakeOffsets(
            rule, sizes.count, base, [&](size_t k) { return k < rule.deltas.size() ? rule.deltas[k] : CGgtDelta{}; }));
      }
    }
  }

  // The piece's own rules, in file order: their stored steps repeat over the
  // sizes other than the base.
  const SizeTableView sizes(body.sizeTable, body.sizeCount, body.namedSizes);
  const int base = sizes.IndexOf(baseName);
  if (base >= 0 && TakeBudget(body.rules.size(), sizes.count, budget)) {
    for (const CGgtGradeRule& rule : body.rules) {
      piece.gradeRules.push_back(MakeOffsets(rule, sizes.count, base, [&](size_t k) {
        return rule.deltas.empty() ? CGgtDelta{} : rule.deltas[k % rule.deltas.size()];
      }));
    }
  }
}
