// Reading a dialog's control table in tests: one control by its id, and the
// entries of a list as plain strings.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dialog.h"

// The control `id` of `table`; a failure, and an empty control, when the
// table has none.
inline const ControlState& Control(const std::vector<ControlState>& table, int id) {
  for (const ControlState& c : table) {
    if (c.id == id) return c;
  }
  ADD_FAILURE() << "no control " << id;
  static const ControlState none;
  return none;
}

// The entries of a list or combo box.
inline std::vector<std::string> Items(const ControlState& c) {
  std::vector<std::string> items;
  for (const CString& item : c.items) items.push_back(item.str());
  return items;
}
