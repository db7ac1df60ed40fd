#include "model/point_list.h"

#include "platform/prompts.h"

namespace {

// Tells the user that an operation needed a point the list does not have.
void ReportEmptyList(const char* operation) { Prompts().MessageBox(operation, "error", MB_OK); }

}  // namespace

CZvPointList::~CZvPointList() { RemoveAll(); }

CPoint CZvPointList::GetHead() const {
  if (count_ < 1) {
    ReportEmptyList("CZvPointList::GetHead()");
    return CPoint();
  }
  return head_->Point;
}

CPoint CZvPointList::GetTail() const {
  if (count_ < 1) {
    ReportEmptyList("CZvPointList::GetTail()");
    return CPoint();
  }
  return tail_->Point;
}

CPoint CZvPointList::RemoveHead() {
  if (count_ < 1) {
    ReportEmptyList("CZvPointList::RemoveHead()");
    return CPoint();
  }
  const CPoint point = head_->Point;
  RemoveAt(head_);
  return point;
}

CPoint CZvPointList::RemoveTail() {
  if (count_ < 1) {
    ReportEmptyList("CZvPointList::RemoveTail()");
    return CPoint();
  }
  const CPoint point = tail_->Point;
  RemoveAt(tail_);
  return point;
}

CZvPoint* CZvPointList::Link(CZvPoint* before, CZvPoint* after, int x, int y) {
  auto* point = new CZvPoint(x, y);
  point->Prev = before;
  point->Next = after;
  if (before != nullptr) {
    before->Next = point;
  } else {
    head_ = point;
  }
  if (after != nullptr) {
    after->Prev = point;
  } else {
    tail_ = point;
  }
  ++count_;
  return point;
}

void CZvPointList::Unlink(CZvPoint* point) {
  if (point->Prev != nullptr) {
    point->Prev->Next = point->Next;
  } else {
    head_ = point->Next;
  }
  if (point->Next != nullptr) {
    point->Next->Prev = point->Prev;
  } else {
    tail_ = point->Prev;
  }
  --count_;
}

CZvPoint* CZvPointList::AddHead(int x, int y) { return Link(nullptr, head_, x, y); }

CZvPoint* CZvPointList::AddTail(int x, int y) { return Link(tail_, nullptr, x, y); }

void CZvPointList::AddHead(const CZvPointList& other) {
  // Counted, so that adding a list to itself copies it once.
  CZvPoint* p = other.tail_;
  for (int n = other.count_; n > 0 && p != nullptr; --n) {
    CZvPoint* prev = p->Prev;
    AddHead(p->Point.x, p->Point.y);
    p = prev;
  }
}

void CZvPointList::AddTail(const CZvPointList& other) {
  CZvPoint* p = other.head_;
  for (int n = other.count_; n > 0 && p != nullptr; --n) {
    CZvPoint* next = p->Next;
    AddTail(p->Point.x, p->Point.y);
    p = next;
  }
}

void CZvPointList::AddHead(const std::list<CPoint>& points) {
  for (auto it = points.rbegin(); it != points.rend(); ++it) AddHead(it->x, it->y);
}

void CZvPointList::AddTail(const std::list<CPoint>& points) {
  for (const CPoint& p : points) AddTail(p.x, p.y);
}

void CZvPointList::Copy(const std::list<CPoint>& points) {
  RemoveAll();
  AddTail(points);
}

void CZvPointList::RemoveAll() {
  CZvPoint* p = head_;
  while (p != nullptr) {
    CZvPoint* next = p->Next;
    delete p;
    p = next;
  }
  head_ = tail_ = nullptr;
  count_ = 0;
}

CPoint CZvPointList::GetNext(CZvPoint*& position) const {
  if (position == nullptr) return CPoint();
  const CPoint point = position->Point;
  position = position->Next;
  return point;
}

CPoint CZvPointList::GetPrev(CZvPoint*& position) const {
  if (position == nullptr) return CPoint();
  const CPoint point = position->Point;
  position = position->Prev;
  return point;
}

CPoint CZvPointList::GetAt(const CZvPoint* position) const {
  return position != nullptr ? position->Point : CPoint();
}

void CZvPointList::SetAt(CZvPoint* position, int x, int y) {
  if (position != nullptr) position->Point = CPoint(x, y);
}

void CZvPointList::RemoveAt(CZvPoint* position) {
  if (position == nullptr) return;
  Unlink(position);
  delete position;
}

CZvPoint* CZvPointList::InsertBefore(CZvPoint* position, int x, int y) {
  if (position == nullptr) return AddHead(x, y);
  return Link(position->Prev, position, x, y);
}

CZvPoint* CZvPointList::InsertAfter(CZvPoint* position, int x, int y) {
  if (position == nullptr) return AddTail(x, y);
  return Link(position, position->Next, x, y);
}

CZvPoint* CZvPointList::Find(int x, int y, CZvPoint* start) const {
  for (CZvPoint* p = start != nullptr ? start : head_; p != nullptr; p = p->Next) {
    if (p->Point.x == x && p->Point.y == y) return p;
  }
  return nullptr;
}

CZvPoint* CZvPointList::FindIndex(int index) const {
  if (index < 0 || index >= count_) return nullptr;
  CZvPoint* p = head_;
  while (index-- > 0 && p != nullptr) p = p->Next;
  return p;
}

CZvPointArrayList::~CZvPointArrayList() { RemoveAll(); }

void CZvPointArrayList::SetSize(int n) {
  if (n < 0) return;
  if (n == 0) {
    RemoveAll();
    return;
  }
  while (count_ > n) {
    CZvPointList* last = tail_;
    tail_ = last->Prev;
    if (tail_ != nullptr) {
      tail_->Next = nullptr;
    } else {
      head_ = nullptr;
    }
    delete last;
    --count_;
  }
  while (count_ < n) {
    auto* list = new CZvPointList;
    list->Prev = tail_;
    if (tail_ != nullptr) {
      tail_->Next = list;
    } else {
      head_ = list;
    }
    tail_ = list;
    ++count_;
  }
}

void CZvPointArrayList::RemoveAll() {
  CZvPointList* list = head_;
  while (list != nullptr) {
    CZvPointList* next = list->Next;
    delete list;
    list = next;
  }
  head_ = tail_ = nullptr;
  count_ = 0;
}

CZvPointList* CZvPointArrayList::GetAt(int index) const {
  if (index < 0 || index >= count_) return nullptr;
  CZvPointList* list = head_;
  while (index-- > 0 && list != nullptr) list = list->Next;
  return list;
}

void CZvPointArrayList::GetPoints(int index, std::list<CPoint>& points) const {
  points.clear();
  const CZvPointList* list = GetAt(index);
  if (list == nullptr) return;
  CZvPoint* p = list->GetHeadPosition();
  while (p != nullptr) points.push_back(list->GetNext(p));
}
