// Frame codec and waveform synthesis costs per call.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "link/frame.h"
#include "preview/synthesis.h"
#include "runtime/core/port_table.h"
#include "runtime/core/serial_ops.h"
#include "tests/fake_device.h"

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

// Opens the link's port for the life of a benchmark on a device that always
// has the same 199 bytes waiting: a full read, noise with a frame at its end.
struct FullQueuePort {
  static constexpr int kPort = 900;
  FullQueuePort() {
    auto device = std::make_shared<FakeDevice>();
    device->replay = true;
    device->Queue(std::string(193, 'n') + Frame("E1"));
    rt::AssignPortDevice(kPort, device);
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
