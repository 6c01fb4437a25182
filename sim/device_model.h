// The simulated signal generator as an in-process byte device.
//
// It scans the bytes the program writes into frames, acts on each command and
// queues its reply frame, which becomes readable `latency` seconds after the
// command's last byte arrived. Settings commands and the link test are
// answered "E1" when accepted and "E0" when refused or malformed; the rate
// poll "?1," is answered "R<rate>". DeviceKnobs inject faults.
//
// Every public member locks one mutex, so a service thread (the pseudo-
// terminal) and a test thread may share a model.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/byte_device.h"
#include "sim/device_knobs.h"
#include "sim/device_state.h"
#include "sim/frame_scanner.h"

namespace sim {

struct ReceivedCommand {
  double time; // when the frame's last byte arrived
  std::string payload;
};

// One scanned frame or rejected candidate, with the reply payload it got
// (empty when none was sent: a bad frame, or a silent device).
struct FrameEvent {
  double time;
  ScannedFrame frame;
  std::string reply;
};

class DeviceModel : public rt::ByteDevice {
public:
  static constexpr std::size_t kMaxRecordedCommands = 10000;
  static constexpr std::size_t kMaxRawBytes = 64 * 1024;
  // Replies nobody reads are dropped beyond this many waiting bytes.
  static constexpr std::size_t kMaxPendingBytes = 4096;

  explicit DeviceModel(int startRate = 0, DeviceKnobs knobs = {});

  void Receive(const unsigned char *data, int count, double now) override;
  int Readable(double now) override;
  int Take(unsigned char *out, int max, double now) override;
  void DiscardReadable(double now) override;
  bool Present() const override;

  void SetKnobs(const DeviceKnobs &knobs);
  DeviceKnobs Knobs() const;
  // The device is unplugged: Present() turns false, incoming bytes are lost
  // and replies on their way are gone. Reappear() plugs it back in.
  void Vanish();
  void Reappear();

  DeviceState State() const;
  // The valid command frames received, oldest first (the last
  // kMaxRecordedCommands of them).
  std::vector<ReceivedCommand> Commands() const;
  std::vector<std::string> Payloads() const;
  // The last kMaxRawBytes bytes received, as they came.
  std::string RawBytes() const;
  std::size_t BadFrames() const;
  std::size_t DroppedReplies() const;
  // Unasked rate reports queued (DeviceKnobs::reportEvery), and replies held
  // back and not yet released (DeviceKnobs::holdPrefix).
  std::size_t UnaskedReports() const;
  std::size_t HeldReplies() const;
  void ClearRecord();

  // When the earliest reply not yet readable becomes readable.
  std::optional<double> NextReplyTime(double now) const;

  // Called for every frame and rejected candidate, on the thread that calls
  // Receive, after the model's lock is released.
  void SetFrameObserver(std::function<void(const FrameEvent &)> observer);

private:
  struct Reply {
    double readyAt;
    std::string bytes;
  };

  std::optional<std::string> Respond(const std::string &payload);
  void Queue(const std::string &reply, const std::string &payload, double now);
  void Push(std::string bytes, double readyAt);
  void ReleaseHeld(double now);
  double LatencyFor(const std::string &payload) const;
  void EmitReports(double now);
  std::size_t ReadableLocked(double now) const;

  mutable std::mutex mutex_;
  DeviceKnobs knobs_;
  DeviceState state_;
  FrameScanner scanner_;
  bool present_ = true;

  std::string lastPayload_; // for counting attempts of the same command
  int attempts_ = 0;

  std::deque<Reply> replies_;
  std::size_t pendingBytes_ = 0;
  std::size_t droppedReplies_ = 0;
  double nextReportAt_ = -1.0; // -1: from the first time asked
  std::size_t unaskedReports_ = 0;
  bool holdArmed_ = true;
  std::vector<std::string> held_;

  std::deque<ReceivedCommand> commands_;
  std::string raw_;
  std::function<void(const FrameEvent &)> observer_;
};

} // namespace sim
