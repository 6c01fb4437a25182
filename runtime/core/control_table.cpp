#include "runtime/core/control_table.h"

namespace rt {

namespace {

// Names are copied: the table outlives whatever the caller built it from.
struct Entry {
  ControlRow row;
  std::string objectName;
  std::string callbackName;
};

std::vector<Entry> &Table() {
  static std::vector<Entry> table;
  return table;
}

} // namespace

void RegisterControls(const ControlRow *table, int count) {
  std::vector<Entry> entries;
  for (int i = 0; table && i < count; ++i) {
    Entry e{table[i], table[i].objectName ? table[i].objectName : "",
            table[i].callbackName ? table[i].callbackName : ""};
    entries.push_back(std::move(e));
  }
  // The pointers go to the copies, once they no longer move.
  for (Entry &e : entries) {
    e.row.objectName = e.objectName.c_str();
    e.row.callbackName = e.callbackName.c_str();
  }
  Table() = std::move(entries);
}

std::vector<ControlRow> RegisteredControls() {
  std::vector<ControlRow> rows;
  for (const Entry &e : Table())
    rows.push_back(e.row);
  return rows;
}

const ControlRow *FindControlRow(int id) {
  for (const Entry &e : Table())
    if (e.row.id == id)
      return &e.row;
  return nullptr;
}

CtrlCallbackPtr RegisterCallback(const std::string &name, CtrlCallbackPtr function) {
  CtrlCallbackPtr previous = nullptr;
  if (name.empty())
    return nullptr;
  for (Entry &e : Table()) {
    if (e.callbackName == name) {
      previous = e.row.callback;
      e.row.callback = function;
    }
  }
  return previous;
}

} // namespace rt
