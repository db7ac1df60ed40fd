// Small builders for model tests: a clean style with a few sizes, and graded
// vertex groups. Every test that touches g_Style derives from ModelTest so
// that each starts and ends with an empty style and default settings.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/settings.h"
#include "model/style.h"
#include "tests/support/clean_style.h"
#include "tests/support/piece_items.h"

// A ring node as tests compare it: its place and its flags word.
struct NodeState {
  int x;
  int y;
  uint32_t flags;
  bool operator==(const NodeState& o) const { return x == o.x && y == o.y && flags == o.flags; }
};

inline std::ostream& operator<<(std::ostream& os, const NodeState& n) {
  return os << "(" << n.x << ", " << n.y << ", 0x" << std::hex << n.flags << std::dec << ")";
}

class ModelTest : public CleanStyleTest {
 protected:
  // Adds `count` visible sizes named "S0".. with colours 0x10, 0x20, ...
  static std::vector<CSizeRecord*> AddSizes(int count) {
    std::vector<CSizeRecord*> sizes;
    for (int i = 0; i < count; ++i) {
      CString name;
      name.Format("S%d", i);
      auto* size = new CSizeRecord(name, i, 0, static_cast<COLORREF>(0x10 * (i + 1)), 1);
      g_Style.AddSize(size);
      sizes.push_back(size);
    }
    return sizes;
  }

  // Appends a graded vertex: a main node of `kind` at (x, y) for size 0 and
  // one copy (kind 64) per further size, size s at (x + 10 s, y + 100 s).
  static CVertexNode* AddGraded(CPieceItem* item, int32_t x, int32_t y, uint32_t kind) {
    CVertexNode* main = item->AddTailVertex(x, y, kind);
    for (int s = 1; s < g_Style.SizeCount; ++s) item->AddTailVertex(x + 10 * s, y + 100 * s, 64);
    return main;
  }

  // The n-th node from the head.
  static CVertexNode* NodeAt(const CPieceItem* item, int n) {
    CVertexNode* node = item->VertexHead;
    for (int i = 0; i < n; ++i) node = node->Next;
    return node;
  }

  // Every node of the ring from the head.
  static std::vector<NodeState> Nodes(const CPieceItem* item) {
    std::vector<NodeState> nodes;
    CVertexNode* node = item->VertexHead;
    for (int i = 0; i < item->VertexCount; ++i, node = node->Next) nodes.push_back({node->X, node->Y, node->Flags});
    return nodes;
  }

  // The kinds of the ring from the head.
  static std::vector<int> Kinds(const CPieceItem* item) {
    std::vector<int> kinds;
    CVertexNode* node = item->VertexHead;
    for (int i = 0; i < item->VertexCount; ++i, node = node->Next) kinds.push_back(node->Kind());
    return kinds;
  }
};
