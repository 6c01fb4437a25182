// The simulated device: the rate it runs at, its replies and every fault
// knob. (Its frame scanner and command parser: test_device_parse.cpp.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "expected_download.h"
#include "fuzz/fuzz_knobs.h"
#include "link/vocabulary.h"
#include "parameters.h"
#include "sim/command.h"
#include "sim/device_model.h"
#include "sim/frame_scanner.h"

namespace {

using Bytes = std::string;
using Strings = std::vector<std::string>;

const Bytes kE1("\x24\x04\x45\x31\x7A\x00", 6);
const Bytes kE0("\x24\x04\x45\x30\x79\x00", 6);

// ---- Rate --------------------------------------------------------------

std::vector<int> Polls(sim::DeviceState &state, int count) {
  std::vector<int> rates;
  for (int i = 0; i < count; ++i) {
    rates.push_back(state.CurrentRate());
    state.Step();
  }
  return rates;
}
std::vector<int> Polls(sim::DeviceState &&state, int count) {
  return Polls(state, count);
}

sim::DeviceState Sweep(int min, int max, int step, int repeat) {
  sim::DeviceState state(7);
  state.Apply({sim::CommandKind::SweepBounds, {min, max, step}});
  state.Apply({sim::CommandKind::Repeat, {repeat}});
  state.Apply({sim::CommandKind::SweepOperation, {}});
  return state;
}

TEST(DeviceRate, StartRateThenFixedRate) {
  sim::DeviceState state(1499);
  EXPECT_EQ(Polls(state, 2), (std::vector<int>{1499, 1499}));
  state.Apply({sim::CommandKind::Rate, {3000}});
  EXPECT_EQ(state.CurrentRate(), 1499); // no operation selected yet
  state.Apply({sim::CommandKind::FixedOperation, {}});
  EXPECT_EQ(Polls(state, 2), (std::vector<int>{3000, 3000}));
}

TEST(DeviceRate, SweepStepsPerPollRepeatsThenHoldsAtTheMaximum) {
  auto state = Sweep(100, 300, 100, 2);
  EXPECT_EQ(Polls(state, 8), (std::vector<int>{100, 200, 300, 100, 200, 300, 300, 300}));
  // F2 starts over.
  state.Apply({sim::CommandKind::SweepOperation, {}});
  EXPECT_EQ(state.CurrentRate(), 100);
}

TEST(DeviceRate, SweepEdgeCases) {
  // An uneven last step, repeat below 1 (one pass); no step; bounds inverted; near the top.
  EXPECT_EQ(Polls(Sweep(100, 250, 100, 0), 4), (std::vector<int>{100, 200, 250, 250}));
  EXPECT_EQ(Polls(Sweep(100, 300, 0, 3), 3), (std::vector<int>{100, 100, 100}));
  EXPECT_EQ(Polls(Sweep(500, 300, 100, 2), 3), (std::vector<int>{500, 500, 500}));
  EXPECT_EQ(Polls(Sweep(INT32_MAX - 10, INT32_MAX, 1000000, 1), 3),
            (std::vector<int>{INT32_MAX - 10, INT32_MAX, INT32_MAX}));
}

// ---- Device model ----------------------------------------------------------

class DeviceModelTest : public ::testing::Test {
protected:
  // Sends one framed command at `now` and returns what is readable then.
  Bytes Order(const std::string &payload, double now = 0.0) {
    Write(sim::EncodeFrame(payload), now);
    return Read(now);
  }
  // Sends the commands one after another; their replies, concatenated.
  Bytes Orders(const Strings &payloads, double now = 0.0) {
    Bytes replies;
    for (const auto &payload : payloads)
      replies += Order(payload, now);
    return replies;
  }
  void Write(const Bytes &bytes, double now) {
    model.Receive(reinterpret_cast<const unsigned char *>(bytes.data()),
                  static_cast<int>(bytes.size()), now);
  }
  Bytes Read(double now) {
    Bytes out(static_cast<std::size_t>(model.Readable(now)), '\0');
    const int n = model.Take(reinterpret_cast<unsigned char *>(out.data()),
                             static_cast<int>(out.size()), now);
    out.resize(static_cast<std::size_t>(n));
    return out;
  }
  void SetKnobs(const std::function<void(sim::DeviceKnobs &)> &change) {
    sim::DeviceKnobs knobs = model.Knobs();
    change(knobs);
    model.SetKnobs(knobs);
  }

  sim::DeviceModel model{3000};
};

TEST_F(DeviceModelTest, FixedRateDownload) {
  SettingsRecord s = PanelStart();
  s.rate = 2500;
  const ExpectedDownload download = Expected(s);
  double now = 0.0;
  for (const auto &payload : download.commands) {
    EXPECT_EQ(Order(payload, now), kE1) << payload;
    now += kCheckWait;
  }
  EXPECT_EQ(model.Payloads(), download.commands);
  EXPECT_EQ(model.RawBytes(), download.frames);
  const std::size_t last = download.commands.size() - 1;
  EXPECT_NEAR(model.Commands()[last].time, static_cast<double>(last) * kCheckWait, 1e-12);

  const sim::DeviceState state = model.State();
  EXPECT_EQ(state.signalMode, s.signalMode);
  EXPECT_EQ(state.angle, s.angle);
  EXPECT_EQ(state.width, s.width);
  EXPECT_EQ(state.operation, sim::Operation::Fixed);
  EXPECT_EQ(Order("?1,", now), sim::EncodeFrame("R2500"));
}

TEST_F(DeviceModelTest, SweepDownloadThenPollsFollowTheSweep) {
  for (const char *payload : {"F4,", "T-90,", "W1,", "D1000,1200,100,", "P1,", "F2,"})
    ASSERT_EQ(Order(payload), kE1) << payload;
  const sim::DeviceState state = model.State();
  EXPECT_EQ(state.signalMode, 0);
  EXPECT_EQ(state.angle, -90);
  EXPECT_EQ(state.operation, sim::Operation::Sweep);
  EXPECT_EQ(state.sweepMax, 1200);
  EXPECT_EQ(state.repeat, 1);
  EXPECT_EQ(Orders(Strings(4, "?1,")), sim::EncodeFrame("R1000") + sim::EncodeFrame("R1100") +
                                           sim::EncodeFrame("R1200") + sim::EncodeFrame("R1200"));
}

// Every command the program sends, each number in it 1, is one the device
// answers: with a reading for the rate poll, an acknowledgement for the rest.
// A command new to the program's vocabulary fails here until the simulator
// reads it too.
TEST_F(DeviceModelTest, AnswersEveryCommandOfTheProgramsVocabulary) {
  ASSERT_GT(VocabularyCount(), 0);
  for (int i = 0; i < VocabularyCount(); ++i) {
    std::string payload = VocabularyFormat(i);
    for (std::size_t at; (at = payload.find("%d")) != std::string::npos;)
      payload.replace(at, 2, "1");
    const Bytes reply = Order(payload);
    if (payload == CMD_RATE_POLL)
      EXPECT_EQ(reply.size() > 2 ? reply[2] : '\0', 'R') << payload; // after '$' and the length
    else
      EXPECT_EQ(reply, kE1) << payload;
  }
}

TEST_F(DeviceModelTest, MalformedAndUnknownCommandsAreRefusedWithoutEffect) {
  ASSERT_EQ(Order("T30,"), kE1);
  EXPECT_EQ(Order("T3O,"), kE0);
  EXPECT_EQ(Order("Z1,"), kE0);
  EXPECT_EQ(model.State().angle, 30);
  // Bad frames are counted, recorded as raw bytes only, and not answered.
  Write(Bytes("$\x05") + "F1," + Bytes(2, '\0'), 0.0);
  EXPECT_EQ(Read(0.0), "");
  EXPECT_EQ(model.BadFrames(), 1u);
  EXPECT_EQ(model.Payloads(), (Strings{"T30,", "T3O,", "Z1,"}));
}

TEST_F(DeviceModelTest, RepliesBecomeReadableAfterTheLatency) {
  SetKnobs([](auto &k) { k.latency = 0.25; });
  EXPECT_EQ(Order("F1,", 1.0), "");
  const std::optional<double> due = model.NextReplyTime(1.0);
  ASSERT_TRUE(due);
  EXPECT_DOUBLE_EQ(*due, 1.25);
  model.DiscardReadable(1.2); // still on its way: kept
  EXPECT_EQ(model.Readable(1.2499), 0);
  EXPECT_EQ(model.Readable(1.25), 6);
  unsigned char head[2];
  EXPECT_EQ(model.Take(head, 2, 1.25), 2);
  EXPECT_EQ(Read(1.25), kE1.substr(2));
  EXPECT_FALSE(model.NextReplyTime(1.25));

  // Lowering the latency never lets a reply overtake an earlier one.
  Order("Q1", 2.0);
  SetKnobs([](auto &k) { k.latency = 0.0; });
  Order("?1,", 2.01);
  EXPECT_EQ(Read(2.02), "");
  EXPECT_EQ(Read(2.25), kE1 + sim::EncodeFrame("R3000"));

  Order("Q1", 3.0);
  model.DiscardReadable(3.0);
  EXPECT_EQ(model.Readable(3.0), 0);
}

TEST_F(DeviceModelTest, RefuseAllOrByPrefix) {
  SetKnobs([](auto &k) {
    k.refuse = true;
    k.refusePrefix = "W";
  });
  EXPECT_EQ(Order("W100,"), kE0);
  EXPECT_EQ(Order("T30,"), kE1);
  EXPECT_FALSE(model.State().width);

  SetKnobs([](auto &k) { k.refusePrefix.clear(); });
  EXPECT_EQ(Order("T40,"), kE0);
  EXPECT_EQ(Order("Q1"), kE0);
  EXPECT_EQ(Order("?1,"), kE0);
  EXPECT_EQ(model.State().angle, 30);
}

TEST_F(DeviceModelTest, AckFromCountsIdenticalAttemptsInARow) {
  SetKnobs([](auto &k) { k.ackFrom = 3; });
  EXPECT_EQ(Orders({"F3,", "F3,"}), kE0 + kE0);
  EXPECT_FALSE(model.State().signalMode);
  EXPECT_EQ(Order("?1,"), sim::EncodeFrame("R3000")); // polls neither count nor break the run
  EXPECT_EQ(Order("F3,"), kE1);
  // An acknowledgement starts the count afresh.
  EXPECT_EQ(Orders({"F3,", "F3,", "F3,"}), kE0 + kE0 + kE1);
  // Another command breaks the run.
  EXPECT_EQ(Orders({"T1,", "T1,", "W1,", "T1,"}), kE0 + kE0 + kE0 + kE0);
  EXPECT_EQ(model.State().signalMode, 1);
  EXPECT_FALSE(model.State().angle);
}

TEST_F(DeviceModelTest, SilentAnswersNothingButStillActs) {
  SetKnobs([](auto &k) { k.silent = true; });
  EXPECT_EQ(Orders({"T30,", "?1,"}), "");
  EXPECT_EQ(model.State().angle, 30);

  SetKnobs([](auto &k) { k.silentPrefix = "?"; });
  EXPECT_EQ(Order("Q1"), kE1);
  EXPECT_EQ(Order("?1,"), "");
}

TEST_F(DeviceModelTest, DamagedReplies) {
  const std::pair<bool sim::DeviceKnobs::*, Bytes> damage[] = {
      {&sim::DeviceKnobs::strayByte, Bytes(1, static_cast<char>(sim::kStrayByte)) + kE1},
      {&sim::DeviceKnobs::badChecksum, Bytes("\x24\x04\x45\x31\x7B\x00", 6)},
      {&sim::DeviceKnobs::trailing, kE1 + sim::kTrailingBytes}};
  for (const auto &[knob, reply] : damage) {
    SetKnobs([knob = knob](auto &k) { k = sim::DeviceKnobs{}, k.*knob = true; });
    EXPECT_EQ(Order("Q1"), reply);
  }
}

// The faults aimed at one command: a latency and a stray byte of its own;
// a reply held back until the next flush; rate reports nobody asked for.
TEST_F(DeviceModelTest, FaultsOfOneCommandHeldRepliesAndUnaskedReports) {
  SetKnobs([](auto &k) {
    k.latencyFor = {{"T", 0.15}};
    k.strayByte = true, k.strayPrefix = "W";
    k.holdPrefix = "Q";
  });
  EXPECT_EQ(Order("T30,", 1.0), "");
  EXPECT_EQ(Read(1.1499), "");
  EXPECT_EQ(Read(1.15), kE1);
  EXPECT_EQ(Orders({"W1,", "F1,"}, 2.0), static_cast<char>(sim::kStrayByte) + kE1 + kE1);
  EXPECT_EQ(Order("Q1", 3.0), "");
  EXPECT_EQ(model.HeldReplies(), 1u);
  model.DiscardReadable(3.5); // released by the flush, after it
  EXPECT_EQ(Read(3.5), kE1);
  EXPECT_EQ(Order("Q1", 4.0), kE1); // held once per setting of the knobs
  SetKnobs([](auto &k) { k.holdPrefix = "Q"; });
  EXPECT_EQ(Order("Q1", 5.0), "");
  EXPECT_EQ(Order("F1,", 5.0), kE1 + kE1); // or ahead of the next command's reply

  SetKnobs([](auto &k) { k = sim::DeviceKnobs{}, k.reportEvery = 0.2; });
  EXPECT_EQ(Read(10.0), ""); // counted from the first look
  EXPECT_DOUBLE_EQ(*model.NextReplyTime(10.0), 10.2);
  const Bytes report = sim::EncodeFrame("R3000");
  EXPECT_EQ(Read(10.45), report + report);
  EXPECT_EQ(Order("?1,", 10.5), report); // an asked one keeps its place in line
  EXPECT_EQ(model.UnaskedReports(), 2u);
}

// The fuzzer picks every knob with a bit of its own (a knob it does not name
// does not build), and no bit goes unread or overlaps another's knob.
TEST(DeviceKnobs, EachFuzzerBitSetsAKnobOfItsOwn) {
  const sim::DeviceKnobs none = fuzz_knobs::FromBits(0);
  std::vector<sim::DeviceKnobs> seen;
  for (int bit = 0; bit < fuzz_knobs::kBits; ++bit) {
    const auto bits = static_cast<std::uint16_t>(1u << bit);
    const sim::DeviceKnobs knobs = fuzz_knobs::FromBits(bits);
    EXPECT_EQ(knobs != none, (fuzz_knobs::kUsedBits & bits) != 0) << bit;
    if (knobs != none) {
      EXPECT_EQ(std::count(seen.begin(), seen.end(), knobs), 0) << bit;
      seen.push_back(knobs);
    }
  }
}

TEST_F(DeviceModelTest, VanishedDeviceHearsNothingAndLosesItsReplies) {
  SetKnobs([](auto &k) { k.latency = 1.0; });
  Order("Q1");
  model.Vanish();
  EXPECT_FALSE(model.Present());
  EXPECT_EQ(Order("T30,", 2.0), "");
  EXPECT_EQ(model.Payloads(), Strings{"Q1"});
  model.Reappear();
  EXPECT_TRUE(model.Present());
  EXPECT_EQ(Read(2.0), "");
  Order("T30,", 3.0);
  EXPECT_EQ(Read(4.0), kE1);
}

TEST_F(DeviceModelTest, UnreadRepliesAndRecordsStayBounded) {
  const Bytes poll = sim::EncodeFrame("?1,");
  for (int i = 0; i < 2000; ++i)
    Write(poll, 0.0);
  EXPECT_LE(static_cast<std::size_t>(model.Readable(0.0)), sim::DeviceModel::kMaxPendingBytes);
  EXPECT_GT(model.DroppedReplies(), 0u);

  const Bytes garbage(3 * sim::DeviceModel::kMaxRawBytes, 'x');
  Write(garbage + "tail", 0.0);
  const Bytes raw = model.RawBytes();
  EXPECT_EQ(raw.size(), sim::DeviceModel::kMaxRawBytes);
  EXPECT_EQ(raw.substr(raw.size() - 4), "tail");

  for (std::size_t i = 0; i < sim::DeviceModel::kMaxRecordedCommands + 5; ++i)
    Write(poll, 0.0);
  EXPECT_EQ(model.Commands().size(), sim::DeviceModel::kMaxRecordedCommands);

  model.ClearRecord();
  EXPECT_TRUE(model.Payloads().empty());
  EXPECT_TRUE(model.RawBytes().empty());
}

TEST_F(DeviceModelTest, ObserverSeesFramesRepliesAndBadFrames) {
  std::vector<sim::FrameEvent> events;
  model.SetFrameObserver([&](const sim::FrameEvent &e) {
    events.push_back(e);
    model.Knobs(); // called outside the model's lock
  });
  Write(sim::EncodeFrame("F9,") + "$\x01" + sim::EncodeFrame("Q1"), 0.5);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].frame.bytes, "F9,");
  EXPECT_EQ(events[0].reply, "E0");
  EXPECT_FALSE(events[1].frame.valid);
  EXPECT_EQ(events[1].frame.problem, "bad length");
  EXPECT_EQ(events[2].reply, "E1");
  EXPECT_EQ(events[2].time, 0.5);
}

} // namespace
