#include "model/point_list.h"

#include <algorithm>
#include <list>
#include <vector>

#include <gtest/gtest.h>

#include "platform/scripted_prompts.h"

namespace {

std::vector<CPoint> Points(const CZvPointList& list) {
  std::vector<CPoint> out;
  CZvPoint* pos = list.GetHeadPosition();
  while (pos != nullptr) out.push_back(list.GetNext(pos));
  return out;
}

std::vector<CPoint> PointsBackward(const CZvPointList& list) {
  std::vector<CPoint> out;
  CZvPoint* pos = list.GetTailPosition();
  while (pos != nullptr) out.push_back(list.GetPrev(pos));
  return out;
}

// The links hold both ways, the ends have no outer links and the count
// matches.
void ExpectConsistent(const CZvPointList& list) {
  const auto forward = Points(list);
  auto backward = PointsBackward(list);
  std::reverse(backward.begin(), backward.end());
  EXPECT_EQ(forward, backward);
  EXPECT_EQ(static_cast<int>(forward.size()), list.GetCount());
  EXPECT_EQ(list.IsEmpty(), forward.empty());
  if (list.GetHeadPosition() != nullptr) {
    EXPECT_EQ(list.GetHeadPosition()->Prev, nullptr);
    EXPECT_EQ(list.GetTailPosition()->Next, nullptr);
  } else {
    EXPECT_EQ(list.GetTailPosition(), nullptr);
  }
}

using P = std::vector<CPoint>;

}  // namespace

TEST(CZvPointList, AddingListsKeepsTheirOrder) {
  CZvPointList front;
  front.AddTail(1, 1);
  front.AddTail(2, 2);
  CZvPointList list;
  list.AddTail(3, 3);
  list.AddHead(front);
  EXPECT_EQ(Points(list), (P{{1, 1}, {2, 2}, {3, 3}}));
  list.AddTail(front);
  EXPECT_EQ(Points(list), (P{{1, 1}, {2, 2}, {3, 3}, {1, 1}, {2, 2}}));
  ExpectConsistent(list);

  const std::list<CPoint> plain = {{7, 7}, {8, 8}};
  list.AddHead(plain);
  list.AddTail(plain);
  EXPECT_EQ(Points(list), (P{{7, 7}, {8, 8}, {1, 1}, {2, 2}, {3, 3}, {1, 1}, {2, 2}, {7, 7}, {8, 8}}));
  list.Copy(plain);
  EXPECT_EQ(Points(list), (P{{7, 7}, {8, 8}}));
  ExpectConsistent(list);
}

TEST(CZvPointList, AddingAListToItselfCopiesItOnce) {
  CZvPointList list;
  list.AddTail(1, 1);
  list.AddTail(2, 2);
  list.AddTail(list);
  EXPECT_EQ(Points(list), (P{{1, 1}, {2, 2}, {1, 1}, {2, 2}}));
  list.AddHead(list);
  EXPECT_EQ(Points(list).size(), 8u);
  EXPECT_EQ(Points(list)[3], CPoint(2, 2));
  ExpectConsistent(list);
}

TEST(CZvPointList, RemovingEndsAndPositions) {
  CZvPointList list;
  list.AddTail(5, 5);
  EXPECT_EQ(list.RemoveTail(), CPoint(5, 5));
  EXPECT_EQ(list.GetHeadPosition(), nullptr);
  EXPECT_EQ(list.GetTailPosition(), nullptr);
  EXPECT_EQ(list.GetCount(), 0);

  CZvPoint* a = list.AddTail(1, 0);
  CZvPoint* b = list.AddTail(2, 0);
  CZvPoint* c = list.AddTail(3, 0);
  EXPECT_EQ(list.GetHead(), CPoint(1, 0));
  EXPECT_EQ(list.GetTail(), CPoint(3, 0));
  list.RemoveAt(b);
  EXPECT_EQ(Points(list), (P{{1, 0}, {3, 0}}));
  list.RemoveAt(a);
  EXPECT_EQ(list.GetHeadPosition(), c);
  ExpectConsistent(list);
  EXPECT_EQ(list.RemoveHead(), CPoint(3, 0));
  ExpectConsistent(list);
  list.RemoveAt(nullptr);
  EXPECT_EQ(list.GetCount(), 0);
}

TEST(CZvPointList, InsertBesidePositions) {
  CZvPointList list;
  CZvPoint* mid = list.AddTail(5, 5);
  CZvPoint* first = list.InsertBefore(mid, 4, 4);
  CZvPoint* last = list.InsertAfter(mid, 6, 6);
  list.InsertAfter(first, 45, 45);
  EXPECT_EQ(list.GetHeadPosition(), first);
  EXPECT_EQ(list.GetTailPosition(), last);
  list.InsertBefore(nullptr, 0, 0);
  list.InsertAfter(nullptr, 9, 9);
  EXPECT_EQ(Points(list), (P{{0, 0}, {4, 4}, {45, 45}, {5, 5}, {6, 6}, {9, 9}}));
  ExpectConsistent(list);
  list.SetAt(mid, 50, 50);
  EXPECT_EQ(list.GetAt(mid), CPoint(50, 50));
}

TEST(CZvPointList, FindAndFindIndex) {
  CZvPointList list;
  CZvPoint* a = list.AddTail(1, 1);
  CZvPoint* b = list.AddTail(2, 2);
  CZvPoint* c = list.AddTail(1, 1);
  EXPECT_EQ(list.Find(1, 1), a);
  EXPECT_EQ(list.Find(1, 1, a), a);  // a match at the start position itself
  EXPECT_EQ(list.Find(1, 1, b), c);
  EXPECT_EQ(list.Find(3, 3), nullptr);
  EXPECT_EQ(list.FindIndex(0), a);
  EXPECT_EQ(list.FindIndex(2), c);
  // Out of range gives none instead of walking off the list.
  EXPECT_EQ(list.FindIndex(3), nullptr);
  EXPECT_EQ(list.FindIndex(-1), nullptr);
  EXPECT_EQ(list.GetAt(nullptr), CPoint());
  CZvPoint* none = nullptr;
  EXPECT_EQ(list.GetNext(none), CPoint());
  EXPECT_EQ(none, nullptr);
}

TEST(CZvPointList, EmptyListMisuseIsReportedAndHarmless) {
  ScriptedPrompts prompts;
  ScopedPrompts installed(&prompts);
  CZvPointList list;
  EXPECT_EQ(list.GetHead(), CPoint());
  EXPECT_EQ(list.GetTail(), CPoint());
  EXPECT_EQ(list.RemoveHead(), CPoint());
  EXPECT_EQ(list.RemoveTail(), CPoint());
  const char* kTexts[] = {"CZvPointList::GetHead()", "CZvPointList::GetTail()",
                          "CZvPointList::RemoveHead()", "CZvPointList::RemoveTail()"};
  ASSERT_EQ(prompts.records().size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    const PromptRecord& r = prompts.records()[i];
    EXPECT_EQ(r.kind, PromptKind::kMessageBox);
    EXPECT_EQ(r.text.str(), kTexts[i]);
    EXPECT_EQ(r.caption.str(), "error");
    EXPECT_EQ(r.type, MB_OK);
  }
  ExpectConsistent(list);

  list.AddTail(1, 2);
  EXPECT_EQ(list.GetHead(), CPoint(1, 2));
  EXPECT_EQ(prompts.records().size(), 4u);  // no message for a list with points
}

TEST(CZvPointArrayList, SetSizeGetAtAndGetPoints) {
  CZvPointArrayList lists;
  lists.SetSize(3);
  ASSERT_EQ(lists.GetCount(), 3);
  CZvPointList* first = lists.GetAt(0);
  ASSERT_NE(first, nullptr);
  first->AddTail(1, 2);
  first->AddTail(3, 4);
  lists.GetAt(2)->AddTail(9, 9);
  lists.SetSize(1);
  EXPECT_EQ(lists.GetCount(), 1);
  EXPECT_EQ(lists.GetAt(0), first);  // the first list is kept
  EXPECT_EQ(lists.GetAt(1), nullptr);
  EXPECT_EQ(lists.GetAt(-1), nullptr);

  std::list<CPoint> points = {{0, 0}};
  lists.GetPoints(0, points);
  EXPECT_EQ(points, (std::list<CPoint>{{1, 2}, {3, 4}}));
  lists.GetPoints(5, points);
  EXPECT_TRUE(points.empty());

  lists.SetSize(-2);
  EXPECT_EQ(lists.GetCount(), 1);
  lists.SetSize(4);
  EXPECT_EQ(lists.GetCount(), 4);
  EXPECT_EQ(lists.GetAt(0), first);
  EXPECT_TRUE(lists.GetAt(3)->IsEmpty());
  lists.SetSize(0);
  EXPECT_EQ(lists.GetCount(), 0);
  EXPECT_EQ(lists.GetAt(0), nullptr);
}

TEST(CZvPoint, CopiesThePointAndTheLinks) {
  CZvPoint a(3, 4);
  CZvPoint other;
  a.Next = &other;
  const CZvPoint b = a;
  EXPECT_EQ(b.Point, CPoint(3, 4));
  EXPECT_EQ(b.Next, &other);
  EXPECT_EQ(b.Prev, nullptr);
  const CZvPoint fresh;
  EXPECT_EQ(fresh.Point, CPoint(0, 0));
  EXPECT_EQ(fresh.Next, nullptr);
}
