// The port table behind the serial operations: what each port number stands
// for. Implemented in runtime/serial/port_table.cpp.
#pragma once

#include <memory>
#include <string>

#include "runtime/core/byte_device.h"

namespace rt {

// What a port number stands for. Exactly one of `path` and `device` is set.
struct PortAssignment {
  std::string path;                   // "/dev/ttyUSB0", "/dev/pts/5", "COM3"
  std::shared_ptr<ByteDevice> device; // in-process device
};

void AssignPortPath(int port, const std::string &path);
void AssignPortDevice(int port, std::shared_ptr<ByteDevice> device);
void ClearPortAssignment(int port);
// The assignment, or the platform default ("/dev/ttyS<port-1>", "COM<port>").
PortAssignment PortAssignmentFor(int port);
std::string DefaultDeviceName(int port);

} // namespace rt
