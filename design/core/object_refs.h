// Resolving a stored reference into a field of a known kind. A record stores
// a reference to a point, a two-point line or a curve as a position in the
// container's object list; a damaged file can name a position outside the
// list or an object of another kind there. Such a reference resolves to no
// object, so that a field typed point never holds a line or a text.
#pragma once

#include <concepts>
#include <cstdint>

#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"

// The object at `position` when it is of `kind`; null for -1, for a position
// outside the list, and for an object of any other kind.
CGradedObject* ResolveObjectOfKind(const CPatternData& data, int32_t position, int32_t kind);

// The class of a field states its kind: every object of the kind derives from
// it (points from the point base, lines from the two-point line, curves from
// the curve base) and it names the kind as kObjectKind.
template <class T>
concept GradedObjectOfKind = std::derived_from<T, CGradedObject> && requires {
  { T::kObjectKind } -> std::convertible_to<int32_t>;
};

// The object at `position` as a T, or null when it is not of T's kind.
template <GradedObjectOfKind T>
T* ResolveObject(const CPatternData& data, int32_t position) {
  return static_cast<T*>(ResolveObjectOfKind(data, position, T::kObjectKind));
}
