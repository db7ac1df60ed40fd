#include "design/core/design_classes.h"

#include "design/core/factories.h"
#include "design/points/point_kinds.h"

void RegisterDesignClasses() {
  static const bool registered = [] {
    RegisterPointKinds();
    return true;
  }();
  (void)registered;
}

DesignTables DesignTables::Registered() {
  RegisterDesignClasses();
  return DesignTables{GetObjectKindFactory(), GetPointKindFactory(), GetCurveKindFactory(), GetElementFactory()};
}
