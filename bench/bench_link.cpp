// Frame codec and waveform synthesis costs per call.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "link/frame.h"
#include "preview/synthesis.h"
#include "runtime/port_table.h"
#include "runtime/serial_ops.h"

namespace {

void BM_GenerateBothTraces(benchmark::State &state) {
  int angle = 30;
  for (auto _ : state) {
    GenerateWave(3000, 1, 100, angle);
    GenerateWave1(1, angle);
    benchmark::DoNotOptimize(datapoints[500]);
    benchmark::DoNotOptimize(datapoints1[500]);
    angle = angle == 30 ? 31 : 30;
  }
}
BENCHMARK(BM_GenerateBothTraces);

// A device that always has the same 199 bytes waiting: a full read, the most
// one call copies. The frame at its end is not at the start of the read, so
// it is not recognised.
class FullQueue final : public rt::ByteDevice {
public:
  FullQueue() {
    bytes_.assign(193, 'n');
    const std::string frame = std::string("$\x04" "E1z", 5) + '\0';
    bytes_ += frame;
  }
  void Receive(const unsigned char *, int, double) override {}
  int Readable(double) override { return static_cast<int>(bytes_.size()); }
  int Take(unsigned char *out, int max, double) override {
    const int n = std::min<int>(max, static_cast<int>(bytes_.size()));
    std::copy(bytes_.begin(), bytes_.begin() + n, out);
    return n;
  }
  void DiscardReadable(double) override {}

private:
  std::string bytes_;
};

// Opens the link's port on a FullQueue device for the life of a benchmark.
struct FullQueuePort {
  static constexpr int kPort = 900;
  FullQueuePort() {
    rt::AssignPortDevice(kPort, std::make_shared<FullQueue>());
    OpenComConfig(kPort, "", 38400, 0, 8, 1, 1000, 1000);
    portNumber = kPort;
  }
  ~FullQueuePort() { CloseCom(kPort); }
};

void BM_ChInQuFullRead(benchmark::State &state) {
  FullQueuePort port;
  for (auto _ : state)
    benchmark::DoNotOptimize(ChInQu());
}
BENCHMARK(BM_ChInQuFullRead);

void BM_SendOrder(benchmark::State &state) {
  FullQueuePort port;
  for (auto _ : state)
    benchmark::DoNotOptimize(SendOrder("D1000,6000,100,"));
}
BENCHMARK(BM_SendOrder);

} // namespace

BENCHMARK_MAIN();
