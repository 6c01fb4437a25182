// Reading a panel file and binding its controls.
//
// The panel file is a Qt Designer form. A widget that carries the dynamic
// property `ctrlId` (int) is a control with that ID; its `callback` property
// (string) names the callback it sends its events to. Each control's class,
// as the form names it, must be one a kind of control claims
// (kind_registry.cpp); the run-time's own classes are declared in the form as
// promoted widgets. Where the file is looked for:
// runtime/console/panel_file.h.
#pragma once

#include <QString>
#include <QWidget>

#include <map>

#include "runtime/panel/panel_registry.h"

namespace rt {

// A form read from a panel file: its top-level widget, and the class the file
// names for each widget it made (a class no kind claims is made as Qt's
// loader makes it, and named when it fails the load).
struct BuiltForm {
  QWidget *window = nullptr;
  std::map<const QWidget *, QString> classes;
};

// The form, with a null window when the file is missing or is not a readable
// form.
BuiltForm BuildPanelWidget(const QString &path);

// Collects the controls of `form` into `panel`, each with its kind, callbacks
// not yet bound (BindControls does that). UIE_FILE, with a warning naming
// what is wrong, for a control ID that is not a positive integer or that two
// widgets share, and for a control whose class no kind claims; 0 otherwise.
int CollectControls(const BuiltForm &form, PanelEntry &panel);

// Has each control's kind connect the routes that raise its events to its
// callback; `panel.handle` is set.
void ConnectControls(PanelEntry &panel);

} // namespace rt
