// An open port whose other side is a device object in this process.
#include <algorithm>

#include "runtime/core/clock.h"
#include "runtime/core/serial_ops.h"
#include "runtime/serial/serial_endpoint.h"

namespace rt {

namespace {

class InProcessEndpoint final : public Endpoint {
public:
  explicit InProcessEndpoint(std::shared_ptr<ByteDevice> device) : device_(std::move(device)) {}

  int Write(const char *data, int count) override {
    if (!device_->Present())
      return COM_ERR_IO;
    if (count <= 0)
      return 0;
    device_->Receive(reinterpret_cast<const unsigned char *>(data), count, Now());
    return count;
  }

  int Waiting() override {
    if (!device_->Present())
      return COM_ERR_IO;
    return std::max(0, device_->Readable(Now()));
  }

  int Read(char *out, int max) override {
    if (!device_->Present())
      return COM_ERR_IO;
    if (max <= 0)
      return 0;
    return std::max(0, device_->Take(reinterpret_cast<unsigned char *>(out), max, Now()));
  }

  int DiscardInput(Discarded *seen) override {
    if (!device_->Present())
      return COM_ERR_IO;
    const double now = Now();
    if (seen) {
      // The device knows its count; taking the bytes leaves it as dropping
      // them would. All of them go to the sink, the first into the head.
      seen->count = std::max(0, device_->Readable(now));
      const int head =
          seen->head ? static_cast<int>(std::min<long long>(seen->count, seen->capacity)) : 0;
      seen->headCount =
          head > 0
              ? std::max(0, device_->Take(reinterpret_cast<unsigned char *>(seen->head), head, now))
              : 0;
      if (seen->sink && seen->headCount > 0)
        seen->sink(seen->head, seen->headCount);
      unsigned char rest[256];
      for (int n; seen->sink && (n = device_->Take(rest, sizeof rest, now)) > 0;)
        seen->sink(reinterpret_cast<const char *>(rest), n);
    }
    device_->DiscardReadable(now);
    return 0;
  }

private:
  static double Now() { return CurrentClock().Now(); }
  std::shared_ptr<ByteDevice> device_;
};

} // namespace

std::unique_ptr<Endpoint> OpenInProcessDevice(std::shared_ptr<ByteDevice> device) {
  if (!device || !device->Present())
    return nullptr;
  return std::make_unique<InProcessEndpoint>(std::move(device));
}

} // namespace rt
