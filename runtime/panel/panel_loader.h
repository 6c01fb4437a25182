// Reading a panel file and binding its controls.
//
// The panel file is a Qt Designer form. A widget that carries the dynamic
// property `ctrlId` (int) is a control with that ID; its `callback` property
// (string) names the callback it sends its events to. The custom controls
// (NumericControl, RingControl, PortSelector, Led, Meter, Graph, TimerControl)
// are declared in the form as promoted widgets.
#pragma once

#include <QString>
#include <QWidget>

#include "runtime/panel/panel_registry.h"

namespace rt {

// A bare file name is looked up beside the executable (a build tree), then in
// the data folder of the executable's prefix, `<exe dir>/../share/nuvaro/` (an
// installed program), so the program finds its panel from any working
// directory; a name with a folder part is used as given.
QString ResolvePanelPath(const char *fileName);

// The search behind ResolvePanelPath for the bare `name` and the executable's
// folder `exeDir`: the first of the two places that holds the file, or the
// path beside the executable when neither does.
QString FindPanelFile(const QString &exeDir, const QString &name);

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
