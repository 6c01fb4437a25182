#include "runtime/panel/control_binding.h"

#include <QtGlobal>

#include <string>

#include "runtime/core/control_table.h"
#include "runtime/panel/panel_loader.h"

namespace rt {

namespace {

int Refuse(int id, const std::string &why) {
  qWarning("panel file: control %d: %s", id, why.c_str());
  return UIE_FILE;
}

} // namespace

int BindControls(PanelEntry &panel) {
  for (auto &[id, entry] : panel.controls) {
    const ControlRow *row = FindControlRow(id);
    if (!row) {
      if (!entry.callbackName.empty())
        return Refuse(id, "is not in the control table, yet names callback \"" +
                              entry.callbackName + "\"");
      continue;
    }
    const std::string objectName = entry.widget ? entry.widget->objectName().toStdString() : "";
    if (objectName != row->objectName)
      return Refuse(id, "is named \"" + objectName + "\", the control table says \"" +
                            row->objectName + "\"");
    if (entry.callbackName != row->callbackName)
      return Refuse(id, "names callback \"" + entry.callbackName + "\", the control table says \"" +
                            row->callbackName + "\"");
    if (row->callback && !entry.kind->sends(row->event))
      return Refuse(id, "never sends event " + std::to_string(row->event) +
                            ", which its callback acts on");
    entry.callback = row->callback;
  }
  for (const ControlRow &row : RegisteredControls())
    if (panel.controls.count(row.id) == 0)
      return Refuse(row.id, std::string("\"") + row.objectName + "\" is missing");
  return 0;
}

} // namespace rt
