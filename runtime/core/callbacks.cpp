#include "runtime/core/callbacks.h"

#include <map>

namespace rt {

namespace {

std::map<std::string, CtrlCallbackPtr> &Table() {
  static std::map<std::string, CtrlCallbackPtr> table;
  return table;
}

} // namespace

void RegisterCallback(const std::string &name, CtrlCallbackPtr function) {
  if (name.empty())
    return;
  if (function)
    Table()[name] = function;
  else
    Table().erase(name);
}

void RegisterCallbacks(const CallbackBinding *table, int count) {
  if (!table)
    return;
  for (int i = 0; i < count; ++i)
    if (table[i].name)
      RegisterCallback(table[i].name, table[i].function);
}

CtrlCallbackPtr FindCallback(const std::string &name) {
  const auto found = Table().find(name);
  return found == Table().end() ? nullptr : found->second;
}

void ClearCallbacks() { Table().clear(); }

} // namespace rt
