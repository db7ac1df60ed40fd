// A default LOGFONT but for its height, for the device-context tests that
// select fonts by size.
#pragma once

#include <cstdint>

#include "platform/geometry_types.h"

inline LOGFONT FontOfHeight(int32_t height) {
  LOGFONT font;
  font.lfHeight = height;
  return font;
}
