// Fuzzes the device model: its frame scanner, its command parser and the
// replies it queues, on whatever bytes a program writes.
//
// Input: byte 0 is the chunk size (low 6 bits, 0 for all at once) and the
// time between chunks (high 2 bits); bytes 1 and 2 set the fault knobs, low
// byte first (fuzz_knobs.h); byte 3 the reply latency (low 2 bits) and how
// often the rest is sent (high 6 bits: 1 to 4 times, or with the top code
// twice around a filler longer than the model's raw record).
// The rest is the byte stream. It is written to a fresh sim::DeviceModel
// chunk by chunk with an increasing time; then every reply is taken.
//
// Checked: the model's documented bounds (waiting reply bytes, recorded
// commands, raw bytes) and the scanner's (one candidate of at most
// kMaxFrameBytes); the commands it records are the frames a scanner finds in
// the same stream; every frame payload re-encodes to itself and every parsed
// command formats back to the same command; Take hands out exactly what
// Readable promised; the replies are well-formed frames, one per command
// unless the knobs silence or corrupt them, "E0" for a malformed command.
#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_knobs.h"
#include "sim/command.h"
#include "sim/device_model.h"
#include "sim/frame_scanner.h"

namespace {

using sim::CommandKind;

constexpr std::size_t kHeader = 4;
constexpr double kChunkGaps[] = {0.001, 0.01, 0.051, 1.0}; // the stall timeout is 0.05
constexpr double kLater = 1e300; // every reply on its way is readable by then
// The top repeat code sends the stream, then more bytes than the model keeps
// of its raw record, none of them a frame start, then the stream again: the
// record is trimmed while the scanner stays cheap.
constexpr unsigned kFloodCode = 63;
constexpr std::size_t kFloodBytes = 2 * sim::DeviceModel::kMaxRawBytes + 1;
constexpr char kFloodFiller = 'x';
constexpr std::size_t kFloodChunk = 512; // fewer, larger writes

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

void CheckPayload(const std::string &payload) {
  FUZZ_CHECK(payload.size() <= static_cast<std::size_t>(sim::kMaxPayload));
  // The frame round trip: encoding the payload and scanning it gives it back.
  sim::FrameScanner scanner;
  std::vector<sim::ScannedFrame> frames;
  const std::string frame = sim::EncodeFrame(payload);
  scanner.Feed(reinterpret_cast<const unsigned char *>(frame.data()), frame.size(), 0.0, frames);
  FUZZ_CHECK(frames.size() == 1 && frames[0].valid && frames[0].bytes == payload);

  // The command round trip: a parsed command, formatted, parses the same.
  const std::optional<sim::Command> command = sim::ParseCommand(payload);
  if (!command)
    return;
  const std::string text = sim::FormatCommand(*command);
  const std::optional<sim::Command> again = sim::ParseCommand(text);
  FUZZ_CHECK(again && again->kind == command->kind && again->values == command->values);
  FUZZ_CHECK(payload.front() == text.front());
}

void CheckReplyPayload(const std::string &reply) {
  if (reply == "E0" || reply == "E1")
    return;
  FUZZ_CHECK(reply.size() >= 2 && reply.front() == 'R');
  int rate = 0;
  const char *end = reply.data() + reply.size();
  const auto [ptr, ec] = std::from_chars(reply.data() + 1, end, rate);
  FUZZ_CHECK(ec == std::errc() && ptr == end);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < kHeader)
    return 0;
  const std::size_t chunkCode = data[0] & 0x3Fu;
  const double gap = kChunkGaps[data[0] >> 6];
  const auto knobBits = static_cast<std::uint16_t>(data[1] | data[2] << 8);
  const double latency = fuzz_knobs::kLatencies[data[3] & 3u];
  const unsigned repeatCode = data[3] >> 2;
  const std::string_view body(reinterpret_cast<const char *>(data + kHeader), size - kHeader);

  const sim::DeviceKnobs knobs = fuzz_knobs::FromBits(knobBits, latency);

  std::string stream;
  if (!body.empty()) {
    if (repeatCode == kFloodCode) {
      stream.append(body).append(kFloodBytes, kFloodFiller).append(body);
    } else {
      for (unsigned i = 0; i <= repeatCode % 4; ++i)
        stream.append(body);
    }
  }
  std::size_t chunk = chunkCode == 0 ? std::max<std::size_t>(stream.size(), 1) : chunkCode;
  if (repeatCode == kFloodCode)
    chunk = std::max(chunk, kFloodChunk);

  sim::DeviceModel model(1000, knobs);
  sim::FrameScanner scanner; // the same stream, scanned alongside
  std::vector<sim::ScannedFrame> frames;
  std::vector<std::string> payloads; // every valid frame, in order
  std::size_t unanswered = 0;        // valid frames the silent knob leaves unanswered
  double now = 0.0;
  for (std::size_t at = 0; at < stream.size(); at += chunk) {
    now += gap;
    const std::size_t n = std::min(chunk, stream.size() - at);
    const auto *bytes = reinterpret_cast<const unsigned char *>(stream.data() + at);
    model.Receive(bytes, static_cast<int>(n), now);

    frames.clear();
    scanner.Feed(bytes, n, now, frames);
    FUZZ_CHECK(scanner.Buffered() <= static_cast<std::size_t>(sim::kMaxFrameBytes));
    for (sim::ScannedFrame &frame : frames) {
      if (!frame.valid) {
        FUZZ_CHECK(!frame.problem.empty());
        FUZZ_CHECK(!frame.bytes.empty() && frame.bytes.front() == '$');
        FUZZ_CHECK(frame.bytes.size() <= static_cast<std::size_t>(sim::kMaxFrameBytes));
        continue;
      }
      if (payloads.empty() || frame.bytes != payloads.back())
        CheckPayload(frame.bytes); // once per run of identical frames
      if (knobs.silent && StartsWith(frame.bytes, knobs.silentPrefix))
        ++unanswered;
      payloads.push_back(std::move(frame.bytes));
    }
    // Waiting replies, including those still on their way, stay bounded.
    // (Only a frame queues a reply.)
    if (!frames.empty())
      FUZZ_CHECK(static_cast<std::size_t>(model.Readable(kLater)) <=
                 sim::DeviceModel::kMaxPendingBytes);
  }
  FUZZ_CHECK(static_cast<std::size_t>(model.Readable(kLater)) <=
             sim::DeviceModel::kMaxPendingBytes);
  FUZZ_CHECK(model.BadFrames() == scanner.BadFrames());

  // The record: the last kMaxRawBytes bytes, the last kMaxRecordedCommands frames.
  const std::string raw = model.RawBytes();
  FUZZ_CHECK(raw.size() == std::min(stream.size(), sim::DeviceModel::kMaxRawBytes));
  FUZZ_CHECK(std::string_view(stream).substr(stream.size() - raw.size()) == raw);
  const std::vector<std::string> recorded = model.Payloads();
  FUZZ_CHECK(recorded.size() == std::min(payloads.size(), sim::DeviceModel::kMaxRecordedCommands));
  FUZZ_CHECK(std::equal(recorded.begin(), recorded.end(), payloads.end() - recorded.size()));

  // Every reply, once the longest latency has passed.
  now += 10.0;
  FUZZ_CHECK(knobs.reportEvery > 0.0 || !model.NextReplyTime(now));
  const int readable = model.Readable(now);
  FUZZ_CHECK(readable >= 0 &&
             static_cast<std::size_t>(readable) <= sim::DeviceModel::kMaxPendingBytes);
  std::string replies;
  unsigned char out[64];
  // Readable walks every waiting reply: asked now and then, not after each Take.
  int left = readable;
  for (int max = 1, round = 0; left > 0; max = max % 64 + 1, ++round) {
    const int taken = model.Take(out, max, now);
    FUZZ_CHECK(taken == std::min(max, left));
    left -= taken;
    if (round % 16 == 0)
      FUZZ_CHECK(model.Readable(now) == left);
    replies.append(reinterpret_cast<const char *>(out), static_cast<std::size_t>(taken));
  }
  FUZZ_CHECK(model.Readable(now) == 0);
  FUZZ_CHECK(model.Take(out, static_cast<int>(sizeof out), now) == 0);

  sim::FrameScanner replyScanner(1e9);
  std::vector<sim::ScannedFrame> replyFrames;
  replyScanner.Feed(reinterpret_cast<const unsigned char *>(replies.data()), replies.size(), now,
                    replyFrames);
  std::vector<std::string> answers;
  for (const sim::ScannedFrame &frame : replyFrames) {
    if (frame.valid) {
      CheckReplyPayload(frame.bytes);
      answers.push_back(frame.bytes);
    }
  }
  // Unasked reports mix with the answers (and were asked for once at a time
  // far ahead, by the bound checks above): only the bounds hold there.
  if (knobs.reportEvery > 0.0)
    return 0;
  if (knobs.badChecksum) {
    FUZZ_CHECK(answers.empty());
    return 0;
  }
  const std::size_t dropped = model.DroppedReplies();
  const std::size_t held = model.HeldReplies(); // released only by a flush
  FUZZ_CHECK(held <= 1);
  FUZZ_CHECK(answers.size() + dropped + unanswered + held == payloads.size());
  if (dropped != 0 || unanswered != 0 || held != 0)
    return 0;

  // One reply per command, in order: a malformed command is refused, and a
  // well-formed one is acknowledged (or answered with the rate) unless a knob
  // says otherwise.
  const bool plainDevice = !knobs.refuse && knobs.ackFrom == 1 && knobs.holdPrefix.empty();
  for (std::size_t i = 0; i < payloads.size(); ++i) {
    const std::optional<sim::Command> command = sim::ParseCommand(payloads[i]);
    if (!command)
      FUZZ_CHECK(answers[i] == "E0");
    else if (command->kind == CommandKind::RatePoll)
      FUZZ_CHECK(answers[i].front() == 'R' || (knobs.refuse && answers[i] == "E0"));
    else if (plainDevice)
      FUZZ_CHECK(answers[i] == "E1");
    else
      FUZZ_CHECK(answers[i] == "E0" || answers[i] == "E1");
  }
  return 0;
}
