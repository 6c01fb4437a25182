// The limits of the panel's value controls, read with Qt's XML reader from the
// panel file (a Qt Designer form): no widget is made.
#include "runtime/core/panel_limits.h"

#include <QFile>
#include <QXmlStreamReader>

#include <algorithm>

#include "runtime/console/panel_file.h"

namespace rt {

namespace {

// The form's own class names for the two kinds of value control (plain
// characters: the limits may be read while static objects are made).
constexpr char kNumericClass[] = "NumericControl";
constexpr char kRingClass[] = "RingControl";

// A spin box's range when the form does not set it.
constexpr int kSpinBoxMinimum = 0;
constexpr int kSpinBoxMaximum = 99;

class LimitsReader {
public:
  LimitsReader(QXmlStreamReader &xml, std::map<int, ControlLimits> &limits)
      : xml_(xml), limits_(limits) {}

  // Every widget inside the current element, however deep (layouts hold
  // items that hold widgets).
  void Children() {
    while (xml_.readNextStartElement()) {
      if (xml_.name() == QLatin1String("widget"))
        Widget();
      else
        Children();
    }
  }

  int duplicateId = -1;

private:
  void Widget() {
    const auto type = xml_.attributes().value(QLatin1String("class"));
    const bool numeric = type == QLatin1String(kNumericClass),
               ring = type == QLatin1String(kRingClass);
    ControlLimits limits;
    limits.ring = ring;
    limits.minimum = kSpinBoxMinimum;
    limits.maximum = kSpinBoxMaximum;
    int id = -1, items = 0, value = 0;
    QString itemValues;
    while (xml_.readNextStartElement()) {
      if (xml_.name() == QLatin1String("property")) {
        const QString name = xml_.attributes().value(QLatin1String("name")).toString();
        bool ok = false;
        const QString text = PropertyText();
        const int number = text.toInt(&ok);
        // Applied in the file's order, as the spin box takes them: each bound
        // moves the other when they cross.
        if (name == QLatin1String("ctrlId") && ok) {
          id = number;
        } else if (numeric && ok && name == QLatin1String("minimum")) {
          limits.minimum = number;
          limits.maximum = std::max(limits.maximum, number);
        } else if (numeric && ok && name == QLatin1String("maximum")) {
          limits.maximum = number;
          limits.minimum = std::min(limits.minimum, number);
        } else if (numeric && ok && name == QLatin1String("value")) {
          value = number;
        } else if (ring && name == QLatin1String("itemValues")) {
          itemValues = text;
        }
      } else if (ring && xml_.name() == QLatin1String("item")) {
        ++items;
        xml_.skipCurrentElement();
      } else if (xml_.name() == QLatin1String("widget")) {
        Widget();
      } else {
        Children();
      }
    }
    if (id < 0 || !(numeric || ring))
      return;
    if (ring) {
      for (int choice : RingItemValues(itemValues, items))
        limits.choices.push_back(choice);
      if (!limits.choices.empty())
        limits.start = limits.choices.front(); // a ring starts at its first item
    } else {
      limits.start = std::clamp(value, limits.minimum, limits.maximum);
    }
    if (!limits_.emplace(id, limits).second)
      duplicateId = id;
  }

  // The text of the one value element a property holds (<number>, <string>,
  // ...); the reader ends after the property.
  QString PropertyText() {
    QString text;
    bool first = true;
    while (xml_.readNextStartElement()) {
      if (first)
        text = xml_.readElementText(QXmlStreamReader::SkipChildElements);
      else
        xml_.skipCurrentElement();
      first = false;
    }
    return text;
  }

  QXmlStreamReader &xml_;
  std::map<int, ControlLimits> &limits_;
};

} // namespace

bool ReadControlLimits(const char *fileName, std::map<int, ControlLimits> *limits,
                       std::string *error) {
  const QString path = ResolvePanelPath(fileName);
  auto fail = [&](const QString &why) {
    if (error)
      *error = (path.isEmpty() ? QStringLiteral("(no name)") : path).toStdString() + ": " +
               why.toStdString();
    return false;
  };
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
    return fail(path.isEmpty() ? QStringLiteral("no panel file named") : file.errorString());
  std::map<int, ControlLimits> read;
  QXmlStreamReader xml(&file);
  LimitsReader reader(xml, read);
  if (!xml.readNextStartElement() || xml.name() != QLatin1String("ui"))
    return fail(xml.hasError() ? xml.errorString() : QStringLiteral("not a Qt Designer form"));
  reader.Children();
  if (xml.hasError())
    return fail(QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString()));
  if (reader.duplicateId >= 0)
    return fail(QStringLiteral("two controls have the ID %1").arg(reader.duplicateId));
  if (limits)
    *limits = std::move(read);
  return true;
}

} // namespace rt
