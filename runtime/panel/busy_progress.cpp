#include "runtime/core/busy_progress.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QPointer>

#include "runtime/panel/busy.h"

namespace {

struct Shown {
  QPointer<QAbstractButton> button;
  QString ownText;
  QKeySequence ownShortcut; // setText replaces the shortcut with the text's mnemonic
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
  auto *button = qobject_cast<QAbstractButton *>(control);
  if (!source || !button)
    return;
  const std::string text = source();
  if (text.empty() || (shown.button == button && text == shown.text))
    return;
  if (shown.button != button) {
    RestoreProgress();
    shown.button = button;
    shown.ownText = button->text();
    shown.ownShortcut = button->shortcut();
  }
  shown.text = text;
  button->setText(QString::fromStdString(text));
  button->repaint();
}

void RestoreProgress() {
  if (QAbstractButton *button = shown.button) {
    button->setText(shown.ownText);
    button->setShortcut(shown.ownShortcut);
  }
  shown = Shown{};
}

} // namespace rt::busy
