#include "design/core/object_refs.h"

CGradedObject* ResolveObjectOfKind(const CPatternData& data, int32_t position, int32_t kind) {
  CGradedObject* object = data.GetElementAt(position);
  if (!object || object->GetKind() != kind) return nullptr;
  return object;
}
