#include "sim/frame_scanner.h"

namespace sim {

unsigned char FrameChecksum(std::string_view payload) {
  unsigned sum = static_cast<unsigned>(payload.size()) + 2;
  for (unsigned char c : payload)
    sum += c;
  return static_cast<unsigned char>(sum & 0xFF);
}

std::string EncodeFrame(std::string_view payload) {
  if (payload.size() > static_cast<std::size_t>(kMaxPayload))
    payload = payload.substr(0, kMaxPayload);
  std::string frame;
  frame.reserve(payload.size() + 4);
  frame.push_back(static_cast<char>(kFrameStart));
  frame.push_back(static_cast<char>(payload.size() + 2));
  frame.append(payload);
  frame.push_back(static_cast<char>(FrameChecksum(payload)));
  frame.push_back('\0');
  return frame;
}

FrameScanner::FrameScanner(double stallTimeout) : stallTimeout_(stallTimeout) {}

void FrameScanner::Feed(const unsigned char *data, std::size_t count, double now,
                        std::vector<ScannedFrame> &out) {
  if (count == 0)
    return;
  Expire(now, out);
  for (std::size_t i = 0; i < count; ++i) {
    Scan(data[i], out);
    Drain(out);
  }
  lastByteTime_ = now;
}

void FrameScanner::Expire(double now, std::vector<ScannedFrame> &out) {
  // Bytes scanned again after a rejection are as old as the candidate was.
  while (!pending_.empty() && now - lastByteTime_ > stallTimeout_) {
    Reject("incomplete", out);
    Drain(out);
  }
}

// Bytes of a rejected candidate are scanned again before the next input byte,
// so a real frame hidden behind a false start is still found. Candidate and
// replay together never hold more than kMaxFrameBytes bytes.
void FrameScanner::Drain(std::vector<ScannedFrame> &out) {
  while (!replay_.empty()) {
    unsigned char next = static_cast<unsigned char>(replay_.front());
    replay_.erase(0, 1);
    Scan(next, out);
  }
}

void FrameScanner::Reset() {
  pending_.clear();
  replay_.clear();
  afterFrame_ = false;
}

void FrameScanner::Scan(unsigned char byte, std::vector<ScannedFrame> &out) {
  if (pending_.empty()) {
    const bool terminator = afterFrame_ && byte == 0x00;
    afterFrame_ = false;
    if (byte == kFrameStart)
      pending_.push_back(static_cast<char>(byte));
    else if (!terminator)
      ++droppedBytes_;
    return;
  }

  pending_.push_back(static_cast<char>(byte));
  const int length = static_cast<unsigned char>(pending_[1]);
  if (pending_.size() == 2) {
    if (length < 2 || length > kMaxPayload + 2)
      Reject("bad length", out);
    return;
  }
  if (pending_.size() < static_cast<std::size_t>(length) + 1)
    return;

  std::string_view payload(pending_.data() + 2, static_cast<std::size_t>(length) - 2);
  if (FrameChecksum(payload) != byte) {
    Reject("bad checksum", out);
    return;
  }
  out.push_back(ScannedFrame{true, std::string(payload), {}});
  pending_.clear();
  afterFrame_ = true;
}

void FrameScanner::Reject(const char *problem, std::vector<ScannedFrame> &out) {
  ++badFrames_;
  out.push_back(ScannedFrame{false, pending_, problem});
  // Everything after the "$" may hold the start of a real frame. It goes in
  // front of whatever is still waiting to be scanned again.
  replay_.insert(0, pending_, 1, std::string::npos);
  pending_.clear();
  afterFrame_ = false;
}

} // namespace sim
