#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/exchange.h"
#include "link_fixture.h"

namespace {

using OrderTest = LinkTest;

// The device's answer to each send, in turn (none once the list runs out),
// `latency` seconds after it; each send waits 0.1 s for its answer.
TEST_F(OrderTest, SendsUntilAcknowledgedAtMostFiveTimes) {
  struct Row {
    const char *what;
    std::vector<std::string> replies;
    double latency;
    int result;
    std::size_t sends;
  };
  const Row rows[] = {
      {"acknowledged at once", {"E1"}, 0.01, 1, 1},
      {"at the third send", {"E0", "E0", "E1"}, 0.02, 1, 3},
      {"a report and other numbers refuse", {"R3000", "E2", "E10", "E1"}, 0.01, 1, 4},
      {"refused every time", {"E0", "E0", "E0", "E0", "E0"}, 0.0, 0, 5},
      {"silent", {}, 0.0, 0, 5},
      {"later than the wait: the next check takes it", {"E1", "E1"}, 0.15, 1, 2},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    clock.Advance(1.0);
    FlushInQ(kPort);
    device->writes.clear();
    std::size_t sends = 0;
    device->onWrite = [&](FakeDevice &d, const std::string &, double now) {
      if (sends < row.replies.size())
        d.Queue(Frame(row.replies[sends]), now + row.latency);
      ++sends;
    };
    const double start = clock.Now();
    EXPECT_EQ(order("W100,"), row.result);
    EXPECT_EQ(device->writes.size(), row.sends);
    EXPECT_NEAR(clock.Now() - start, 0.1 * static_cast<double>(row.sends), 1e-9);
    for (const auto &w : device->writes)
      EXPECT_EQ(w.bytes, Frame("W100,"));
  }
}

} // namespace
