#include "runtime/core/serial_ops.h"

#include <cstdlib>
#include <map>
#include <memory>

#include "runtime/core/port_table.h"
#include "runtime/serial/serial_endpoint.h"

namespace {

void CloseAtExit() { rt::CloseAllPorts(); }

std::map<int, std::unique_ptr<rt::Endpoint>> &OpenPorts() {
  static std::map<int, std::unique_ptr<rt::Endpoint>> ports;
  // Registered after the map exists, so it runs before the map is destroyed:
  // every port is closed while the rest of the program is still there.
  static const bool closeAtExit = std::atexit(CloseAtExit) == 0;
  (void)closeAtExit;
  return ports;
}

rt::Endpoint *Find(int port) {
  const auto found = OpenPorts().find(port);
  return found == OpenPorts().end() ? nullptr : found->second.get();
}

bool ValidSettings(long baudRate, int parity, int dataBits, int stopBits) {
  return baudRate > 0 && baudRate <= 4000000 && parity >= 0 && parity <= 4 && dataBits >= 5 &&
         dataBits <= 8 && (stopBits == 1 || stopBits == 2);
}

} // namespace

int OpenComConfig(int port, const char *deviceName, long baudRate, int parity, int dataBits,
                  int stopBits, int inputQueueSize, int /*outputQueueSize*/) {
  if (port < COM_MIN_PORT || port > COM_MAX_PORT)
    return COM_ERR_BAD_PORT;
  // Opening an open port starts it afresh.
  OpenPorts().erase(port);
  if (!ValidSettings(baudRate, parity, dataBits, stopBits))
    return COM_ERR_OPEN;

  rt::PortAssignment target = rt::PortAssignmentFor(port);
  if (deviceName && *deviceName)
    target = rt::PortAssignment{deviceName, nullptr};

  rt::LineSettings settings;
  settings.baudRate = baudRate;
  settings.parity = parity;
  settings.dataBits = dataBits;
  settings.stopBits = stopBits;
  settings.inputQueueSize = inputQueueSize > 0 ? inputQueueSize : 1000;

  std::unique_ptr<rt::Endpoint> endpoint = target.device
                                               ? rt::OpenInProcessDevice(target.device)
                                               : rt::OpenSerialDevice(target.path, settings);
  if (!endpoint)
    return COM_ERR_OPEN;
  OpenPorts()[port] = std::move(endpoint);
  return 0;
}

int CloseCom(int port) {
  return OpenPorts().erase(port) ? 0 : COM_ERR_NOT_OPEN;
}

int ComWrt(int port, const char *buffer, int count) {
  rt::Endpoint *endpoint = Find(port);
  if (!endpoint)
    return COM_ERR_NOT_OPEN;
  if (!buffer || count <= 0)
    return 0;
  return endpoint->Write(buffer, count);
}

int GetInQLen(int port) {
  rt::Endpoint *endpoint = Find(port);
  return endpoint ? endpoint->Waiting() : COM_ERR_NOT_OPEN;
}

int ComRd(int port, char *buffer, int count) {
  rt::Endpoint *endpoint = Find(port);
  if (!endpoint)
    return COM_ERR_NOT_OPEN;
  if (!buffer || count <= 0)
    return 0;
  return endpoint->Read(buffer, count);
}

int FlushInQ(int port) {
  rt::Endpoint *endpoint = Find(port);
  return endpoint ? endpoint->DiscardInput() : COM_ERR_NOT_OPEN;
}

// Errors are always returned to the caller; there is no break to disable.
void DisableBreakOnLibraryErrors() {}
void EnableBreakOnLibraryErrors() {}

namespace rt {

bool IsPortOpen(int port) { return Find(port) != nullptr; }

void CloseAllPorts() { OpenPorts().clear(); }

} // namespace rt
