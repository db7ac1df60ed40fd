#include "formats/aama_rules.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <map>
#include <string>

#include "formats/aama_open_dlg.h"
#include "formats/aama_piece.h"
#include "formats/dxf_pairs.h"
#include "model/grading.h"
#include "model/item_types.h"
#include "model/item_factory.h"
#include "model/items/text_item.h"
#include "model/items/curve_item.h"
#include "model/lookup.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "platform/file_system.h"
#include "platform/numbers.h"
#include "platform/parallel.h"

namespace {

constexpr uint32_t kRuleNumberMask = 0xFFFF;

bool IsCopy(const CVertexNode* n) { return n->Kind() == kVertexKindCopy; }
bool IsRadiusNode(const CVertexNode* n) { return n->Kind() == kVertexKindSkipRun; }

// The pieces this read added, in ring order.
std::vector<CPieceRecord*> NewPieces(int priorCount) {
  std::vector<CPieceRecord*> pieces;
  CPieceRecord* p = g_Style.PieceRing;
  for (int i = 0; i < g_Style.PieceCount && p; ++i, p = p->Next) {
    if (i >= priorCount) pieces.push_back(p);
  }
  return pieces;
}

// The first item of `type` in `piece` (k-th: the earlier ones have been
// removed already), or null.
CPieceItem* FirstItemOfType(const CPieceRecord* piece, int32_t type) {
  CPieceItem* found = nullptr;
  return piece->FindItem(type, &found) ? found : nullptr;
}

// The stops of a size walk through a ring: main vertices, and circle radius
// nodes when `withRadius`.
std::vector<CVertexNode*> WalkStops(const CPieceItem* item, bool withRadius) {
  std::vector<CVertexNode*> stops;
  for (CVertexNode* n : NodesOf(item)) {
    if (n->IsMain() || (withRadius && IsRadiusNode(n))) stops.push_back(n);
  }
  return stops;
}

// Gives each stop of `base` one more copy, at the place of the matching stop
// of `other` (followed round again when it is shorter).
void AppendSizeFrom(CPieceItem* base, const CPieceItem* other, bool withRadius) {
  const std::vector<CVertexNode*> own = WalkStops(base, withRadius);
  const std::vector<CVertexNode*> theirs = WalkStops(other, withRadius);
  if (own.empty() || theirs.empty()) return;
  for (size_t i = 0; i < own.size(); ++i) {
    CVertexNode* last = own[i];
    for (int guard = 0; guard < base->VertexCount && IsCopy(last->Next) && last->Next != base->VertexHead; ++guard) {
      last = last->Next;
    }
    const CVertexNode* source = theirs[i % theirs.size()];
    base->InsertVertexAfter(last, source->X, source->Y, kVertexKindCopy);
  }
}

bool HasSameText(const CPieceRecord* piece, const CPieceItem11* text) {
  for (CPieceItem* item : ItemsOf(piece)) {
    if (item->Type != kItemTypeText) continue;
    const auto* own = static_cast<const CPieceItem11*>(item);
    if (own->AnchorX == text->AnchorX && own->AnchorY == text->AnchorY && own->Text == text->Text) return true;
  }
  return false;
}

// Makes every main vertex of the item be followed by exactly `copies` copies:
// surplus copies go from the end of the run, missing ones repeat the last
// copy (or the vertex itself).
// Only copies are removed, so the main vertices are gathered first: a snapshot
// of every node would still hold the copies freed on the way.
void EvenCopies(CPieceItem* item, int copies) {
  std::vector<CVertexNode*> mains;
  for (CVertexNode* n : NodesOf(item)) {
    if (n->IsMain()) mains.push_back(n);
  }
  for (CVertexNode* main : mains) {
    CVertexNode* last = main;
    int have = 0;
    while (have < item->VertexCount && IsCopy(last->Next) && last->Next != item->VertexHead) {
      last = last->Next;
      ++have;
    }
    for (; have > copies; --have) {
      CVertexNode* prev = last->Prev;
      item->RemoveVertex(last);
      last = prev;
    }
    for (; have < copies; ++have) last = item->InsertVertexAfter(last, last->X, last->Y, kVertexKindCopy);
  }
}

// Text after the first colon, trimmed; the whole text trimmed when there is
// no colon.
CString ValueAfterColon(const CString& line) {
  const int colon = line.Find(':');
  CString value = colon < 0 ? line : line.Mid(colon + 1);
  value.Trim();
  return value;
}

bool StartsWithNoCase(const CString& line, std::string_view word) {
  return line.GetLength() >= static_cast<int>(word.size()) &&
         CompareNoCase(line.view().substr(0, word.size()), word) == 0;
}

// A line that holds rule values rather than a keyword: its first non-blank
// character is no letter.
bool IsValueLine(const CString& line) {
  for (char c : line.view()) {
    if (c == ' ' || c == '\t') continue;
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return !letter;
  }
  return true;  // a blank line belongs to the values
}

// The number pairs "dx,dy" of a rule's value text, as floats the way the
// files were written with them. Pairs are separated by blanks or line ends,
// the two values of a pair by a comma; a value that does not read is 0.
// `lastWhole` tells whether the last pair taken had its comma and second value.
std::vector<std::pair<float, float>> ParsePairs(std::string_view text, size_t wanted, bool& lastWhole) {
  std::vector<std::string_view> tokens;  // values and "," separators
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
    } else if (c == ',') {
      tokens.push_back(text.substr(i, 1));
      ++i;
    } else {
      const size_t start = i;
      while (i < text.size() && text[i] != ',' && text[i] != ' ' && text[i] != '\t' && text[i] != '\r' &&
             text[i] != '\n') {
        ++i;
      }
      tokens.push_back(text.substr(start, i - start));
    }
  }
  std::vector<std::pair<float, float>> pairs;
  size_t t = 0;
  auto value = [](std::string_view token) { return static_cast<float>(ParseDouble(token)); };
  lastWhole = true;
  while (t < tokens.size() && pairs.size() < wanted) {
    float dx = 0.0f;
    float dy = 0.0f;
    lastWhole = false;
    if (tokens[t] != ",") dx = value(tokens[t++]);
    if (t < tokens.size() && tokens[t] == ",") {
      ++t;
      if (t < tokens.size() && tokens[t] != ",") {
        dy = value(tokens[t++]);
        lastWhole = true;
      }
    }
    pairs.emplace_back(dx, dy);
  }
  return pairs;
}

// The names of a size list: each is the text before the first blank (the
// whole rest when there is none); the rest after that blank, trimmed, goes on.
std::vector<CString> SplitSizeList(const CString& list) {
  std::vector<CString> names;
  CString rest = list;
  while (!rest.IsEmpty()) {
    const int blank = rest.Find(' ');
    if (blank < 0) {
      names.push_back(rest);
      break;
    }
    names.push_back(rest.Left(blank));
    rest = rest.Mid(blank + 1);
    rest.Trim();
  }
  return names;
}

int32_t ScaledDelta(float value, double scale, int authorCode) {
  if (authorCode != kAamaAuthorLectra && std::fabs(value) > 1000.0f) return 0;
  return TruncateTowardZero(static_cast<double>(value) * scale);
}

// Gives every graded vertex of the piece its copies for the other sizes by
// the rule table, and smooths its curves again.
void GradePieceVertices(CPieceRecord* piece, const CAamaRuleTable& table, int authorCode,
                        const std::vector<int>& positions, int copies) {
  double sine = 0.0;
  double cosine = 1.0;
  if (authorCode != kAamaAuthorZorvek) {
    for (CPieceItem* item : ItemsOf(piece)) {
      if (item->Type != kItemTypeOpenLine || item->Tag != static_cast<int32_t>(kAamaGradeReferenceAttribute)) {
        continue;
      }
      item->Tag = 0;
      CVertexNode* a = item->NextMainVertex(item->PrevMainVertex(item->VertexHead));
      CVertexNode* b = item->NextMainVertex(a);
      if (a && b) {
        const double angle = std::atan2(static_cast<double>(b->Y) - a->Y, static_cast<double>(b->X) - a->X);
        sine = std::sin(angle);
        cosine = std::cos(angle);
      }
      break;
    }
  }
  for (CPieceItem* item : ItemsOf(piece)) {
    switch (item->Type) {
      case kItemTypeOutline:
      case kItemTypeGrainLine:
      case kItemTypeFilledMarkers:
      case kItemTypeClosedLine:
      case kItemTypeOpenLine:
      case kItemTypeCircles:
      case kItemTypeNotches:
        break;
      default:
        continue;
    }
    for (CVertexNode* node : NodesOf(item)) {
      if (node->IsMain()) {
        const int rule = static_cast<int>(node->Attributes & kRuleNumberMask);
        CVertexNode* last = node;
        for (int k = 0; k < copies; ++k) {
          int32_t dx = 0;
          int32_t dy = 0;
          table.GetDelta(rule, positions[static_cast<size_t>(k)], dx, dy);
          const int32_t rdx = TruncateTowardZero(dx * cosine - dy * sine);
          const int32_t rdy = TruncateTowardZero(dx * sine + dy * cosine);
          last = item->InsertVertexAfter(last, WrapAdd(node->X, rdx), WrapAdd(node->Y, rdy), kVertexKindCopy);
        }
      } else if (IsRadiusNode(node)) {
        CVertexNode* last = node;
        for (int k = 0; k < copies; ++k) last = item->InsertVertexAfter(last, node->X, node->Y, kVertexKindCopy);
      }
      node->Attributes &= ~kRuleNumberMask;
    }
    if (item->Type == kItemTypeOutline || item->Type == kItemTypeClosedLine || item->Type == kItemTypeOpenLine) {
      GradePiece(item);
      if (auto* curve = dynamic_cast<CPieceCurveItem*>(item)) curve->SmoothCurves();
    }
  }
}

// The piece's box, and its notches placed again on its graded outline.
void PlaceGradedNotches(CPieceRecord* piece) {
  piece->Recalc(1);
  RefitAamaNotches(piece);
}

// Fits the curves smoothed and not yet read of the pieces, on every core.
void PrepareCurvesOf(const std::vector<CPieceRecord*>& pieces) {
  std::vector<const CPieceCurveItem*> curves;
  for (CPieceRecord* piece : pieces) {
    for (CPieceItem* item : ItemsOf(piece)) {
      const auto* curve = dynamic_cast<const CPieceCurveItem*>(item);
      if (curve && curve->HasPendingCurves()) curves.push_back(curve);
    }
  }
  ParallelFor(curves.size(), [&curves](size_t i) { curves[i]->PrepareCurves(); });
}

}  // namespace

COLORREF AamaSizeColor(int sizesHeld) {
  static constexpr COLORREF kColors[15] = {
      RGB(0, 255, 0),     RGB(255, 0, 0),   RGB(0, 0, 255),     RGB(0, 255, 255), RGB(128, 0, 128),
      RGB(255, 255, 0),   RGB(128, 128, 128), RGB(128, 128, 0), RGB(192, 192, 192), RGB(0, 128, 0),
      RGB(0, 0, 128),     RGB(255, 0, 255), RGB(0, 128, 128),   RGB(128, 0, 0),   RGB(0, 255, 0),
  };
  if (sizesHeld < 1 || sizesHeld > 15) return RGB(0, 0, 0);
  return kColors[sizesHeld - 1];
}

void MatchPieceElements(CPieceRecord* base, CPieceRecord* other) {
  if (!base || !other || base == other) return;
  static constexpr int32_t kShapeTypes[] = {kItemTypeOutline,    kItemTypeGrainLine, kItemTypeFilledMarkers,
                                            kItemTypeClosedLine, kItemTypeOpenLine,  kItemTypeCircles};
  for (CPieceItem* item : ItemsOf(base)) {
    bool shape = false;
    for (int32_t t : kShapeTypes) shape = shape || item->Type == t;
    if (!shape) continue;
    CPieceItem* partner = FirstItemOfType(other, item->Type);
    if (!partner) continue;
    AppendSizeFrom(item, partner, true);
    other->RemoveItem(partner);
  }
  CPieceItem* notches = FirstItemOfType(base, kItemTypeNotches);
  CPieceItem* theirNotches = FirstItemOfType(other, kItemTypeNotches);
  if (notches && theirNotches) {
    AppendSizeFrom(notches, theirNotches, false);
    other->RemoveItem(theirNotches);
  }
  for (CPieceItem* item : ItemsOf(other)) {
    if (item->Type != kItemTypeText) continue;
    if (HasSameText(base, static_cast<const CPieceItem11*>(item))) continue;
    base->AddItem(ClonePieceItem(item).release());
  }
}

void SetAamaSampleSize(CString& sampleSize, int priorCount, bool append) {
  if (append && priorCount > 0 && g_Style.SizeRing) sampleSize = g_Style.SizeRing->Name;
  if (sampleSize.IsEmpty()) {
    // The first new piece that carries a size name: a piece without one is
    // no size block.
    for (CPieceRecord* piece : NewPieces(priorCount)) {
      if (piece->Annotation.IsEmpty()) continue;
      sampleSize = piece->Annotation;
      break;
    }
  }
  if (g_Style.SizeRing) g_Style.SizeRing->Name = sampleSize;
}

void MergeAamaSizeBlocks(const CString& sampleSize, int priorCount, bool sizesSeparate) {
  const std::vector<CPieceRecord*> pieces = NewPieces(priorCount);
  if (!sizesSeparate) {
    // The blocks of each piece name (ASCII case ignored), in file order, so
    // that a file of many pieces is not searched whole for every one.
    std::map<std::string, std::vector<size_t>> byName;
    for (size_t i = 0; i < pieces.size(); ++i) {
      CString key = pieces[i]->PieceName;
      key.MakeLower();
      byName[key.str()].push_back(i);
    }
    bool firstGroup = true;
    for (size_t pi = 0; pi < pieces.size(); ++pi) {
      CPieceRecord* p = pieces[pi];
      // Only pieces that carry a size name are size blocks: one without
      // is never a base, nor merged into one.
      if (p->Annotation.IsEmpty() || p->Annotation.CompareNoCase(sampleSize.view()) != 0) continue;
      p->Annotation = kAamaSizeMergedBase;
      CString key = p->PieceName;
      key.MakeLower();
      for (size_t qi : byName[key.str()]) {
        CPieceRecord* q = pieces[qi];
        if (q->Annotation.IsEmpty() || q->Annotation == kAamaSizeMergedBase ||
            q->Annotation == kAamaSizeMergedAway) {
          continue;
        }
        MatchPieceElements(p, q);
        if (firstGroup && priorCount == 0) {
          const double place = static_cast<double>(qi) - static_cast<double>(pi);
          g_Style.AddSize(new CSizeRecord(q->Annotation, place, place, AamaSizeColor(g_Style.SizeCount), 1));
        }
        q->Annotation = kAamaSizeMergedAway;
      }
      firstGroup = false;
    }
    for (CPieceRecord* p : pieces) {
      if (p->Annotation == kAamaSizeMergedAway) {
        g_Style.RemovePiece(p);
      } else if (p->Annotation == kAamaSizeMergedBase) {
        p->Annotation.Empty();
      }
    }
  }
  if (priorCount == 0) g_Style.SortSizes();
  if (sizesSeparate) return;
  const int copies = g_Style.SizeCount > 0 ? g_Style.SizeCount - 1 : 0;
  for (CPieceRecord* p : NewPieces(priorCount)) {
    for (CPieceItem* item : ItemsOf(p)) {
      switch (item->Type) {
        case kItemTypeOutline:
        case kItemTypeFilledMarkers:
        case kItemTypeClosedLine:
        case kItemTypeOpenLine:
        case kItemTypeCircles:
        case kItemTypeNotches:
          EvenCopies(item, copies);
          break;
        default:
          break;
      }
    }
  }
}

CString CAamaRuleTable::FindRuleFile(const CString& dxfPath) {
  const PathParts parts = SplitPath(dxfPath);
  CString folder = parts.folder.IsEmpty() ? CString("./") : parts.folder;
  CString found = FindFileNoCase(folder, parts.name + ".rul");
  if (!found.IsEmpty() && parts.folder.IsEmpty() && found.Left(2) == "./") found = found.Mid(2);
  return found;
}

CAamaRuleTable::Result CAamaRuleTable::Read(const CString& path, double& scale, const CString& scaleText,
                                            int& authorCode, int priorCount, bool append) {
  std::vector<uint8_t> bytes;
  if (path.IsEmpty() || !ReadPatternFile(path, bytes)) return Result::kNoFile;
  return ReadBytes(BytesOf(bytes), scale, scaleText, authorCode, priorCount, append);
}

CAamaRuleTable::Result CAamaRuleTable::ReadBytes(std::string_view bytes, double& scale, const CString& scaleText,
                                                 int& authorCode, int priorCount, bool append) {
  ByteLineReader in(bytes);
  CString line;
  bool haveLine = in.ReadLine(line);
  while (haveLine) {
    bool advanced = false;
    if (StartsWithNoCase(line, "Author")) {
      const CString value = ValueAfterColon(line);
      if (StartsWithNoCase(value, "assyst")) authorCode = kAamaAuthorAssyst;
      else if (StartsWithNoCase(value, "INVESTRONICA")) authorCode = kAamaAuthorInvestronica;
    } else if (StartsWithNoCase(line, "UNITS")) {
      const double perMm = g_Style.GetScale();
      scale = ValueAfterColon(line).CompareNoCase("METRIC") == 0 ? perMm : perMm * 25.4;
      if (append) {
        scale = perMm * 0.01;
        authorCode = kAamaAuthorLectra;
      } else {
        scale *= AamaScaleFactor(scaleText);
      }
    } else if (StartsWithNoCase(line, "NUMBER OF SIZES")) {
      if (size_count_ == 0) {
        const int n = ParseInt(ValueAfterColon(line).view());
        if (n < 2) {
          SetProblem(in.LinesRead(), "rule table: fewer than two sizes");
          return Result::kTooFewSizes;
        }
        if (n > kAamaMaxSizes) {
          SetProblem(in.LinesRead(), "rule table: " + std::to_string(n) + " sizes, more than " +
                                         std::to_string(kAamaMaxSizes));
          return Result::kDamaged;
        }
        // The sizes are added when the list names them (NameSizes).
        size_count_ = n;
      }
    } else if (StartsWithNoCase(line, "SIZE LIST")) {
      size_list_ = ValueAfterColon(line);
      size_list_line_ = in.LinesRead();
    } else if (StartsWithNoCase(line, "SAMPLE SIZE")) {
      sample_size_ = ValueAfterColon(line);
      sample_size_line_ = in.LinesRead();
    } else if (StartsWithNoCase(line, "RULE: DELTA")) {
      const int ruleLine = in.LinesRead();
      // The rule number follows the first letter A of the line, made positive.
      const int a = line.Find('A');
      CString number = line.Mid(a + 1);
      number.Trim();
      const int64_t rule = std::llabs(static_cast<long long>(ParseInt(number.view())));
      // The rule's values run over the lines up to the next keyword.
      std::string values;
      while ((haveLine = in.ReadLine(line)) && IsValueLine(line)) {
        values += line.view();
        values += '\n';
      }
      advanced = true;
      if (size_count_ > 0) {
        if (!sizes_named_ && !NameSizes(priorCount, ruleLine)) return Result::kDamaged;
        bool lastWhole = true;
        const auto pairs = ParsePairs(values, static_cast<size_t>(size_count_), lastWhole);
        // Values that run to the end of the file short of their pairs are a
        // file cut short, not a rule of zero deltas.
        if (!haveLine && (pairs.size() < static_cast<size_t>(size_count_) || !lastWhole)) {
          SetProblem(in.LinesRead(), "rule table: ends inside the values of rule " + std::to_string(rule));
          return Result::kDamaged;
        }
        if (rule <= kAamaMaxRuleNumber) {
          std::vector<std::pair<int32_t, int32_t>>& deltas = rules_[static_cast<int>(rule)];
          deltas.assign(static_cast<size_t>(size_count_), {0, 0});
          for (size_t i = 0; i < pairs.size(); ++i) {
            deltas[i].first = ScaledDelta(pairs[i].first, scale, authorCode);
            deltas[i].second = WrapSub(0, ScaledDelta(pairs[i].second, scale, authorCode));
          }
        }
      }
    }
    if (!advanced) haveLine = in.ReadLine(line);
  }
  if (size_count_ > 0 && !sizes_named_ && !NameSizes(priorCount, in.LinesRead())) return Result::kDamaged;
  return Result::kRead;
}

void CAamaRuleTable::SetProblem(int line, std::string reason) {
  problem_line_ = line;
  problem_ = std::move(reason);
}

bool CAamaRuleTable::NameSizes(int priorCount, int useLine) {
  // Only a list of one name per size, the sample size among them, can name
  // the sizes: anything else would leave sizes nameless or drop one.
  std::vector<CString> names = SplitSizeList(size_list_);
  if (names.size() != static_cast<size_t>(size_count_)) {
    SetProblem(size_list_line_ > 0 ? size_list_line_ : useLine,
               "rule table: size list holds " + std::to_string(names.size()) +
                   (names.size() == 1 ? " name for " : " names for ") + std::to_string(size_count_) + " sizes");
    return false;
  }
  if (sample_size_.IsEmpty()) {
    SetProblem(useLine, "rule table: no sample size");
    return false;
  }
  int sample = -1;
  for (int i = 0; i < size_count_; ++i) {
    if (names[static_cast<size_t>(i)].CompareNoCase(sample_size_.view()) == 0) {
      sample = i;
      break;
    }
  }
  if (sample < 0) {
    SetProblem(sample_size_line_, "rule table: sample size " + sample_size_.str() + " is not in the size list");
    return false;
  }
  sizes_named_ = true;
  size_names_ = std::move(names);
  sample_position_ = sample;
  if (priorCount != 0) return true;
  for (int i = 1; i < size_count_; ++i) {
    g_Style.AddSize(new CSizeRecord(CString(), i, i, AamaSizeColor(g_Style.SizeCount), 1));
  }
  CSizeRecord* size = g_Style.SizeRing;
  if (!size) return true;
  size->Name = sample_size_;
  size->SortKey1 = size->SortKey2 = 0.0;
  int ringIndex = 1;
  for (int i = 0; i < size_count_ && ringIndex < g_Style.SizeCount; ++i) {
    if (i == sample_position_) continue;
    size = size->Next;
    size->Name = size_names_[static_cast<size_t>(i)];
    size->SortKey1 = size->SortKey2 = static_cast<double>(i - sample_position_);
    ++ringIndex;
  }
  g_Style.SortSizes();
  return true;
}

void CAamaRuleTable::GetDelta(int rule, int listPosition, int32_t& dx, int32_t& dy) const {
  dx = dy = 0;
  const auto it = rules_.find(rule);
  if (it == rules_.end() || listPosition < 0 || static_cast<size_t>(listPosition) >= it->second.size()) return;
  dx = it->second[static_cast<size_t>(listPosition)].first;
  dy = it->second[static_cast<size_t>(listPosition)].second;
}

void GradeAamaPieces(const CAamaRuleTable& table, int priorCount, int authorCode) {
  const int copies = g_Style.SizeCount > 1 ? g_Style.SizeCount - 1 : 0;
  // The size-list position of the style's size after the base, copy by copy:
  // the list without the sample size, in list order.
  std::vector<int> positions;
  for (int i = 0; static_cast<int>(positions.size()) < copies; ++i) {
    if (i != table.SamplePosition()) positions.push_back(i);
  }
  // Pieces share nothing while they are graded, so a run of them is graded,
  // their new curves fitted on every core, and then each is finished, in
  // file order: the same as one piece after the other, done sooner. The runs
  // are short so that the fitted curves waiting to be read stay few.
  constexpr size_t kPiecesPerRun = 32;
  const std::vector<CPieceRecord*> pieces = NewPieces(priorCount);
  for (size_t first = 0; first < pieces.size(); first += kPiecesPerRun) {
    const size_t end = std::min(pieces.size(), first + kPiecesPerRun);
    for (size_t i = first; i < end; ++i) GradePieceVertices(pieces[i], table, authorCode, positions, copies);
    PrepareCurvesOf({pieces.begin() + static_cast<std::ptrdiff_t>(first), pieces.begin() + static_cast<std::ptrdiff_t>(end)});
    for (size_t i = first; i < end; ++i) PlaceGradedNotches(pieces[i]);
  }
}
