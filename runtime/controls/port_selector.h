// The port choice: an editable list of the ports the operator can use (system
// serial ports, typed device paths, built-in devices). The list is read again
// each time it opens. A device path typed into the field (confirmed with
// Enter or by leaving the field) joins the list and becomes the choice,
// exactly as typed: completion only offers matches in a drop-down.
// choiceChanged() follows every change of the chosen port that the program
// did not ask for; selectPort() is the program's way and emits nothing.
#pragma once

#include <QComboBox>

class PortSelector : public QComboBox {
  Q_OBJECT

public:
  explicit PortSelector(QWidget *parent = nullptr);

  // The port number of the chosen entry, 0 when the list is empty.
  int currentPort() const;
  // The port number of entry `index`.
  int portAt(int index) const;
  // The chosen entry is a built-in (in-process) device.
  bool currentIsBuiltIn() const;
  // Chooses the entry for `port`, reading the list again when it is not
  // there; false when the list has none. Emits nothing.
  bool selectPort(int port);
  // The operator's choice of `port`, as picking it from the list does (from
  // assistive technology): choiceChanged() when it is another port; false,
  // and nothing, when the list has none.
  bool choosePort(int port);
  // Fills the list and chooses the first system serial port, else the first
  // built-in device, else the first entry. Emits nothing.
  void chooseInitialPort();
  // Reads the list again, keeping the chosen port when it is still listed.
  void refreshChoices();

  void showPopup() override;

signals:
  void choiceChanged();

private:
  void fillList();
  int indexOfPort(int port) const;
  void onTextConfirmed();
  void onIndexChanged();

  bool quiet_ = false;
  int lastPort_ = 0;
};
