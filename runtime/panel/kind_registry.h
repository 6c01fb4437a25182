// The kinds of control (control_kind.h), each registered by the name of the
// widget class a panel file gives it; registered in kind_registry.cpp and
// nowhere else.
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "runtime/panel/control_kind.h"

namespace rt {

// The kind registered for `className`, or nullptr when no kind claims it.
const ControlKind *KindForClass(QStringView className);
// Every registered class name, in the registry's order.
std::vector<std::string> KindClassNames();

// Gives assistive technology each kind's interface for its widgets (their
// own, where the kind has one; Qt's otherwise). Later calls do nothing.
// Before the first panel is built: Qt keeps the first interface it made for
// an object.
void InstallKindAccessibility();

} // namespace rt
