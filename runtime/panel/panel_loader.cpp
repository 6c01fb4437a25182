#include "runtime/panel/panel_loader.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QUiLoader>

#include <memory>

#include "runtime/controls/graph.h"
#include "runtime/controls/led.h"
#include "runtime/controls/log_view.h"
#include "runtime/controls/meter.h"
#include "runtime/controls/numeric_control.h"
#include "runtime/controls/port_selector.h"
#include "runtime/controls/rate_trend.h"
#include "runtime/controls/ring_control.h"
#include "runtime/controls/timer_control.h"
#include "runtime/panel/panel_access.h"

namespace rt {

namespace {

// Creates the panel's own control classes; every other class in the form is
// a standard Qt widget. Make one with MakeLoader(), never directly.
class PanelUiLoader : public QUiLoader {
public:
  PanelUiLoader() { setLanguageChangeEnabled(false); }

  QWidget *createWidget(const QString &className, QWidget *parent, const QString &name) override {
    QWidget *widget = nullptr;
    if (className == QLatin1String("NumericControl"))
      widget = new NumericControl(parent);
    else if (className == QLatin1String("RingControl"))
      widget = new RingControl(parent);
    else if (className == QLatin1String("PortSelector"))
      widget = new PortSelector(parent);
    else if (className == QLatin1String("Led"))
      widget = new Led(parent);
    else if (className == QLatin1String("Meter"))
      widget = new Meter(parent);
    else if (className == QLatin1String("Graph"))
      widget = new Graph(parent);
    else if (className == QLatin1String("TimerControl"))
      widget = new TimerControl(parent);
    else if (className == QLatin1String("LogView"))
      widget = new LogView(parent);
    else if (className == QLatin1String("RateTrend"))
      widget = new RateTrend(parent);
    if (!widget)
      return QUiLoader::createWidget(className, parent, name);
    widget->setObjectName(name);
    return widget;
  }
};

// QUiLoader's constructor loads every Qt Designer plug-in it finds in the
// "designer" folder of each library path, and clearing its plug-in paths
// afterwards is too late: they stay mapped. One of them (the Qt Quick widget,
// which Designer installs) pulls in Qt Quick, QML and Qt Network, megabytes
// and milliseconds the panel never uses. So the loader is made while the
// application has no library paths; putting the same list back costs no new
// scan, since every folder in it has been scanned already.
std::unique_ptr<PanelUiLoader> MakeLoader() {
  const QStringList paths = QCoreApplication::libraryPaths();
  QCoreApplication::setLibraryPaths({});
  auto loader = std::make_unique<PanelUiLoader>();
  QCoreApplication::setLibraryPaths(paths);
  return loader;
}

// A command given by a shortcut leaves the keyboard focus where it was; a
// value typed there but not yet confirmed counts as confirmed first, as it
// would when the operator clicks the button.
void CommitEditInFocus() {
  for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
    if (auto *numeric = qobject_cast<NumericControl *>(w)) {
      numeric->commitPendingEdit();
      return;
    }
  }
}

// The widget the selector's builtInNotice property names is shown exactly
// while a built-in device is the choice: the operator never takes the demo
// device for hardware.
void ShowBuiltInNotice(PanelEntry &panel, PortSelector *selector) {
  const QString name = selector->property("builtInNotice").toString();
  QWidget *notice =
      name.isEmpty() || !panel.window ? nullptr : panel.window->findChild<QWidget *>(name);
  if (!notice)
    return;
  auto follow = [selector, notice] { notice->setVisible(selector->currentIsBuiltIn()); };
  QObject::connect(selector, &QComboBox::currentIndexChanged, notice, follow);
  follow();
}

} // namespace

QWidget *BuildPanelWidget(const QString &path) {
  if (path.isEmpty())
    return nullptr;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return nullptr;
  return MakeLoader()->load(&file, nullptr);
}

int CollectControls(QWidget *window, PanelEntry &panel) {
  QList<QWidget *> widgets = window->findChildren<QWidget *>();
  widgets.prepend(window);
  const QList<QLabel *> labels = window->findChildren<QLabel *>();
  for (QWidget *widget : widgets) {
    const QVariant idProperty = widget->property("ctrlId");
    if (!idProperty.isValid())
      continue;
    bool ok = false;
    const int id = idProperty.toInt(&ok);
    if (!ok || id <= 0 || panel.controls.count(id) != 0)
      return UIE_FILE;
    ControlEntry entry;
    entry.id = id;
    entry.kind = KindOf(widget);
    entry.widget = widget;
    entry.callbackName = widget->property("callback").toString().toStdString();
    for (QLabel *label : labels)
      if (label->buddy() == widget)
        entry.labels.append(label);
    panel.controls.emplace(id, std::move(entry));
  }
  return 0;
}

// Keep in step with the switch in ConnectControls below.
bool KindSends(ControlKind kind, int event) {
  switch (kind) {
  case ControlKind::Numeric:
  case ControlKind::Ring: return event == EVENT_VAL_CHANGED || event == EVENT_COMMIT;
  case ControlKind::PortSelector: return event == EVENT_VAL_CHANGED;
  case ControlKind::Led: return event == EVENT_LEFT_CLICK;
  case ControlKind::CommandButton: return event == EVENT_COMMIT;
  case ControlKind::Timer: return event == EVENT_TIMER_TICK;
  default: return false;
  }
}

void ConnectControls(PanelEntry &panel) {
  const int handle = panel.handle;
  if (panel.window)
    for (RateTrend *trend : panel.window->findChildren<RateTrend *>())
      trend->follow(panel.window->findChild<Meter *>(trend->meterName()));
  for (auto &[id, entry] : panel.controls) {
    QWidget *widget = entry.widget;
    const int control = id;
    auto sender = [handle, control](int event) {
      return [handle, control, event] { DispatchEvent(handle, control, event); };
    };
    switch (entry.kind) {
    case ControlKind::Numeric: {
      auto *numeric = static_cast<NumericControl *>(widget);
      numeric->markCommitted();
      QObject::connect(numeric, &NumericControl::operatorChanged, numeric,
                       sender(EVENT_VAL_CHANGED));
      QObject::connect(numeric, &NumericControl::committed, numeric, sender(EVENT_COMMIT));
      break;
    }
    case ControlKind::Ring: {
      auto *ring = static_cast<RingControl *>(widget);
      ring->applyItemValues();
      QObject::connect(ring, &RingControl::operatorChanged, ring, sender(EVENT_VAL_CHANGED));
      QObject::connect(ring, &RingControl::committed, ring, sender(EVENT_COMMIT));
      break;
    }
    case ControlKind::PortSelector: {
      auto *selector = static_cast<PortSelector *>(widget);
      selector->chooseInitialPort();
      if (selector->lineEdit())
        selector->lineEdit()->setAccessibleName(selector->accessibleName());
      QObject::connect(selector, &PortSelector::choiceChanged, selector, sender(EVENT_VAL_CHANGED));
      ShowBuiltInNotice(panel, selector);
      break;
    }
    case ControlKind::Led:
      QObject::connect(static_cast<Led *>(widget), &Led::leftClicked, widget,
                       sender(EVENT_LEFT_CLICK));
      break;
    case ControlKind::CommandButton:
      QObject::connect(static_cast<QAbstractButton *>(widget), &QAbstractButton::clicked, widget,
                       [commit = sender(EVENT_COMMIT)] {
                         CommitEditInFocus();
                         commit();
                       });
      break;
    case ControlKind::Timer:
      QObject::connect(static_cast<TimerControl *>(widget), &TimerControl::ticked, widget,
                       [tick = sender(EVENT_TIMER_TICK)] {
                         if (!TimerCallbacksSuspended())
                           tick();
                       });
      break;
    default: break;
    }
  }
}

} // namespace rt
