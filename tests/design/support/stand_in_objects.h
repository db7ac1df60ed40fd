// What the design-model tests share to write and load whole designs: stand-in
// classes for the graded objects that have no classes yet (two-point lines
// and curves), the tables that make them next to the registered point kinds
// and texts, a design with objects of every kind for points to refer to, and
// the loads of a fixture's bytes.
//
// The stand-ins read what AddStandInLine and AddStandInCurve write: a line
// its two through points, a curve a count and its defining points, each as
// object positions. Both list those objects as their references, so that the
// loader's clean-up and the tests of RefersTo see a line or curve use the
// points it names.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "platform/archive.h"
#include "tests/design_writer/archive_writer.h"

namespace design_test {

using design_fixture::ArchiveBytes;
using design_fixture::ArchiveFont;
using design_fixture::DesignArchiveWriter;
using design_fixture::PatternRecordFields;
using design_fixture::SampleRefs;

// The curve kinds the stand-in curve is registered for.
inline constexpr int32_t kFirstCurveKind = 1;
inline constexpr int32_t kLastCurveKind = 8;
// Any version: the positions of DesignToReferTo do not depend on it.
inline constexpr int32_t kNewestVersionForRefs = 162;
// The scale of DesignToReferTo, in units per millimetre.
inline constexpr int32_t kDesignScale = 40;
// The name of the pattern record that Finish closes every fixture with.
inline constexpr const char* kClosingRecord = "END";

// ---- Stand-in classes --------------------------------------------------------

// An object that refers to the objects at the positions its record stores.
class PositionsObject : public CGradedObject {
 public:
  using CGradedObject::CGradedObject;

  void ResolveIds() override {
    m_Objects.clear();
    for (int32_t id : m_Ids) m_Objects.push_back(GetOwner()->GetElementAt(id));
  }
  BOOL GetReferences(CGradedObjectList& references) const override {
    references = m_Objects;
    return TRUE;
  }
  BOOL RefersTo(const CGradedObject* object) const override {
    return object && std::find(m_Objects.begin(), m_Objects.end(), object) != m_Objects.end() ? TRUE : FALSE;
  }

 protected:
  std::vector<int32_t> m_Ids;
  CGradedObjectList m_Objects;
};

// A two-point line: the positions of its two through points.
class StandInLine : public PositionsObject {
 public:
  explicit StandInLine(CPatternData* owner) : PositionsObject(kObjectKindLine, owner, 0) {}
  BOOL Load(ArchiveReader& archive) override {
    int32_t a = -1, b = -1;
    if (!archive.ReadI32(a) || !archive.ReadI32(b)) return FALSE;
    m_Ids = {a, b};
    return TRUE;
  }
};

// A curve: a count, then that many positions of its defining points.
class StandInCurve : public PositionsObject {
 public:
  explicit StandInCurve(CPatternData* owner) : PositionsObject(kObjectKindCurve, owner, 0) {}
  BOOL Load(ArchiveReader& archive) override {
    int32_t count = 0;
    if (!archive.ReadI32(count) || !archive.CheckCount(count, sizeof(int32_t))) return FALSE;
    for (int32_t i = 0; i < count; ++i) {
      int32_t id = -1;
      if (!archive.ReadI32(id)) return FALSE;
      m_Ids.push_back(id);
    }
    return TRUE;
  }
};

// ---- Writing them ----------------------------------------------------------

inline int AddStandInLine(DesignArchiveWriter& w, int32_t a, int32_t b) {
  return w.AddObject(kObjectKindLine, 0, ArchiveBytes().I32(a).I32(b).Bytes());
}

// The curve kind is stored only from data version 109 on (the writer leaves
// it out before).
inline int AddStandInCurve(DesignArchiveWriter& w, const std::vector<int32_t>& points,
                           int32_t curveKind = kFirstCurveKind) {
  ArchiveBytes body;
  body.I32(static_cast<int32_t>(points.size()));
  for (int32_t p : points) body.I32(p);
  return w.AddObject(kObjectKindCurve, curveKind, body.Bytes());
}

// ---- The tables ------------------------------------------------------------

// The registered point kinds, texts and design elements, with the stand-in
// line (object kind 2) and curve (curve kinds 1 to 8).
class StandInTables {
 public:
  StandInTables() {
    DesignTables::Registered();  // every class built so far, the text among them
    m_Objects.Register(kObjectKindLine, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
      return std::make_unique<StandInLine>(owner);
    });
    m_Objects.Register(kObjectKindText, [](CPatternData* owner) {
      return GetObjectKindFactory().Create(kObjectKindText, owner);
    });
    for (int32_t kind = kFirstCurveKind; kind <= kLastCurveKind; ++kind) {
      m_Curves.Register(kind, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
        return std::make_unique<StandInCurve>(owner);
      });
    }
  }
  StandInTables(const StandInTables&) = delete;
  StandInTables& operator=(const StandInTables&) = delete;

  // Valid while this object lives.
  DesignTables Tables() const {
    return DesignTables{m_Objects, GetPointKindFactory(), m_Curves, GetElementFactory()};
  }

 private:
  ObjectKindFactory m_Objects;
  CurveKindFactory m_Curves;
};

// ---- Fixtures --------------------------------------------------------------

// A design of `version` with two sizes ("M", the base, and "L") and objects
// of every kind for points to refer to, in this order: four free points at
// (100 i, 10 i), two lines (through points 0 and 1, 2 and 3), two curves
// (defined by the same pairs) and a text. `refs` gets their positions, 0 to 8.
inline DesignArchiveWriter DesignToReferTo(int32_t version, SampleRefs& refs) {
  DesignArchiveWriter w(version);
  w.header().scale = kDesignScale;
  w.AddSize({"M", 0, 0});
  w.AddSize({"L", 0, 0});
  w.SetBaseSize(0);
  for (int i = 0; i < 4; ++i) refs.points[i] = w.AddFreePoint(100 * i, 10 * i);
  refs.lines[0] = AddStandInLine(w, refs.points[0], refs.points[1]);
  refs.lines[1] = AddStandInLine(w, refs.points[2], refs.points[3]);
  refs.curves[0] = AddStandInCurve(w, {refs.points[0], refs.points[1]});
  refs.curves[1] = AddStandInCurve(w, {refs.points[2], refs.points[3]});
  ArchiveFont font;
  font.face = "Song";
  refs.text = w.AddText(5, 5, "T", font);
  return w;
}

// The positions DesignToReferTo gives its objects.
inline SampleRefs RefsOfDesignToReferTo() {
  SampleRefs refs;
  DesignToReferTo(kNewestVersionForRefs, refs);
  return refs;
}

// Appends the closing record every fixture ends with; the whole file.
inline std::string Finish(DesignArchiveWriter& w) {
  PatternRecordFields end;
  end.name = kClosingRecord;
  w.AddRecord(end);
  return w.Bytes();
}

// ---- Loading ---------------------------------------------------------------

struct LoadedDesign {
  std::unique_ptr<CPatternData> data = std::make_unique<CPatternData>();
  bool ok = false;
  size_t remaining = 0;  // bytes the load left unread
};

inline LoadedDesign LoadDesign(const std::string& bytes, const DesignTables& tables = DesignTables::Registered()) {
  LoadedDesign loaded;
  ArchiveReader archive{std::string_view(bytes)};
  loaded.ok = loaded.data->Load(archive, tables) != 0;
  loaded.remaining = archive.Remaining();
  return loaded;
}

// Loads a fixture that must load whole: to its last byte, ending with the
// closing record.
inline std::unique_ptr<CPatternData> LoadWhole(const std::string& bytes,
                                               const DesignTables& tables = DesignTables::Registered()) {
  LoadedDesign loaded = LoadDesign(bytes, tables);
  EXPECT_TRUE(loaded.ok) << loaded.data->GetLoadFailure().reason;
  EXPECT_EQ(loaded.remaining, 0u);
  const CPatternData& data = *loaded.data;
  const CPatternRecord* last = data.GetPieceAt(data.GetPieceCount() - 1);
  EXPECT_TRUE(last && last->GetPieceName() == CString(kClosingRecord));
  return std::move(loaded.data);
}

// Every prefix of a whole fixture fails as malformed, having stopped within
// the bytes it was given (and, under the sanitizers, without a leak).
inline void ExpectEveryPrefixFails(const std::string& whole,
                                   const DesignTables& tables = DesignTables::Registered()) {
  for (size_t n = 0; n < whole.size(); ++n) {
    const LoadedDesign loaded = LoadDesign(whole.substr(0, n), tables);
    ASSERT_FALSE(loaded.ok) << "prefix of " << n << " bytes";
    const DesignLoadFailure& failure = loaded.data->GetLoadFailure();
    EXPECT_EQ(failure.fault, DesignLoadFault::kMalformed) << "prefix of " << n << " bytes";
    EXPECT_LE(failure.offset, n) << "prefix of " << n << " bytes";
  }
}

// ---- References ------------------------------------------------------------

// The positions of a list of objects in the design (-1 for null).
inline std::vector<int> Positions(const CPatternData& data, const CGradedObjectList& objects) {
  std::vector<int> positions;
  for (const CGradedObject* object : objects) positions.push_back(object ? data.GetElementIndex(object) : -1);
  return positions;
}

// RefersTo answers TRUE for exactly the objects of the design at `positions`
// (other entries, such as -1, name none) and FALSE for null.
inline void ExpectRefersExactlyTo(const CPatternData& data, const CGradedObject& object,
                                  const std::vector<int>& positions) {
  for (int32_t i = 0; i < data.GetElementCount(); ++i) {
    const bool listed = std::find(positions.begin(), positions.end(), i) != positions.end();
    EXPECT_EQ(object.RefersTo(data.GetElementAt(i)), listed ? TRUE : FALSE) << "object " << i;
  }
  EXPECT_FALSE(object.RefersTo(nullptr));
}

}  // namespace design_test
