#include "runtime/core/port_choices.h"

#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QString>

#include <algorithm>
#include <map>

#include "runtime/core/port_table.h"
#include "runtime/core/serial_ops.h"

namespace rt {

namespace {

struct ChoiceState {
  std::map<std::string, int> numberOfPath;
  std::vector<std::string> typedPaths;
  std::vector<PortChoice> builtIns;
};

ChoiceState &State() {
  static ChoiceState state;
  return state;
}

bool NumberTaken(int port) {
  const ChoiceState &s = State();
  for (const auto &[path, number] : s.numberOfPath)
    if (number == port)
      return true;
  return std::any_of(s.builtIns.begin(), s.builtIns.end(),
                     [port](const PortChoice &c) { return c.port == port; });
}

// The number a path would have by the platform's own naming, or 0.
int NaturalNumber(const std::string &path) {
#ifdef _WIN32
  const QString name = QString::fromStdString(PortPathKey(path));
  if (name.startsWith(QStringLiteral("COM"))) {
    bool ok = false;
    const int n = name.mid(3).toInt(&ok);
    if (ok && n >= COM_MIN_PORT && n <= COM_MAX_PORT)
      return n;
  }
#else
  const QString p = QString::fromStdString(path);
  if (p.startsWith(QStringLiteral("/dev/ttyS"))) {
    bool ok = false;
    const int n = p.mid(9).toInt(&ok);
    if (ok && n >= 0 && n < 32)
      return n + 1;
  }
#endif
  return 0;
}

bool Listed(const std::vector<PortChoice> &choices, const std::string &key) {
  return std::any_of(choices.begin(), choices.end(),
                     [&key](const PortChoice &c) { return PortPathKey(c.path) == key; });
}

} // namespace

std::string PortPathKey(const std::string &path) {
#ifdef _WIN32
  QString key = QString::fromStdString(path);
  if (key.startsWith(QStringLiteral("\\\\.\\")))
    key.remove(0, 4);
  return key.toUpper().toStdString();
#else
  return path;
#endif
}

std::string OperatorPortName(const std::string &path) {
#ifdef _WIN32
  // "COM" and a number, in any case, with or without the device namespace.
  static const QRegularExpression comPort(QStringLiteral(R"(^(?:\\\\\.\\)?com([0-9]+)$)"),
                                          QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = comPort.match(QString::fromStdString(path));
  if (match.hasMatch())
    return "COM" + match.captured(1).toStdString();
#endif
  return path;
}

std::vector<PortChoice> SystemPortChoices(const std::vector<SystemPort> &ports) {
  std::vector<PortChoice> choices;
  for (const SystemPort &port : ports) {
    PortChoice choice;
    choice.path = OperatorPortName(port.location);
    choice.port = PortNumberForPath(choice.path);
    if (choice.port < 0 || Listed(choices, PortPathKey(choice.path)))
      continue;
    choice.label = port.description.empty() ? port.name : port.name + " — " + port.description;
    choices.push_back(choice);
  }
  return choices;
}

void AddBuiltInPortChoice(int port, const std::string &label) {
  auto &builtIns = State().builtIns;
  builtIns.erase(std::remove_if(builtIns.begin(), builtIns.end(),
                                [port](const PortChoice &c) { return c.port == port; }),
                 builtIns.end());
  PortChoice choice;
  choice.port = port;
  choice.label = label;
  choice.builtIn = true;
  builtIns.push_back(choice);
}

int PortNumberForPath(const std::string &path) {
  if (path.empty())
    return COM_ERR_BAD_PORT;
  ChoiceState &s = State();
  const std::string key = PortPathKey(path);
  if (const auto found = s.numberOfPath.find(key); found != s.numberOfPath.end())
    return found->second;
  int number = NaturalNumber(path);
  if (number == 0 || NumberTaken(number)) {
    number = 0;
    // Numbers below 33 stand for the platform's own ports.
    for (int candidate = 33; candidate <= COM_MAX_PORT && number == 0; ++candidate)
      if (!NumberTaken(candidate))
        number = candidate;
    if (number == 0)
      return COM_ERR_BAD_PORT;
  }
  s.numberOfPath[key] = number;
  AssignPortPath(number, OperatorPortName(path));
  return number;
}

int AddTypedPortChoice(const std::string &path) {
  const int number = PortNumberForPath(path);
  if (number < 0)
    return number;
  auto &typed = State().typedPaths;
  const std::string key = PortPathKey(path);
  if (std::none_of(typed.begin(), typed.end(),
                   [&key](const std::string &p) { return PortPathKey(p) == key; }))
    typed.push_back(OperatorPortName(path));
  return number;
}

std::vector<PortChoice> CurrentPortChoices() {
  std::vector<SystemPort> ports;
  for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
    ports.push_back({info.portName().toStdString(), info.systemLocation().toStdString(),
                     info.description().toStdString()});
  std::vector<PortChoice> choices = SystemPortChoices(ports);
  for (const std::string &path : State().typedPaths) {
    if (Listed(choices, PortPathKey(path)))
      continue;
    PortChoice choice;
    choice.path = path;
    choice.port = PortNumberForPath(path);
    choice.label = path;
    choice.typed = true;
    choices.push_back(choice);
  }
  for (const PortChoice &builtIn : State().builtIns)
    choices.push_back(builtIn);
  return choices;
}

} // namespace rt
