#include "runtime/core/port_table.h"

#include <map>

#include "runtime/core/serial_ops.h"

namespace rt {

namespace {
std::map<int, PortAssignment> &Assignments() {
  static std::map<int, PortAssignment> table;
  return table;
}
} // namespace

void AssignPortPath(int port, const std::string &path) {
  Assignments()[port] = PortAssignment{path, nullptr};
}

void AssignPortDevice(int port, std::shared_ptr<ByteDevice> device) {
  Assignments()[port] = PortAssignment{std::string(), std::move(device)};
}

void ClearPortAssignment(int port) {
  Assignments().erase(port);
}

std::string DefaultDeviceName(int port) {
#ifdef _WIN32
  return "COM" + std::to_string(port);
#else
  return "/dev/ttyS" + std::to_string(port - 1);
#endif
}

PortAssignment PortAssignmentFor(int port) {
  const auto found = Assignments().find(port);
  if (found != Assignments().end())
    return found->second;
  return PortAssignment{DefaultDeviceName(port), nullptr};
}

} // namespace rt
