// The text of a line edit inside a control (a number box's field), read and
// edited by assistive technology through the control's own interface: Qt
// gives a spin box's field no interface of its own, and its private one for
// line edits is out of reach. Edits are the operator's typing.
#pragma once

#include <QAccessible>
#include <QLineEdit>
#include <QPointer>

namespace rt {

class FieldText : public QAccessibleTextInterface, public QAccessibleEditableTextInterface {
public:
  explicit FieldText(QLineEdit *field) : field_(field) {}

  void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint &point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int *startOffset, int *endOffset) const override;

  void deleteText(int startOffset, int endOffset) override;
  void insertText(int offset, const QString &text) override;
  void replaceText(int startOffset, int endOffset, const QString &text) override;

private:
  QPointer<QLineEdit> field_;
};

} // namespace rt
