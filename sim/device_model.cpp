#include "sim/device_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace sim {
namespace {

bool Matches(const std::string &payload, const std::string &prefix) {
  return payload.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

DeviceModel::DeviceModel(int startRate, DeviceKnobs knobs)
    : knobs_(std::move(knobs)), state_(startRate) {}

void DeviceModel::Receive(const unsigned char *data, int count, double now) {
  if (data == nullptr || count <= 0)
    return;
  std::vector<FrameEvent> events;
  std::function<void(const FrameEvent &)> observer;
  {
    std::lock_guard lock(mutex_);
    if (!present_)
      return;
    raw_.append(reinterpret_cast<const char *>(data), static_cast<std::size_t>(count));
    if (raw_.size() > 2 * kMaxRawBytes)
      raw_.erase(0, raw_.size() - kMaxRawBytes);

    std::vector<ScannedFrame> frames;
    scanner_.Feed(data, static_cast<std::size_t>(count), now, frames);
    for (ScannedFrame &frame : frames) {
      FrameEvent event{now, std::move(frame), {}};
      if (event.frame.valid) {
        commands_.push_back(ReceivedCommand{now, event.frame.bytes});
        if (commands_.size() > kMaxRecordedCommands)
          commands_.pop_front();
        if (std::optional<std::string> reply = Respond(event.frame.bytes)) {
          Queue(*reply, event.frame.bytes, now);
          event.reply = std::move(*reply);
        }
      }
      events.push_back(std::move(event));
    }
    observer = observer_;
  }
  if (observer) {
    for (const FrameEvent &event : events)
      observer(event);
  }
}

std::optional<std::string> DeviceModel::Respond(const std::string &payload) {
  const std::optional<Command> command = ParseCommand(payload);
  const bool poll = command && command->kind == CommandKind::RatePoll;
  if (!poll) {
    if (payload == lastPayload_) {
      ++attempts_;
    } else {
      lastPayload_ = payload;
      attempts_ = 1;
    }
  }

  std::string reply;
  if (!command || (knobs_.refuse && Matches(payload, knobs_.refusePrefix)) ||
      (!poll && attempts_ < knobs_.ackFrom)) {
    reply = "E0";
  } else if (poll) {
    reply = "R" + std::to_string(state_.CurrentRate());
    state_.Step();
  } else {
    state_.Apply(*command);
    attempts_ = 0;
    reply = "E1";
  }

  if (knobs_.silent && Matches(payload, knobs_.silentPrefix))
    return std::nullopt;
  return reply;
}

double DeviceModel::LatencyFor(const std::string &payload) const {
  for (const PrefixLatency &own : knobs_.latencyFor)
    if (Matches(payload, own.prefix))
      return own.seconds;
  return knobs_.latency;
}

void DeviceModel::Queue(const std::string &reply, const std::string &payload, double now) {
  std::string bytes;
  if (knobs_.strayByte && Matches(payload, knobs_.strayPrefix))
    bytes.push_back(static_cast<char>(kStrayByte));
  std::string frame = EncodeFrame(reply);
  if (knobs_.badChecksum)
    frame[frame.size() - 2] = static_cast<char>(frame[frame.size() - 2] + 1);
  bytes += frame;
  if (knobs_.trailing)
    bytes += kTrailingBytes;
  if (holdArmed_ && !knobs_.holdPrefix.empty() && Matches(payload, knobs_.holdPrefix)) {
    holdArmed_ = false;
    held_.push_back(std::move(bytes));
    return;
  }
  ReleaseHeld(now);
  Push(std::move(bytes), now + std::max(LatencyFor(payload), 0.0));
}

void DeviceModel::Push(std::string bytes, double readyAt) {
  if (pendingBytes_ + bytes.size() > kMaxPendingBytes) {
    ++droppedReplies_;
    return;
  }
  // A serial line keeps its order: a reply never overtakes an earlier one,
  // even when the latency was lowered in between.
  if (!replies_.empty())
    readyAt = std::max(readyAt, replies_.back().readyAt);
  pendingBytes_ += bytes.size();
  replies_.push_back(Reply{readyAt, std::move(bytes)});
}

// The unasked reports due by `now`, each readable from its own time. After
// a long silence of the reader only the newest few are sent: the pending
// bound would drop the rest anyway.
void DeviceModel::EmitReports(double now) {
  if (knobs_.reportEvery <= 0.0 || !present_)
    return;
  const double every = knobs_.reportEvery;
  if (nextReportAt_ < 0.0)
    nextReportAt_ = now + every;
  if (nextReportAt_ > now)
    return;
  constexpr double kMostAtOnce = 64;
  const double due = std::floor((now - nextReportAt_) / every) + 1;
  const int count = static_cast<int>(std::min(due, kMostAtOnce));
  const double first = due > kMostAtOnce ? now - (count - 1) * every : nextReportAt_;
  for (int i = 0; i < count; ++i) {
    Push(EncodeFrame("R" + std::to_string(state_.CurrentRate())), first + i * every);
    ++unaskedReports_;
  }
  nextReportAt_ = std::max(first + count * every, std::nextafter(now, HUGE_VAL));
}

std::size_t DeviceModel::ReadableLocked(double now) const {
  std::size_t count = 0;
  for (const Reply &reply : replies_) {
    if (reply.readyAt > now)
      break;
    count += reply.bytes.size();
  }
  return count;
}

int DeviceModel::Readable(double now) {
  std::lock_guard lock(mutex_);
  EmitReports(now);
  return static_cast<int>(ReadableLocked(now));
}

int DeviceModel::Take(unsigned char *out, int max, double now) {
  std::lock_guard lock(mutex_);
  EmitReports(now);
  if (out == nullptr || max <= 0)
    return 0;
  std::size_t taken = 0;
  const std::size_t limit = static_cast<std::size_t>(max);
  while (taken < limit && !replies_.empty() && replies_.front().readyAt <= now) {
    std::string &bytes = replies_.front().bytes;
    const std::size_t n = std::min(limit - taken, bytes.size());
    std::copy_n(bytes.begin(), n, out + taken);
    taken += n;
    pendingBytes_ -= n;
    if (n == bytes.size())
      replies_.pop_front();
    else
      bytes.erase(0, n);
  }
  return static_cast<int>(taken);
}

void DeviceModel::DiscardReadable(double now) {
  std::lock_guard lock(mutex_);
  EmitReports(now);
  while (!replies_.empty() && replies_.front().readyAt <= now) {
    pendingBytes_ -= replies_.front().bytes.size();
    replies_.pop_front();
  }
  ReleaseHeld(now); // a reply held back arrives just after the flush
}

void DeviceModel::ReleaseHeld(double now) {
  for (std::string &bytes : held_)
    Push(std::move(bytes), now);
  held_.clear();
}

bool DeviceModel::Present() const {
  std::lock_guard lock(mutex_);
  return present_;
}

void DeviceModel::SetKnobs(const DeviceKnobs &knobs) {
  std::lock_guard lock(mutex_);
  if (knobs.reportEvery != knobs_.reportEvery)
    nextReportAt_ = -1.0;
  knobs_ = knobs;
  holdArmed_ = true;
}

DeviceKnobs DeviceModel::Knobs() const {
  std::lock_guard lock(mutex_);
  return knobs_;
}

void DeviceModel::Vanish() {
  std::lock_guard lock(mutex_);
  present_ = false;
  replies_.clear();
  held_.clear();
  pendingBytes_ = 0;
  scanner_.Reset();
}

void DeviceModel::Reappear() {
  std::lock_guard lock(mutex_);
  present_ = true;
}

DeviceState DeviceModel::State() const {
  std::lock_guard lock(mutex_);
  return state_;
}

std::vector<ReceivedCommand> DeviceModel::Commands() const {
  std::lock_guard lock(mutex_);
  return {commands_.begin(), commands_.end()};
}

std::vector<std::string> DeviceModel::Payloads() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> payloads;
  payloads.reserve(commands_.size());
  for (const ReceivedCommand &command : commands_)
    payloads.push_back(command.payload);
  return payloads;
}

std::string DeviceModel::RawBytes() const {
  std::lock_guard lock(mutex_);
  if (raw_.size() <= kMaxRawBytes)
    return raw_;
  return raw_.substr(raw_.size() - kMaxRawBytes);
}

std::size_t DeviceModel::BadFrames() const {
  std::lock_guard lock(mutex_);
  return scanner_.BadFrames();
}

std::size_t DeviceModel::DroppedReplies() const {
  std::lock_guard lock(mutex_);
  return droppedReplies_;
}

void DeviceModel::ClearRecord() {
  std::lock_guard lock(mutex_);
  commands_.clear();
  raw_.clear();
}

std::optional<double> DeviceModel::NextReplyTime(double now) const {
  std::lock_guard lock(mutex_);
  std::optional<double> next;
  for (const Reply &reply : replies_) {
    if (reply.readyAt > now) {
      next = reply.readyAt;
      break;
    }
  }
  if (knobs_.reportEvery > 0.0 && present_) {
    const double report = nextReportAt_ < 0.0 ? now : nextReportAt_;
    next = next ? std::min(*next, report) : report;
  }
  return next;
}

std::size_t DeviceModel::UnaskedReports() const {
  std::lock_guard lock(mutex_);
  return unaskedReports_;
}

std::size_t DeviceModel::HeldReplies() const {
  std::lock_guard lock(mutex_);
  return held_.size();
}

void DeviceModel::SetFrameObserver(std::function<void(const FrameEvent &)> observer) {
  std::lock_guard lock(mutex_);
  observer_ = std::move(observer);
}

} // namespace sim
