#include "runtime/core/busy_progress.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include "runtime/panel/busy.h"
#include "runtime/panel/panel_registry.h"

namespace {

// The control that says the progress now, and what it says; its kind puts
// its own caption back.
struct Shown {
  QPointer<QWidget> control;
  const rt::ControlKind *kind = nullptr;
  std::string text;
};

BusyTextSource source = nullptr;
Shown shown;

} // namespace

void SetBusyText(BusyTextSource s) {
  source = s;
}

namespace rt::busy {

void ShowProgress(QWidget *control) {
  if (!source || !control)
    return;
  const std::string text = source();
  if (text.empty() || (shown.control == control && text == shown.text))
    return;
  if (shown.control != control)
    RestoreProgress();
  const ControlEntry *entry = FindControlOf(control);
  if (!entry || !entry->kind->showProgress(control, QString::fromStdString(text)))
    return;
  shown = Shown{control, entry->kind, text};
}

void RestoreProgress() {
  if (QWidget *control = shown.control)
    shown.kind->restoreCaption(control);
  shown = Shown{};
}

} // namespace rt::busy
