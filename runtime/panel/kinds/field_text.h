// The text of a line edit inside a control (a number box's field), read and
// edited by assistive technology through the control's own interface: Qt
// gives a spin box's field no interface of its own, and its private one for
// line edits is out of reach. Edits are the operator's, and the control says
// what becomes of them: a replace of the whole text, or typing (an insert, a
// delete, a replace of a part).
#pragma once

#include <QAccessible>
#include <QLineEdit>
#include <QPointer>

#include <functional>

namespace rt {

class FieldText : public QAccessibleTextInterface, public QAccessibleEditableTextInterface {
public:
  // The text the edit leaves, and whether it replaced the whole text.
  using Edit = std::function<void(const QString &text, bool whole)>;
  FieldText(QLineEdit *field, Edit edit) : field_(field), edit_(std::move(edit)) {}

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
  void take(int startOffset, int endOffset, const QString &text, bool whole);

  QPointer<QLineEdit> field_;
  Edit edit_;
};

} // namespace rt
