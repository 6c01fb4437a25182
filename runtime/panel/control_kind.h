// What a kind of control is, in one class.
//
// Each widget class a panel file may give a control ID to has one kind
// (runtime/panel/kinds/), registered by the class's name in one place
// (kind_registry.cpp). The kind makes the widget for the panel file, says
// which events it sends its callback and connects every route by which the
// operator raises them (mouse, keyboard, and the accessible action and value
// interfaces a screen reader acts through), reads and sets its value, takes
// its attributes and limits, says whether it is a press that a busy spell or
// a popup refuses, and plays its part, where it has one, in ticks, meter
// staleness, graphs, log views and the busy progress. The panel operations
// ask the kind and never look at the widget's class themselves.
//
// A kind holds no state: the widget it acts on is passed in, and is always
// of the class the kind is registered for. The questions every kind must
// answer are pure virtual, so a new kind that forgets one does not build; the
// parts only some kinds play say "none" by default.
#pragma once

#include <functional>

#include "runtime/core/events.h"

class QAccessibleInterface;
class QString;
class QWidget;
struct LogRow;

namespace rt {

struct ControlEntry;
struct PanelEntry;

// Dispatches one of the control's events to its callback.
using RaiseEvent = std::function<void(int event)>;

class ControlKind {
public:
  virtual ~ControlKind() = default;

  // The widget for a panel file; nullptr when Qt's form loader makes it (a
  // stock Qt class).
  virtual QWidget *create(QWidget *parent) const = 0;

  // Whether a control of this kind sends `event` to its callback.
  virtual bool sends(int event) const = 0;
  // Connects the routes that raise its events, once the panel is loaded and
  // its callbacks bound; `panel` is the panel it stands on.
  virtual void bind(ControlEntry &control, PanelEntry &panel, RaiseEvent raise) const = 0;
  // What assistive technology sees of the widget and acts through: nullptr
  // leaves it to Qt.
  virtual QAccessibleInterface *accessible(QWidget *widget) const = 0;
  // A press (a command, a click on a lamp) is refused while a callback runs,
  // while a modal popup is up and while busy input is drained; a value is
  // taken whenever it comes, so that no control shows what the program never
  // took.
  virtual bool isPress() const = 0;

  // The value as a 32-bit integer: 0; UIE_BAD_ATTRIBUTE for a control
  // without one; UIE_BAD_VALUE for a value it cannot take.
  virtual int value(const QWidget *widget, int *value) const = 0;
  virtual int setValue(QWidget *widget, int value) const = 0;
  // The attributes it takes besides dimming and visibility, which every
  // control takes, and setting one; an integer attribute arrives as a whole
  // number in the range of int.
  virtual bool takes(int attribute) const = 0;
  virtual int setAttribute(QWidget *widget, int attribute, double value) const = 0;
  // Replacing the text it holds (ResetTextBox): UIE_BAD_ATTRIBUTE when it
  // holds none.
  virtual int resetText(QWidget *widget, const QString &text) const = 0;

  // Its part in what the run-time does for every control, where it has one.
  // A command is given while the control has the keyboard focus: a value
  // typed there but not yet confirmed counts as confirmed first.
  virtual void commitPendingEdit(QWidget *) const {}
  // Its panel is shown and timer callbacks run / they are suspended or the
  // panel goes.
  virtual void startTicking(QWidget *) const {}
  virtual void stopTicking(QWidget *) const {}
  // A timer tick of its panel was handled; a port was lost.
  virtual void timerTickHandled(QWidget *) const {}
  virtual void portLost(QWidget *) const {}
  // Graphs: deleting one plot, or all (VAL_ALL_OBJECTS), and plotting
  // `count` samples (nullptr: none of a type it takes) in colour 0xRRGGBB;
  // UIE_BAD_VALUE for samples or a colour it cannot plot.
  virtual int deletePlots(QWidget *, int /*plot*/) const { return UIE_BAD_ATTRIBUTE; }
  virtual int plot(QWidget *, const double * /*samples*/, int /*count*/, int /*color*/) const {
    return UIE_BAD_ATTRIBUTE;
  }
  // Log views: a row to show (PutLogRow).
  virtual int putRow(QWidget *, const LogRow &) const { return UIE_BAD_ATTRIBUTE; }
  // The busy progress: while its callback blocks, the control says `text`
  // (false: it has nowhere to say it); then its own caption comes back.
  virtual bool showProgress(QWidget *, const QString & /*text*/) const { return false; }
  virtual void restoreCaption(QWidget *) const {}
};

// The widget of the class a kind is registered for, to the kind that acts on
// it; the registry never hands a kind another class.
template <typename Widget> class KindFor : public ControlKind {
protected:
  static Widget &Of(QWidget *widget) { return *static_cast<Widget *>(widget); }
  static const Widget &Of(const QWidget *widget) { return *static_cast<const Widget *>(widget); }
};

// A part a kind lacks, said once in its list of bases instead of answered
// method by method: `class Label final : public NoText<NoValue<KindFor<QLabel>>>`.
//
// Its controls send their callback no event.
template <typename Base> class SendsNothing : public Base {
public:
  bool sends(int) const override { return false; }
  void bind(ControlEntry &, PanelEntry &, RaiseEvent) const override {}
};
// They hold no integer value.
template <typename Base> class NoValue : public Base {
public:
  int value(const QWidget *, int *) const override { return UIE_BAD_ATTRIBUTE; }
  int setValue(QWidget *, int) const override { return UIE_BAD_ATTRIBUTE; }
};
// They take no attribute but dimming and visibility.
template <typename Base> class NoOwnAttributes : public Base {
public:
  bool takes(int) const override { return false; }
  int setAttribute(QWidget *, int, double) const override { return UIE_BAD_ATTRIBUTE; }
};
// They hold no text.
template <typename Base> class NoText : public Base {
public:
  int resetText(QWidget *, const QString &) const override { return UIE_BAD_ATTRIBUTE; }
};

} // namespace rt
