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
    const ControlSpec *spec = FindControlSpec(id);
    if (!spec) {
      if (!entry.callbackName.empty())
        return Refuse(id, "is not in the control table, yet names callback \"" +
                              entry.callbackName + "\"");
      continue;
    }
    const std::string objectName = entry.widget ? entry.widget->objectName().toStdString() : "";
    if (objectName != spec->objectName)
      return Refuse(id, "is named \"" + objectName + "\", the control table says \"" +
                            spec->objectName + "\"");
    if (entry.callbackName != spec->callbackName)
      return Refuse(id, "names callback \"" + entry.callbackName + "\", the control table says \"" +
                            spec->callbackName + "\"");
    if (spec->callback && !KindSends(entry.kind, spec->event))
      return Refuse(id, "never sends event " + std::to_string(spec->event) +
                            ", which its callback acts on");
    entry.callback = spec->callback;
  }
  for (const ControlSpec &spec : RegisteredControls())
    if (panel.controls.count(spec.id) == 0)
      return Refuse(spec.id, std::string("\"") + spec.objectName + "\" is missing");
  return 0;
}

} // namespace rt
