// The byte device: the small interface between the serial operations and a
// device living in this process (the simulator's device model, the demo
// device, the tests' fake). It needs nothing but the standard library, so the
// simulator can implement it without linking the run-time's Qt rooms.
#pragma once

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

} // namespace rt
