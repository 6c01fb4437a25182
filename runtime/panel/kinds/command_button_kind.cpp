// A command button (QPushButton): a click, its keys or shortcut, or
// assistive technology's press action is a commit, refused as a press is
// while the program is busy or a popup is up. A value typed but not yet
// confirmed in the control that has the focus is committed first. Its colour
// is an attribute, and while its callback blocks it says what the program
// waits for.
#include <QApplication>
#include <QKeySequence>
#include <QPushButton>

#include <memory>

#include "runtime/panel/panel_registry.h"

namespace rt {

namespace {

// A command given by a shortcut leaves the keyboard focus where it was; a
// value typed there but not yet confirmed counts as confirmed first, as it
// would when the operator clicks the button.
void CommitEditInFocus() {
  for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
    if (const ControlEntry *control = FindControlOf(w)) {
      control->kind->commitPendingEdit(w);
      return;
    }
  }
}

// A stylesheet colour keeps working under every widget style (a palette
// colour does not); the text stays black or white, whichever reads better.
void PaintButton(QWidget *button, int rgb) {
  // Every parameter change paints the send button, mostly the colour it has:
  // a new style sheet would only repolish and repaint it.
  if (button->property("cmdButtonColor") == QVariant(rgb))
    return;
  button->setProperty("cmdButtonColor", rgb);
  const QColor fill = QColor::fromRgb(QRgb(0xFF000000u | unsigned(rgb)));
  const QColor text = fill.lightnessF() > 0.55 ? QColor(Qt::black) : QColor(Qt::white);
  button->setStyleSheet(
      QStringLiteral("QPushButton { background-color: %1; color: %2;"
                     " border: 1px solid %3; border-radius: 4px; padding: 4px 14px; }"
                     " QPushButton:hover { background-color: %4; }"
                     " QPushButton:pressed { background-color: %3; }"
                     " QPushButton:focus { border: 2px solid palette(highlight); }"
                     " QPushButton:disabled { background-color: #d8d8d8; color: #808080;"
                     " border-color: #b0b0b0; }")
          .arg(fill.name(), text.name(), fill.darker(140).name(), fill.lighter(110).name()));
}

// Where the button keeps its own caption while it shows the progress (setText
// replaces the shortcut with the text's mnemonic, so that goes too).
const char *const kOwnText = "nuvaroOwnText";
const char *const kOwnShortcut = "nuvaroOwnShortcut";

class CommandButton final : public NoText<NoValue<KindFor<QPushButton>>> {
public:
  QWidget *create(QWidget *) const override { return nullptr; } // Qt's own

  bool sends(int event) const override { return event == EVENT_COMMIT; }
  void bind(ControlEntry &control, PanelEntry &, RaiseEvent raise) const override {
    QPushButton &button = Of(control.widget);
    // Whether to refuse is decided when the button goes down: assistive
    // technology's press animates the click and ends it 100 ms later, when a
    // press it made during a busy spell would otherwise get through.
    auto refused = std::make_shared<bool>(false);
    QObject::connect(&button, &QAbstractButton::pressed, &button,
                     [refused, &button] { *refused = PressRefused(&button); });
    QObject::connect(&button, &QAbstractButton::clicked, &button, [refused, raise] {
      if (*refused)
        return;
      CommitEditInFocus();
      raise(EVENT_COMMIT);
    });
  }
  QAccessibleInterface *accessible(QWidget *) const override { return nullptr; }
  bool isPress() const override { return true; }

  bool takes(int attribute) const override { return attribute == ATTR_CMD_BUTTON_COLOR; }
  int setAttribute(QWidget *widget, int, double value) const override {
    if (value < 0 || value > 0xFFFFFF)
      return UIE_BAD_VALUE;
    PaintButton(widget, static_cast<int>(value));
    return 0;
  }

  bool showProgress(QWidget *widget, const QString &text) const override {
    QPushButton &button = Of(widget);
    if (!button.property(kOwnText).isValid()) {
      button.setProperty(kOwnText, button.text());
      button.setProperty(kOwnShortcut, button.shortcut());
    }
    button.setText(text);
    button.repaint(); // now: the event loop does not run while the callback blocks
    return true;
  }
  void restoreCaption(QWidget *widget) const override {
    QPushButton &button = Of(widget);
    if (!button.property(kOwnText).isValid())
      return;
    button.setText(button.property(kOwnText).toString());
    button.setShortcut(button.property(kOwnShortcut).value<QKeySequence>());
    button.setProperty(kOwnText, QVariant());
    button.setProperty(kOwnShortcut, QVariant());
  }
};

} // namespace

const ControlKind &CommandButtonKind() {
  static const CommandButton kind;
  return kind;
}

} // namespace rt
