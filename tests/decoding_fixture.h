// The link view's decoder fed tap records directly, with no panel, and the
// rows it gave: the fixture of test_traffic and test_traffic_groups.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/vocabulary.h"
#include "link_fixture.h"
#include "runtime/controls/log_model.h"
#include "traffic/decoder.h"

namespace traffic_test {

using Strings = std::vector<std::string>;
using rt::TapKind;

// A decoder and the rows it gave, each kept as last given.
class Decoding : public ::testing::Test {
protected:
  static constexpr int kPort = 7;
  static constexpr int kDemoPort = 99;

  // A record: `bytes` are its head, `count` (when not -1) its count.
  rt::TapRecord &Make(TapKind kind, const std::string &bytes = {}, int result = 0,
                      long long count = -1, bool atLeast = false, int notTaken = 0) {
    record = rt::TapRecord{};
    record.kind = kind;
    record.port = port;
    record.result = result;
    record.count = count < 0 ? static_cast<long long>(bytes.size()) : count;
    record.countAtLeast = atLeast;
    record.notTaken = notTaken;
    record.headCount = std::min(int(bytes.size()), rt::kTapHeadBytes);
    std::memcpy(record.head, bytes.data(), std::size_t(record.headCount));
    record.clock = clock;
    return record;
  }
  void Feed(TapKind kind, const std::string &bytes = {}, int result = 0, long long count = -1,
            bool atLeast = false, int notTaken = 0) {
    decoder.Take(Make(kind, bytes, result, count, atLeast, notTaken));
  }
  void Send(const std::string &command, int notTaken = 0) {
    Feed(TapKind::Wrote, Frame(command), int(Frame(command).size()), -1, false, notTaken);
  }
  // The check after a send: the count waiting (an error below 0), then the
  // read of the reply.
  void Check(const std::string &reply, std::optional<int> waiting = {}) {
    clock += 0.1;
    Feed(TapKind::Checked, {}, waiting.value_or(int(reply.size())));
    if (!reply.empty() && waiting.value_or(1) > 0)
      Feed(TapKind::Read, reply, int(reply.size()));
  }
  // The settle wait, then the flush that starts a download.
  void StartDownload(const std::string &thrownAway = {}) {
    clock += DOWNLOAD_SETTLE_WAIT;
    Feed(TapKind::Discarded, thrownAway);
  }
  // The line's account's verdict on the group, as the link notes it.
  void Conclude(int verdict, int firstInDoubt) {
    rt::TapRecord &r = Make(TapKind::Concluded, {}, verdict);
    r.count = firstInDoubt;
    decoder.Take(r);
  }
  void Try(const std::string &command, const std::string &reply) {
    Send(command);
    Check(reply);
  }
  // Payload and verdict of each row, oldest first; or the verdict alone.
  Strings Lines(bool payloads = true) const {
    Strings lines;
    for (const auto &[id, row] : rows)
      lines.push_back(payloads ? row.payload + "|" + row.verdict : row.verdict);
    return lines;
  }
  LogRow Header() const {
    for (auto at = rows.rbegin(); at != rows.rend(); ++at)
      if (at->second.header)
        return at->second;
    return {};
  }

  rt::TapRecord record;
  int port = kPort;
  double clock = 0.0;
  std::map<long long, LogRow> rows;
  traffic::Decoder decoder{[this](const LogRow &row) { rows[row.id] = row; }, kDemoPort};
};

} // namespace traffic_test
