// A Gerber point as the reader leaves it, made directly for the tests of
// what follows the reading (corner classification, conversion).
#pragma once

#include <cstdint>
#include <vector>

#include "imports/gerber_model.h"

// `rule` -1 for a point without a rule reference; nonzero `flags` mark a
// notch.
inline CGgtOutlinePoint GgtPoint(int32_t x, int32_t y, std::vector<uint8_t> attributes = {}, int rule = -1,
                                 uint8_t flags = 0) {
  CGgtOutlinePoint point;
  point.x = x;
  point.y = y;
  point.flags = flags;
  point.attributes = attributes;
  point.attributeCount = static_cast<uint16_t>(attributes.size());
  point.hasRuleReference = rule >= 0;
  point.noRuleSwitch = rule >= 0 ? 0 : 1;
  point.ruleNumber = static_cast<uint16_t>(rule >= 0 ? rule : 0);
  return point;
}
