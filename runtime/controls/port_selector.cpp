#include "runtime/controls/port_selector.h"

#include <QCompleter>
#include <QLineEdit>

#include "runtime/core/port_choices.h"

namespace {

// A POSIX device path is a file name, taken byte for byte; only Windows port
// names ignore case (COM3 is com3). Paths are compared by their key, which
// also knows \\.\COM3 as COM3.
#ifdef _WIN32
constexpr Qt::CaseSensitivity kNameCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kNameCase = Qt::CaseSensitive;
#endif

enum Role { PortRole = Qt::UserRole, PathRole, KindRole };
enum Kind { SystemPort = 0, TypedPath = 1, BuiltInDevice = 2 };

} // namespace

PortSelector::PortSelector(QWidget *parent) : QComboBox(parent) {
  setEditable(true);
  // Matches are offered in a drop-down, never written into the field: a
  // typed "/dev/ttyUSB1" must not become a listed "/dev/ttyUSB10" on Enter.
  // The combo box also picks a listed entry on Enter by the completer's
  // case rule.
  if (QCompleter *c = completer()) {
    c->setCompletionMode(QCompleter::PopupCompletion);
    c->setCaseSensitivity(kNameCase);
  }
  setInsertPolicy(QComboBox::NoInsert);
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(12);
  connect(this, &QComboBox::currentIndexChanged, this, &PortSelector::onIndexChanged);
  connect(lineEdit(), &QLineEdit::editingFinished, this, &PortSelector::onTextConfirmed);
}

int PortSelector::currentPort() const {
  const int index = currentIndex();
  return index < 0 ? 0 : portAt(index);
}

int PortSelector::portAt(int index) const {
  return itemData(index, PortRole).toInt();
}

bool PortSelector::currentIsBuiltIn() const {
  const int index = currentIndex();
  return index >= 0 && itemData(index, KindRole).toInt() == BuiltInDevice;
}

int PortSelector::indexOfPort(int port) const {
  for (int i = 0; i < count(); ++i)
    if (portAt(i) == port)
      return i;
  return -1;
}

void PortSelector::fillList() {
  clear();
  for (const rt::PortChoice &choice : rt::CurrentPortChoices()) {
    addItem(QString::fromStdString(choice.label));
    const int i = count() - 1;
    setItemData(i, choice.port, PortRole);
    setItemData(i, QString::fromStdString(choice.path), PathRole);
    setItemData(i,
                choice.builtIn ? BuiltInDevice
                : choice.typed ? TypedPath
                               : SystemPort,
                KindRole);
    if (!choice.path.empty())
      setItemData(i, QString::fromStdString(choice.path), Qt::ToolTipRole);
  }
}

void PortSelector::chooseInitialPort() {
  quiet_ = true;
  fillList();
  int chosen = -1;
  for (int kind : {SystemPort, BuiltInDevice}) {
    for (int i = 0; i < count() && chosen < 0; ++i)
      if (itemData(i, KindRole).toInt() == kind)
        chosen = i;
  }
  if (chosen < 0 && count() > 0)
    chosen = 0;
  setCurrentIndex(chosen);
  quiet_ = false;
  lastPort_ = currentPort();
}

void PortSelector::refreshChoices() {
  const int keep = lastPort_;
  quiet_ = true;
  fillList();
  const int index = indexOfPort(keep);
  setCurrentIndex(index >= 0 ? index : (count() > 0 ? 0 : -1));
  quiet_ = false;
  // The chosen port is gone from the system: the choice moved on.
  onIndexChanged();
}

bool PortSelector::selectPort(int port) {
  quiet_ = true;
  if (indexOfPort(port) < 0) {
    // It may have joined the list since it was last read.
    fillList();
    const int kept = indexOfPort(lastPort_);
    setCurrentIndex(kept >= 0 ? kept : (count() > 0 ? 0 : -1));
  }
  const int index = indexOfPort(port);
  if (index >= 0)
    setCurrentIndex(index);
  quiet_ = false;
  lastPort_ = currentPort();
  return index >= 0;
}

bool PortSelector::choosePort(int port) {
  if (indexOfPort(port) < 0) {
    quiet_ = true;
    fillList(); // it may have joined the list since it was last read
    setCurrentIndex(indexOfPort(lastPort_) >= 0 ? indexOfPort(lastPort_) : (count() > 0 ? 0 : -1));
    quiet_ = false;
  }
  const int index = indexOfPort(port);
  if (index < 0)
    return false;
  setCurrentIndex(index);
  onIndexChanged();
  return true;
}

void PortSelector::showPopup() {
  refreshChoices();
  QComboBox::showPopup();
}

void PortSelector::onIndexChanged() {
  if (quiet_)
    return;
  const int port = currentPort();
  if (port == lastPort_)
    return;
  lastPort_ = port;
  emit choiceChanged();
}

void PortSelector::onTextConfirmed() {
  const QString text = lineEdit()->text().trimmed();
  const int current = currentIndex();
  if (text.isEmpty() || (current >= 0 && text == itemText(current))) {
    if (current >= 0)
      lineEdit()->setText(itemText(current));
    return;
  }
  for (int i = 0; i < count(); ++i) {
    if (text.compare(itemText(i), kNameCase) == 0 ||
        rt::PortPathKey(text.toStdString()) ==
            rt::PortPathKey(itemData(i, PathRole).toString().toStdString())) {
      setCurrentIndex(i);
      lineEdit()->setText(itemText(i));
      return;
    }
  }
  // A device path: it gets a number and stays in the list from now on.
  const int port = rt::AddTypedPortChoice(text.toStdString());
  if (port <= 0) {
    if (current >= 0)
      lineEdit()->setText(itemText(current));
    return;
  }
  const int keep = lastPort_;
  quiet_ = true;
  fillList();
  if (indexOfPort(port) < 0) {
    addItem(text);
    setItemData(count() - 1, port, PortRole);
    setItemData(count() - 1, text, PathRole);
    setItemData(count() - 1, TypedPath, KindRole);
  }
  setCurrentIndex(indexOfPort(keep));
  quiet_ = false;
  setCurrentIndex(indexOfPort(port));
  lineEdit()->setText(itemText(currentIndex()));
  onIndexChanged();
}
