// A text box (QPlainTextEdit, QTextEdit or QLineEdit): text the operator
// types and the program can replace (ResetTextBox). It sends nothing and has
// no integer value.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

// `Put` replaces the box's text.
template <typename Box, void (Box::*Put)(const QString &)>
class TextBox final : public NoOwnAttributes<NoValue<SendsNothing<KindFor<Box>>>> {
public:
  QWidget *create(QWidget *) const override { return nullptr; } // Qt's own

  QAccessibleInterface *accessible(QWidget *) const override { return nullptr; }
  bool isPress() const override { return false; }

  int resetText(QWidget *widget, const QString &text) const override {
    (KindFor<Box>::Of(widget).*Put)(text);
    return 0;
  }
};

} // namespace

const ControlKind &PlainTextBoxKind() {
  static const TextBox<QPlainTextEdit, &QPlainTextEdit::setPlainText> kind;
  return kind;
}

const ControlKind &RichTextBoxKind() {
  static const TextBox<QTextEdit, &QTextEdit::setPlainText> kind;
  return kind;
}

const ControlKind &LineTextBoxKind() {
  static const TextBox<QLineEdit, &QLineEdit::setText> kind;
  return kind;
}

} // namespace rt
