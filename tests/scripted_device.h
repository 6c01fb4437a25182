// A test device: records what the program writes and hands back bytes the
// test queued, each readable from a given time on.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "runtime/core/port_table.h"

class ScriptedDevice : public rt::ByteDevice {
public:
  struct Write {
    std::string bytes;
    double at;
  };

  // Called for every write; may queue a reply.
  std::function<void(ScriptedDevice &, const std::string &bytes, double now)> onWrite;

  void Queue(const std::string &bytes, double readableAt = 0.0) {
    for (char c : bytes)
      pending_.push_back({static_cast<unsigned char>(c), readableAt});
  }

  void Receive(const unsigned char *data, int count, double now) override {
    std::string bytes(reinterpret_cast<const char *>(data), static_cast<std::size_t>(count));
    writes.push_back({bytes, now});
    if (onWrite)
      onWrite(*this, bytes, now);
  }
  int Readable(double now) override {
    int n = 0;
    for (const auto &b : pending_) {
      if (b.at > now)
        break;
      ++n;
    }
    return n;
  }
  int Take(unsigned char *out, int max, double now) override {
    int n = 0;
    while (n < max && !pending_.empty() && pending_.front().at <= now) {
      out[n++] = pending_.front().value;
      pending_.pop_front();
    }
    return n;
  }
  void DiscardReadable(double now) override {
    while (!pending_.empty() && pending_.front().at <= now)
      pending_.pop_front();
  }
  bool Present() const override { return present; }

  std::size_t Left() const { return pending_.size(); }

  std::vector<Write> writes;
  bool present = true;

private:
  struct Byte {
    unsigned char value;
    double at;
  };
  std::deque<Byte> pending_;
};

// Bytes of a frame around `payload`, terminator included.
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
