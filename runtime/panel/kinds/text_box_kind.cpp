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
class TextBox final : public KindFor<Box> {
public:
  QWidget *create(QWidget *) const override { return nullptr; } // Qt's own

  bool sends(int) const override { return false; }
  void bind(ControlEntry &, PanelEntry &, RaiseEvent) const override {}
  QAccessibleInterface *accessible(QWidget *) const override { return nullptr; }
  bool isPress() const override { return false; }

  int value(const QWidget *, int *) const override { return UIE_BAD_ATTRIBUTE; }
  int setValue(QWidget *, int) const override { return UIE_BAD_ATTRIBUTE; }
  bool takes(int) const override { return false; }
  int setAttribute(QWidget *, int, double) const override { return UIE_BAD_ATTRIBUTE; }
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
