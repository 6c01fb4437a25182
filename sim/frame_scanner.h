// Turns the byte stream the program writes into command frames.
//
// A frame is "$", a length byte L = n + 2, n payload bytes and a checksum
// (L + payload sum) mod 256, usually followed by a 0x00 terminator. The
// program leaves the terminator out when the checksum itself is 0x00, so the
// scanner treats a 0x00 right after a frame as optional padding.
//
// The scanner keeps at most one frame candidate (kMaxFrameBytes bytes). Bytes
// outside a candidate are dropped; a candidate that fails its length or
// checksum test, or that stalls for longer than the inter-byte timeout, is
// reported as bad and the scan resumes at the byte after its "$".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

constexpr unsigned char kFrameStart = 0x24;     // "$"
constexpr int kMaxPayload = 123;                // the length byte is a signed byte
constexpr int kMaxFrameBytes = kMaxPayload + 3; // "$", L, payload, checksum

// (L + payload sum) mod 256 for a payload framed with L = n + 2.
unsigned char FrameChecksum(std::string_view payload);
// "$", L, payload, checksum, 0x00. Payloads longer than kMaxPayload are cut.
std::string EncodeFrame(std::string_view payload);

struct ScannedFrame {
  bool valid = false;
  // Valid: the payload. Bad: the raw bytes of the rejected candidate.
  std::string bytes;
  // Why a candidate was rejected; empty for a valid frame.
  std::string problem;
};

class FrameScanner {
public:
  // A candidate whose next byte takes longer than this (seconds) is dropped.
  // The program writes a whole frame at once, so a pause inside one means it
  // was garbage that merely looked like a frame start.
  static constexpr double kDefaultStallTimeout = 0.05;

  explicit FrameScanner(double stallTimeout = kDefaultStallTimeout);

  // Scans `count` bytes received at `now`; appends every frame and every
  // rejected candidate to `out` in stream order.
  void Feed(const unsigned char *data, std::size_t count, double now,
            std::vector<ScannedFrame> &out);
  // Drops a candidate that has stalled at `now` (reported as bad).
  void Expire(double now, std::vector<ScannedFrame> &out);
  void Reset();

  std::size_t Buffered() const { return pending_.size(); }
  std::size_t BadFrames() const { return badFrames_; }
  std::size_t DroppedBytes() const { return droppedBytes_; }

private:
  void Scan(unsigned char byte, std::vector<ScannedFrame> &out);
  void Drain(std::vector<ScannedFrame> &out);
  void Reject(const char *problem, std::vector<ScannedFrame> &out);

  double stallTimeout_;
  std::string pending_; // the current candidate, starting with "$"
  std::string replay_;  // bytes of a rejected candidate still to be scanned
  double lastByteTime_ = 0.0;
  bool afterFrame_ = false; // a 0x00 here is the previous frame's terminator
  std::size_t badFrames_ = 0;
  std::size_t droppedBytes_ = 0;
};

} // namespace sim
