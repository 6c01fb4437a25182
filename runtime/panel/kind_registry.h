// The kinds of control (control_kind.h), each registered by the name of the
// widget class a panel file gives it; the run-time's own are registered in
// kind_registry.cpp and nowhere else.
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "runtime/panel/control_kind.h"

namespace rt {

// The kind registered for `className`, or nullptr when no kind claims it.
const ControlKind *KindForClass(QStringView className);
// Every class name of the run-time's own kinds, in the registry's order.
std::vector<std::string> KindClassNames();

// A kind from outside the run-time (a test's own, or CONTRIBUTING.md's
// example) registered for `className` while this object lives. The name must
// be one no kind of the run-time claims: the run-time's own always win, so
// such a kind can never stand in for one of them, and a name already taken
// stops the program.
class ScopedKind {
public:
  ScopedKind(std::string className, const ControlKind &kind);
  ~ScopedKind();
  ScopedKind(const ScopedKind &) = delete;
  ScopedKind &operator=(const ScopedKind &) = delete;

private:
  std::string className_;
};

// Gives assistive technology each kind's interface for its widgets (their
// own, where the kind has one; Qt's otherwise). Later calls do nothing.
// Before the first panel is built: Qt keeps the first interface it made for
// an object.
void InstallKindAccessibility();

} // namespace rt
