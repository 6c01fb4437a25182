// Where the panel file is: the one search the panel (LoadPanel) and the
// console program (the limits of the panel's controls, panel_limits.h) share.
#pragma once

#include <QList>
#include <QString>

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

// The values of a ring's `count` items from its `itemValues` property ("1,0":
// one per item, in order); an item without a whole number there carries its
// index.
QList<int> RingItemValues(const QString &itemValues, int count);

} // namespace rt
