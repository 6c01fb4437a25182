#include "runtime/serial_ops.h"

#include <map>
#include <memory>

#include "runtime/port_table.h"
#include "runtime/serial_endpoint.h"
#include "runtime/serial_tap.h"

namespace {

std::map<int, std::unique_ptr<rt::Endpoint>> &OpenPorts() {
  static std::map<int, std::unique_ptr<rt::Endpoint>> ports;
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
  if (port < COM_MIN_PORT || port > COM_MAX_PORT) {
    rt::TapNote(rt::TapKind::OpenFailed, port, COM_ERR_BAD_PORT, nullptr, 0, "端口号超出范围");
    return COM_ERR_BAD_PORT;
  }
  // Opening an open port starts it afresh.
  OpenPorts().erase(port);
  if (!ValidSettings(baudRate, parity, dataBits, stopBits)) {
    rt::TapNote(rt::TapKind::OpenFailed, port, COM_ERR_OPEN, nullptr, 0, "线路参数无效");
    return COM_ERR_OPEN;
  }

  rt::PortAssignment target = rt::PortAssignmentFor(port);
  if (deviceName && *deviceName)
    target = rt::PortAssignment{deviceName, nullptr};

  rt::LineSettings settings;
  settings.baudRate = baudRate;
  settings.parity = parity;
  settings.dataBits = dataBits;
  settings.stopBits = stopBits;
  settings.inputQueueSize = inputQueueSize > 0 ? inputQueueSize : 1000;

  std::string reason = "内置设备不可用";
  std::unique_ptr<rt::Endpoint> endpoint = target.device
                                               ? rt::OpenInProcessDevice(target.device)
                                               : rt::OpenSerialDevice(target.path, settings, &reason);
  if (!endpoint) {
    rt::TapNote(rt::TapKind::OpenFailed, port, COM_ERR_OPEN, target.path.data(),
                static_cast<int>(target.path.size()), reason);
    return COM_ERR_OPEN;
  }
  OpenPorts()[port] = std::move(endpoint);
  rt::TapNote(rt::TapKind::Opened, port, 0, target.path.data(), static_cast<int>(target.path.size()));
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
  const int written = endpoint->Write(buffer, count);
  rt::TapNote(rt::TapKind::Wrote, port, written, buffer, count);
  return written;
}

int GetInQLen(int port) {
  rt::Endpoint *endpoint = Find(port);
  const int waiting = endpoint ? endpoint->Waiting() : COM_ERR_NOT_OPEN;
  rt::TapNote(rt::TapKind::Checked, port, waiting);
  return waiting;
}

int ComRd(int port, char *buffer, int count) {
  rt::Endpoint *endpoint = Find(port);
  if (!endpoint)
    return COM_ERR_NOT_OPEN;
  if (!buffer || count <= 0)
    return 0;
  const int taken = endpoint->Read(buffer, count);
  rt::TapNote(rt::TapKind::Read, port, taken, buffer, taken);
  return taken;
}

int FlushInQ(int port) {
  rt::Endpoint *endpoint = Find(port);
  if (!endpoint)
    return COM_ERR_NOT_OPEN;
  // The discarded bytes are kept only for the tap.
  std::string discarded;
  const int result = endpoint->DiscardInput(rt::SerialTapActive() ? &discarded : nullptr);
  rt::TapNote(rt::TapKind::Discarded, port, result, discarded.data(), static_cast<int>(discarded.size()));
  return result;
}

// Errors are always returned to the caller; there is no break to disable.
void DisableBreakOnLibraryErrors() {}
void EnableBreakOnLibraryErrors() {}

namespace rt {

bool IsPortOpen(int port) { return Find(port) != nullptr; }

void CloseAllPorts() { OpenPorts().clear(); }

} // namespace rt
