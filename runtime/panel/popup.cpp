// Message popups: a modal box with the text and an OK button, unless a
// handler (tests, tools) takes their place.
#include <QApplication>
#include <QMessageBox>

#include "runtime/core/panel_ops.h"
#include "runtime/panel/busy.h"
#include "runtime/panel/panel_access.h"
#include "runtime/panel/panel_registry.h"

namespace {

rt::PopupHandler &Handler() {
  static rt::PopupHandler handler;
  return handler;
}

// The shown panel the box belongs to: it is centred on it and blocks it.
QWidget *OwnerWindow() {
  if (QWidget *active = QApplication::activeWindow())
    return active;
  for (rt::PanelEntry *panel : rt::AllPanels())
    if (panel->window && panel->window->isVisible())
      return panel->window;
  return nullptr;
}

} // namespace

namespace rt {
void SetPopupHandler(PopupHandler handler) {
  Handler() = std::move(handler);
}
} // namespace rt

int MessagePopup(const char *title, const char *message) {
  const std::string titleText = title ? title : "";
  const std::string messageText = message ? message : "";
  // The operator reads the box with a normal cursor, and a key pressed while
  // the program was busy does not dismiss it unseen.
  rt::busy::EndBusy();
  if (const rt::PopupHandler handler = Handler()) {
    handler(titleText, messageText);
    return 0;
  }
  if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
    return UIE_NOT_INITIALISED;
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(titleText),
                  QString::fromStdString(messageText), QMessageBox::Ok, OwnerWindow());
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
  return 0;
}
