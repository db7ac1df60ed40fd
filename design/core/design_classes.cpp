#include "design/core/design_classes.h"

#include "design/points/point_kinds.h"

void RegisterDesignClasses() {
  static const bool registered = [] {
    RegisterPointKinds();
    return true;
  }();
  (void)registered;
}
