// Reading a panel file and binding its controls.
//
// The panel file is a Qt Designer form. A widget that carries the dynamic
// property `ctrlId` (int) is a control with that ID; its `callback` property
// (string) names the callback it sends its events to. The custom controls
// (NumericControl, RingControl, PortSelector, Led, Meter, Graph, TimerControl)
// are declared in the form as promoted widgets. Where the file is looked for:
// runtime/console/panel_file.h.
#pragma once

#include <QString>
#include <QWidget>

#include "runtime/panel/panel_registry.h"

namespace rt {

// The panel's top-level widget, or nullptr when the file is missing or is not
// a readable form.
QWidget *BuildPanelWidget(const QString &path);

// Collects the controls of `window` into `panel`, callbacks not yet bound
// (BindControls does that). UIE_FILE for a control ID that is not a positive
// integer or that two widgets share; 0 otherwise.
int CollectControls(QWidget *window, PanelEntry &panel);

// Connects every control's events to its callback; `panel.handle` is set.
void ConnectControls(PanelEntry &panel);
// True when ConnectControls connects `event` for controls of `kind`.
bool KindSends(ControlKind kind, int event);

} // namespace rt
