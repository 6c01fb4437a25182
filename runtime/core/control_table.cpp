#include "runtime/core/control_table.h"

namespace rt {

namespace {

// Names are copied: the table outlives whatever the caller built it from.
struct Entry {
  ControlSpec spec;
  std::string objectName;
  std::string callbackName;
};

std::vector<Entry> &Table() {
  static std::vector<Entry> table;
  return table;
}

} // namespace

void RegisterControls(const ControlSpec *table, int count) {
  std::vector<Entry> entries;
  for (int i = 0; table && i < count; ++i) {
    Entry e{table[i], table[i].objectName ? table[i].objectName : "",
            table[i].callbackName ? table[i].callbackName : ""};
    entries.push_back(std::move(e));
  }
  // The pointers go to the copies, once they no longer move.
  for (Entry &e : entries) {
    e.spec.objectName = e.objectName.c_str();
    e.spec.callbackName = e.callbackName.c_str();
  }
  Table() = std::move(entries);
}

std::vector<ControlSpec> RegisteredControls() {
  std::vector<ControlSpec> specs;
  for (const Entry &e : Table())
    specs.push_back(e.spec);
  return specs;
}

const ControlSpec *FindControlSpec(int id) {
  for (const Entry &e : Table())
    if (e.spec.id == id)
      return &e.spec;
  return nullptr;
}

CtrlCallbackPtr RegisterCallback(const std::string &name, CtrlCallbackPtr function) {
  CtrlCallbackPtr previous = nullptr;
  if (name.empty())
    return nullptr;
  for (Entry &e : Table()) {
    if (e.callbackName == name) {
      previous = e.spec.callback;
      e.spec.callback = function;
    }
  }
  return previous;
}

} // namespace rt
