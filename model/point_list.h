// Integer points kept in doubly linked lists: a point (CZvPoint), a list of
// points (CZvPointList) and a list of such lists (CZvPointArrayList). They
// convert to and from the standard list of points that the rest of the code
// passes around. No class here is stored in a file.
//
// Ownership: a CZvPointList owns its points and a CZvPointArrayList its lists;
// each frees what it holds on removal and on destruction. Neither can be
// copied. A position is a pointer to a point of the list (null ends a walk);
// it stays valid until that point is removed.
#pragma once

#include <list>

#include "platform/geometry_types.h"

class CZvPoint {
 public:
  CZvPoint() = default;
  CZvPoint(int x, int y) : Point(x, y) {}
  // Copying copies the point and both links as they are.
  CZvPoint(const CZvPoint&) = default;
  CZvPoint& operator=(const CZvPoint&) = default;
  virtual ~CZvPoint() = default;

  CPoint Point;  // (0, 0) when created
  CZvPoint* Prev = nullptr;
  CZvPoint* Next = nullptr;
};

// A list of points. Reading or removing the head or tail of an empty list is
// a programming error that is reported to the user in a message box captioned
// "error" naming the operation ("CZvPointList::GetHead()" ...); the list is
// left as it is and the point returned is (0, 0).
class CZvPointList {
 public:
  CZvPointList() = default;
  virtual ~CZvPointList();
  CZvPointList(const CZvPointList&) = delete;
  CZvPointList& operator=(const CZvPointList&) = delete;

  CPoint GetHead() const;
  CPoint GetTail() const;
  // Unlinks and frees the head (tail) and returns its point.
  CPoint RemoveHead();
  CPoint RemoveTail();

  // A new point at the head (tail); returns its position.
  CZvPoint* AddHead(int x, int y);
  CZvPoint* AddTail(int x, int y);
  // Copies the points of another list (or of this one) in front of the head,
  // in their order, or after the tail.
  void AddHead(const CZvPointList& other);
  void AddTail(const CZvPointList& other);
  void AddHead(const std::list<CPoint>& points);
  void AddTail(const std::list<CPoint>& points);
  // Replaces the points with those of `points`.
  void Copy(const std::list<CPoint>& points);
  // Frees every point.
  void RemoveAll();

  CZvPoint* GetHeadPosition() const { return head_; }
  CZvPoint* GetTailPosition() const { return tail_; }
  // The point at `position`, moving the position to the next (previous)
  // point. A null position gives (0, 0) and stays null.
  CPoint GetNext(CZvPoint*& position) const;
  CPoint GetPrev(CZvPoint*& position) const;
  // Reads or writes the point at a position; null reads (0, 0), writes
  // nothing.
  CPoint GetAt(const CZvPoint* position) const;
  void SetAt(CZvPoint* position, int x, int y);
  // Unlinks and frees the point at a position of this list; null does
  // nothing.
  void RemoveAt(CZvPoint* position);
  // A new point in front of (after) the given one; head or tail follow when
  // it becomes an end. A null position inserts at the head (tail).
  CZvPoint* InsertBefore(CZvPoint* position, int x, int y);
  CZvPoint* InsertAfter(CZvPoint* position, int x, int y);

  // The first point at (x, y) from `start` on (from the head when null),
  // `start` itself included; null when there is none.
  CZvPoint* Find(int x, int y, CZvPoint* start = nullptr) const;
  // The point `index` steps after the head; null when the index is negative
  // or not below the count.
  CZvPoint* FindIndex(int index) const;

  int GetCount() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }

  // The list's own links as an element of a CZvPointArrayList.
  CZvPointList* Prev = nullptr;
  CZvPointList* Next = nullptr;

 private:
  // Links a new point between `before` and `after` (either may be null at an
  // end of the list).
  CZvPoint* Link(CZvPoint* before, CZvPoint* after, int x, int y);
  void Unlink(CZvPoint* point);

  CZvPoint* head_ = nullptr;
  CZvPoint* tail_ = nullptr;
  int count_ = 0;
};

// A list of point lists.
class CZvPointArrayList {
 public:
  CZvPointArrayList() = default;
  virtual ~CZvPointArrayList();
  CZvPointArrayList(const CZvPointArrayList&) = delete;
  CZvPointArrayList& operator=(const CZvPointArrayList&) = delete;

  // Makes the count `n`: frees lists from the tail, or appends empty ones.
  // A negative `n` does nothing.
  void SetSize(int n);
  // Frees every list.
  void RemoveAll();
  // The list at `index`; null when the index is negative or not below the
  // count.
  CZvPointList* GetAt(int index) const;
  // Replaces `points` with the points of the list at `index` (with nothing
  // for an index out of range).
  void GetPoints(int index, std::list<CPoint>& points) const;
  int GetCount() const { return count_; }

 private:
  CZvPointList* head_ = nullptr;
  CZvPointList* tail_ = nullptr;
  int count_ = 0;
};
