#include "runtime/core/serial_ops.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "runtime/core/port_table.h"
#include "runtime/serial/network_port_name.h"
#include "runtime/serial/serial_endpoint.h"
#include "runtime/serial/serial_tap.h"

namespace {

void CloseAtExit();

std::map<int, std::unique_ptr<rt::Endpoint>> &OpenPorts() {
  static std::map<int, std::unique_ptr<rt::Endpoint>> ports;
  // Registered after the map exists, so it runs before the map is destroyed:
  // every port is closed while the rest of the program is still there.
  static const bool closeAtExit = std::atexit(CloseAtExit) == 0;
  (void)closeAtExit;
  return ports;
}

// Closes the open ports while the rest of the program is still there. Only
// the open ports: the other tables here may already be destroyed at exit.
void CloseAtExit() {
  OpenPorts().clear();
}

// Ports closed because their device hung up or failed, with the error they
// reported: it is what the port answers until it is opened again or closed.
std::map<int, int> &LostPorts() {
  static std::map<int, int> ports;
  return ports;
}

// Which opening of each port is current: a late report from a port since
// closed or reopened is ignored.
std::map<int, unsigned> &Openings() {
  static std::map<int, unsigned> openings;
  return openings;
}

std::vector<std::function<void(int)>> &LostHandlers() {
  static std::vector<std::function<void(int)>> handlers;
  return handlers;
}

rt::Endpoint *Find(int port) {
  const auto found = OpenPorts().find(port);
  return found == OpenPorts().end() ? nullptr : found->second.get();
}

// The device is gone: close its descriptor now, so that nothing polls it.
void Lose(int port, const rt::Endpoint *endpoint, int error) {
  const auto found = OpenPorts().find(port);
  if (found == OpenPorts().end() || !endpoint || found->second.get() != endpoint)
    return; // closed since
  std::unique_ptr<rt::Endpoint> gone = std::move(found->second);
  OpenPorts().erase(found);
  gone.reset();
  LostPorts()[port] = error;
  for (const auto &handler : LostHandlers())
    handler(port);
}

// A port's result as the caller gets it; an I/O error closes the port.
int Checked(int port, rt::Endpoint *endpoint, int result) {
  if (result == COM_ERR_IO)
    Lose(port, endpoint, result);
  return result;
}

// What a port that is not open answers.
int NotOpen(int port) {
  const auto lost = LostPorts().find(port);
  return lost == LostPorts().end() ? COM_ERR_NOT_OPEN : lost->second;
}

// `detail`, when given, stands in the record for the system's words: a
// network port's own account of why.
void NoteOpenFailed(int port, int result, const std::string &path, const rt::OpenFailure &why,
                    const std::string &detail = {}) {
  rt::TapRecord *r = rt::TapAdd(rt::TapKind::OpenFailed, port, result);
  rt::TapKeepBytes(r, path.data(), static_cast<long long>(path.size()));
  if (r && why.fault == rt::TapOpenFault::System)
    rt::TapKeepSystemError(r, why.error, why.systemError);
  else if (r)
    r->fault = why.fault;
  if (r && !detail.empty())
    std::snprintf(r->systemWords, rt::kTapWordsBytes, "%s", detail.c_str());
}

bool ValidSettings(long baudRate, int parity, int dataBits, int stopBits) {
  return baudRate > 0 && baudRate <= 4000000 && parity >= 0 && parity <= 4 && dataBits >= 5 &&
         dataBits <= 8 && (stopBits == 1 || stopBits == 2);
}

} // namespace

int OpenComConfig(int port, const char *deviceName, long baudRate, int parity, int dataBits,
                  int stopBits, int inputQueueSize, int /*outputQueueSize*/) {
  if (port < COM_MIN_PORT || port > COM_MAX_PORT) {
    NoteOpenFailed(port, COM_ERR_BAD_PORT, {}, {rt::TapOpenFault::PortOutOfRange});
    return COM_ERR_BAD_PORT;
  }
  // Opening an open port starts it afresh.
  OpenPorts().erase(port);
  LostPorts().erase(port);
  if (!ValidSettings(baudRate, parity, dataBits, stopBits)) {
    NoteOpenFailed(port, COM_ERR_OPEN, {}, {rt::TapOpenFault::BadLineSettings});
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

  rt::OpenFailure why{rt::TapOpenFault::DeviceUnavailable};
  std::string detail;
  std::unique_ptr<rt::Endpoint> endpoint;
  if (target.device)
    endpoint = rt::OpenInProcessDevice(target.device);
  else if (rt::IsNetworkPortName(target.path))
    endpoint = rt::OpenNetworkDevice(target.path, settings, &why, &detail);
  else
    endpoint = rt::OpenSerialDevice(target.path, settings, &why);
  if (!endpoint) {
    NoteOpenFailed(port, COM_ERR_OPEN, target.path, why, detail);
    return COM_ERR_OPEN;
  }
  static unsigned openings = 0;
  const unsigned opening = ++openings;
  Openings()[port] = opening;
  endpoint->WhenLost([port, opening] {
    if (Openings()[port] == opening)
      Lose(port, Find(port), COM_ERR_IO);
  });
  endpoint->WhenNotified([port](int kind, int state) {
    if (rt::TapRecord *r = rt::TapAdd(rt::TapKind::Notified, port, kind))
      r->count = state;
  });
  OpenPorts()[port] = std::move(endpoint);
  rt::TapKeepBytes(rt::TapAdd(rt::TapKind::Opened, port), target.path.data(),
                   static_cast<long long>(target.path.size()));
  return 0;
}

int CloseCom(int port) {
  // A port closed after its device was lost was open as far as the caller knew.
  const bool lost = LostPorts().erase(port) > 0;
  return OpenPorts().erase(port) || lost ? 0 : COM_ERR_NOT_OPEN;
}

int ComWrt(int port, const char *buffer, int count) {
  rt::Endpoint *endpoint = Find(port);
  if (!endpoint)
    return NotOpen(port);
  if (!buffer || count <= 0)
    return 0;
  const int written = Checked(port, endpoint, endpoint->Write(buffer, count));
  if (rt::TapRecord *r = rt::TapAdd(rt::TapKind::Wrote, port, written)) {
    rt::TapKeepBytes(r, buffer, count);
    r->notTaken = written < 0 ? 0 : endpoint->NotTakenByLastWrite();
  }
  return written;
}

int GetInQLen(int port) {
  rt::Endpoint *endpoint = Find(port);
  const int waiting = endpoint ? Checked(port, endpoint, endpoint->Waiting()) : NotOpen(port);
  rt::TapAdd(rt::TapKind::Checked, port, waiting);
  return waiting;
}

int ComRd(int port, char *buffer, int count) {
  rt::Endpoint *endpoint = Find(port);
  if (!endpoint)
    return NotOpen(port);
  if (!buffer || count <= 0)
    return 0;
  const int taken = Checked(port, endpoint, endpoint->Read(buffer, count));
  rt::TapKeepBytes(rt::TapAdd(rt::TapKind::Read, port, taken), buffer, taken);
  return taken;
}

int FlushInQ(int port) {
  return FlushInQSeen(port, nullptr);
}

int FlushInQSeen(int port, void (*sink)(const char *bytes, int count)) {
  rt::Endpoint *endpoint = Find(port);
  if (!endpoint)
    return NotOpen(port);
  // What is discarded is looked at for the tap (its first bytes land in the
  // record, and its count) and by the caller's sink.
  rt::TapRecord *r = rt::TapAdd(rt::TapKind::Discarded, port);
  rt::Discarded seen{r ? r->head : nullptr, r ? rt::kTapHeadBytes : 0};
  seen.sink = sink;
  const int result = Checked(port, endpoint, endpoint->DiscardInput(r || sink ? &seen : nullptr));
  if (r) {
    r->result = result;
    r->headCount = seen.headCount;
    r->count = seen.count;
    r->countAtLeast = seen.countAtLeast;
  }
  return result;
}

void NoteLineVerdict(int port, int verdict, int firstInDoubt) {
  if (rt::TapRecord *r = rt::TapAdd(rt::TapKind::Concluded, port, verdict))
    r->count = firstInDoubt;
}

// Errors are always returned to the caller; there is no break to disable.
void DisableBreakOnLibraryErrors() {}
void EnableBreakOnLibraryErrors() {}

namespace rt {

bool IsPortOpen(int port) {
  return Find(port) != nullptr;
}

void CloseAllPorts() {
  OpenPorts().clear();
  LostPorts().clear();
}

void OnPortLost(std::function<void(int port)> handler) {
  if (handler)
    LostHandlers().push_back(std::move(handler));
}

} // namespace rt
