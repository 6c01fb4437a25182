// The one fake of the byte device (runtime/core/byte_device.h) for the
// tests, the fuzzers and the benchmarks, and the one helper that builds the
// frames they feed it.
//
// The fake records what the program writes and hands back bytes queued in
// chunks, each readable from a given time on the runtime clock. It counts
// waiting bytes per chunk, not per byte, so megabytes can wait without every
// GetInQLen walking them.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "runtime/core/byte_device.h"

class FakeDevice : public rt::ByteDevice {
public:
  struct Write {
    std::string bytes;
    double at;
  };

  // Called for every write; may queue a reply.
  std::function<void(FakeDevice &, const std::string &bytes, double now)> onWrite;

  void Queue(std::string bytes, double readableAt = 0.0) {
    if (!bytes.empty())
      chunks_.push_back({std::move(bytes), readableAt, 0});
  }

  void Receive(const unsigned char *data, int count, double now) override {
    if (replay)
      return;
    const std::string bytes(reinterpret_cast<const char *>(data), static_cast<std::size_t>(count));
    writes.push_back({bytes, now});
    if (onWrite)
      onWrite(*this, bytes, now);
  }
  int Readable(double now) override {
    std::size_t n = 0;
    for (const Chunk &c : chunks_) {
      if (c.at > now)
        break;
      n += c.bytes.size() - c.taken;
    }
    return static_cast<int>(n);
  }
  int Take(unsigned char *out, int max, double now) override {
    int n = 0;
    for (auto c = chunks_.begin(); n < max && c != chunks_.end() && c->at <= now; ++c) {
      std::size_t from = c->taken;
      while (n < max && from < c->bytes.size())
        out[n++] = static_cast<unsigned char>(c->bytes[from++]);
      if (!replay)
        c->taken = from;
    }
    if (!replay)
      while (!chunks_.empty() && chunks_.front().taken == chunks_.front().bytes.size())
        chunks_.pop_front();
    taken += static_cast<std::size_t>(n);
    return n;
  }
  void DiscardReadable(double now) override {
    if (!replay)
      while (!chunks_.empty() && chunks_.front().at <= now)
        chunks_.pop_front();
  }
  bool Present() const override { return present; }

  // Bytes queued and not yet taken or discarded, readable or not.
  std::size_t Left() const {
    std::size_t n = 0;
    for (const Chunk &c : chunks_)
      n += c.bytes.size() - c.taken;
    return n;
  }

  // Payloads of the well-formed command frames written, in order.
  std::vector<std::string> Payloads() const {
    std::vector<std::string> payloads;
    for (const Write &w : writes)
      if (w.bytes.size() >= 4 && w.bytes[0] == '$')
        payloads.push_back(w.bytes.substr(2, static_cast<unsigned char>(w.bytes[1]) - 2));
    return payloads;
  }

  std::vector<Write> writes;
  bool present = true;
  // A line that always has the same bytes waiting and forgets what is
  // written (benchmarks): Take hands out the waiting bytes without consuming
  // them, writes are not recorded.
  bool replay = false;
  std::size_t taken = 0; // bytes handed out by Take, in all

private:
  struct Chunk {
    std::string bytes;
    double at;
    std::size_t taken;
  };
  std::deque<Chunk> chunks_;
};

// Bytes of a frame around `payload`, terminator included, built here without
// the program's codec so that tests check the codec against it.
inline std::string Frame(const std::string &payload) {
  unsigned sum = static_cast<unsigned>(payload.size() + 2);
  for (unsigned char c : payload)
    sum += c;
  std::string frame = "$";
  frame += static_cast<char>(payload.size() + 2);
  frame += payload;
  frame += static_cast<char>(sum & 0xFF);
  frame += '\0';
  return frame;
}

// The frames of `payloads`, one after the other, as a download puts them on
// the line.
inline std::string Frames(const std::vector<std::string> &payloads) {
  std::string bytes;
  for (const std::string &p : payloads)
    bytes += Frame(p);
  return bytes;
}
