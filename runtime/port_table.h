// The port table behind the serial operations.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace rt {

// A device that lives in this process: the demo device, test doubles. Times
// are on the runtime clock.
class ByteDevice {
public:
  virtual ~ByteDevice() = default;
  // The program wrote these bytes at `now`.
  virtual void Receive(const unsigned char *data, int count, double now) = 0;
  // Bytes the device has sent that are readable at `now`.
  virtual int Readable(double now) = 0;
  // Takes up to `max` readable bytes.
  virtual int Take(unsigned char *out, int max, double now) = 0;
  // Drops the bytes readable at `now`; bytes still on their way stay.
  virtual void DiscardReadable(double now) = 0;
  // False once the device is gone (it then fails reads and writes).
  virtual bool Present() const { return true; }
};

// What a port number stands for. Exactly one of `path` and `device` is set.
struct PortAssignment {
  std::string path;                    // "/dev/ttyUSB0", "/dev/pts/5", "COM3"
  std::shared_ptr<ByteDevice> device;  // in-process device
};

void AssignPortPath(int port, const std::string &path);
void AssignPortDevice(int port, std::shared_ptr<ByteDevice> device);
void ClearPortAssignment(int port);
// The assignment, or the platform default ("/dev/ttyS<port-1>", "COM<port>").
PortAssignment PortAssignmentFor(int port);
std::string DefaultDeviceName(int port);

bool IsPortOpen(int port);
// Closes every open port (tests, and at exit).
void CloseAllPorts();
// `handler` runs each time a port is closed because its device hung up or
// failed. Until it is opened again the port answers with that error.
void OnPortLost(std::function<void(int port)> handler);

} // namespace rt
