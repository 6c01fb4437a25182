// What an open port talks to: a serial device through QSerialPort, a serial
// device server across the network (network_endpoint.cpp), or an in-process
// device.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "runtime/core/port_table.h"
#include "runtime/core/serial_tap.h"

namespace rt {

struct LineSettings {
  long baudRate = 38400;
  int parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
  int dataBits = 8; // 5 to 8
  int stopBits = 1; // 1 or 2
  int inputQueueSize = 1000;
};

// What a flush threw away, for the tap: its first bytes copied into `head`
// (up to `capacity`), and how many there were, every one of them.
// `countAtLeast` when more kept coming than one flush counts, and the rest
// was dropped uncounted.
// `sink`, when set, gets every byte thrown away, piece by piece, in order.
struct Discarded {
  char *head = nullptr;
  int capacity = 0;
  int headCount = 0;
  long long count = 0;
  bool countAtLeast = false;
  void (*sink)(const char *bytes, int count) = nullptr;
};

class Endpoint {
public:
  virtual ~Endpoint() = default;
  // Returns the count written or a negative COM_ERR_ code.
  virtual int Write(const char *data, int count) = 0;
  // Of the last Write's bytes, how many the line did not take: they were
  // dropped unsent (a peer that does not read). The result above stays what
  // the caller has always been told.
  virtual int NotTakenByLastWrite() const { return 0; }
  // Count of received bytes waiting, or a negative COM_ERR_ code.
  virtual int Waiting() = 0;
  // Takes up to `max` waiting bytes; returns the count or a negative code.
  virtual int Read(char *out, int max) = 0;
  // Discards the waiting bytes, and says what they were in `seen` when that
  // is not null. 0 or a negative COM_ERR_ code.
  virtual int DiscardInput(Discarded *seen) = 0;
  // `report` runs later, from the event loop, when the device hangs up or
  // fails while nobody is calling: the owner then closes the endpoint, so
  // that nothing goes on polling a dead descriptor. Endpoints that only fail
  // when called need not report.
  virtual void WhenLost(std::function<void()> report) { (void)report; }
  // `notice` hears what the far end says of the line beside the data (a
  // network server's line-state and modem-state notifications: Notified in
  // serial_tap.h), as the calls above read it. Only network ports have any.
  virtual void WhenNotified(std::function<void(int kind, int state)> notice) { (void)notice; }
};

// Why a device could not be opened: the kind of fault, and for a fault of
// the system its error number (on Windows the POSIX number that names the
// same trouble, and Windows' own number beside it).
struct OpenFailure {
  TapOpenFault fault = TapOpenFault::System;
  int error = 0;
  unsigned long systemError = 0; // Windows' error number; 0 elsewhere
};

// Opens a serial device (a real port or a pseudo-terminal) with no flow
// control and bytes passed unaltered. nullptr when it cannot be opened or is
// not a serial device.
std::unique_ptr<Endpoint> OpenSerialDevice(const std::string &path, const LineSettings &settings,
                                           OpenFailure *why = nullptr);
std::unique_ptr<Endpoint> OpenInProcessDevice(std::shared_ptr<ByteDevice> device);
// Opens a port across the network named as network_port_name.h says, with
// the line's settings where the protocol carries them. nullptr when it
// cannot; then `detail` says why in the protocol's own terms.
std::unique_ptr<Endpoint> OpenNetworkDevice(const std::string &name, const LineSettings &settings,
                                            OpenFailure *why, std::string *detail);

} // namespace rt
