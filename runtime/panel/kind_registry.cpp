#include "runtime/panel/kind_registry.h"

#include <QAccessible>
#include <QWidget>
#include <QtGlobal>

#include <iterator>
#include <map>
#include <utility>

namespace rt {

// Each kind's one instance, defined in its own file in kinds/.
const ControlKind &NumericKind();
const ControlKind &RingKind();
const ControlKind &PortSelectorKind();
const ControlKind &LedKind();
const ControlKind &MeterKind();
const ControlKind &GraphKind();
const ControlKind &TimerKind();
const ControlKind &RateTrendKind();
const ControlKind &LogViewKind();
const ControlKind &CommandButtonKind();
const ControlKind &PlainTextBoxKind();
const ControlKind &RichTextBoxKind();
const ControlKind &LineTextBoxKind();
const ControlKind &LabelKind();

namespace {

struct Registered {
  const char *className; // as the panel file names it
  const ControlKind &(*kind)();
};

// One line a kind. A class given a control ID in a panel file and missing
// here fails the panel's load, naming the class.
constexpr Registered kKinds[] = {
    {"NumericControl", NumericKind},
    {"RingControl", RingKind},
    {"PortSelector", PortSelectorKind},
    {"Led", LedKind},
    {"Meter", MeterKind},
    {"Graph", GraphKind},
    {"TimerControl", TimerKind},
    {"RateTrend", RateTrendKind},
    {"LogView", LogViewKind},
    {"QPushButton", CommandButtonKind},
    {"QPlainTextEdit", PlainTextBoxKind},
    {"QTextEdit", RichTextBoxKind},
    {"QLineEdit", LineTextBoxKind},
    {"QLabel", LabelKind},
};

// Kinds registered from outside while their ScopedKind lives.
std::map<std::string, const ControlKind *, std::less<>> &Outside() {
  static std::map<std::string, const ControlKind *, std::less<>> kinds;
  return kinds;
}

// Asked for each class of an object's hierarchy, most derived first.
QAccessibleInterface *KindInterface(const QString &className, QObject *object) {
  const ControlKind *kind = object->isWidgetType() ? KindForClass(className) : nullptr;
  return kind ? kind->accessible(static_cast<QWidget *>(object)) : nullptr;
}

} // namespace

const ControlKind *KindForClass(QStringView className) {
  for (const Registered &r : kKinds)
    if (className == QLatin1StringView(r.className))
      return &r.kind();
  if (Outside().empty())
    return nullptr;
  const auto outside = Outside().find(className.toString().toStdString());
  return outside != Outside().end() ? outside->second : nullptr;
}

std::vector<std::string> KindClassNames() {
  std::vector<std::string> names;
  for (const Registered &r : kKinds)
    names.emplace_back(r.className);
  return names;
}

ScopedKind::ScopedKind(std::string className, const ControlKind &kind)
    : className_(std::move(className)) {
  if (KindForClass(QString::fromStdString(className_)))
    qFatal("kind registry: class \"%s\" is claimed already", className_.c_str());
  Outside().emplace(className_, &kind);
}

ScopedKind::~ScopedKind() {
  Outside().erase(className_);
}

void InstallKindAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(KindInterface);
    return true;
  }();
  (void)installed;
}

} // namespace rt
