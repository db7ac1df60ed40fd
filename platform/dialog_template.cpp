#include "platform/dialog_template.h"

#include <map>

namespace {

std::map<int, const DialogTemplate*>& Registry() {
  static std::map<int, const DialogTemplate*> registry;
  return registry;
}

}  // namespace

void RegisterDialogTemplate(const DialogTemplate& dialog_template) {
  Registry()[dialog_template.id] = &dialog_template;
}

const DialogTemplate* RegisteredDialogTemplate(int id) {
  const auto& registry = Registry();
  const auto found = registry.find(id);
  return found == registry.end() ? nullptr : found->second;
}
