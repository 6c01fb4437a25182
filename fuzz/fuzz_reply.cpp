// Fuzzes reply recognition and number reading: ChInQu, ReplyLetter and
// ReplyNumber on whatever bytes a device sends.
//
// Input: byte 0 chooses how the rest arrives: 0 all at once, otherwise in
// chunks of that many bytes, one chunk per second of a virtual clock. After
// each arrival ChInQu is called until nothing is waiting; whenever it returns
// 1 the reply letter and number are read.
//
// Checked on every call: the result is 0 or 1; with nothing waiting nothing
// is read; otherwise min(waiting, 199) bytes land in read_data, followed by
// 0x00 bytes up to its end (read_data[199] == 0), and nothing is left
// waiting; a read that starts with a well-formed reply frame is recognised;
// whenever a reply is recognised the read starts with a frame (checked here
// from scratch) whose payload holds the letter and number the callers take,
// and a frame with no payload gives no letter; the reply number never comes
// from the checksum byte. At the end every byte sent has been taken and
// nothing was written.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "link/frame.h"
#include "runtime/clock.h"
#include "runtime/port_table.h"
#include "runtime/serial_ops.h"

namespace {

constexpr int kPort = 9;
constexpr int kMostPerRead = FRAME_BUFFER_SIZE - 1;

// Sends the input in chunks: chunk k becomes readable k seconds after Load.
class ChunkedDevice final : public rt::ByteDevice {
public:
  void Load(const std::uint8_t *data, std::size_t size, std::size_t chunk, double now) {
    bytes_.assign(data, data + size);
    chunk_ = chunk == 0 ? std::max<std::size_t>(size, 1) : chunk;
    start_ = now;
    next_ = 0;
    written_ = 0;
    lastTake_.clear();
  }

  std::size_t Chunks() const { return (bytes_.size() + chunk_ - 1) / chunk_; }
  std::size_t Taken() const { return next_; }
  std::size_t Size() const { return bytes_.size(); }
  std::size_t Written() const { return written_; }
  // The bytes handed out by the last Take, cleared by ForgetLastTake.
  const std::string &LastTake() const { return lastTake_; }
  void ForgetLastTake() { lastTake_.clear(); }

  void Receive(const unsigned char *, int count, double) override {
    written_ += static_cast<std::size_t>(std::max(count, 0));
  }
  int Readable(double now) override { return static_cast<int>(Arrived(now) - next_); }
  int Take(unsigned char *out, int max, double now) override {
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(max, 0)), Arrived(now) - next_);
    std::memcpy(out, bytes_.data() + next_, n);
    lastTake_.assign(reinterpret_cast<const char *>(bytes_.data() + next_), n);
    next_ += n;
    return static_cast<int>(n);
  }
  void DiscardReadable(double now) override { next_ = Arrived(now); }

private:
  std::size_t Arrived(double now) const {
    const double elapsed = now - start_;
    if (elapsed < 0.0)
      return next_;
    const auto chunks = static_cast<std::size_t>(elapsed) + 1;
    if (chunks >= Chunks())
      return bytes_.size();
    return chunks * chunk_;
  }

  std::vector<std::uint8_t> bytes_;
  std::size_t chunk_ = 1;
  double start_ = 0.0;
  std::size_t next_ = 0;
  std::size_t written_ = 0;
  std::string lastTake_;
};

rt::VirtualClock virtualClock;
std::shared_ptr<ChunkedDevice> device;

// True when the first `taken` bytes of read_data start with a reply frame a
// device would send: "$", L (2 to 127), L - 2 non-zero payload bytes, a
// non-zero checksum, then the end of the read or a 0x00.
bool StartsWithWellFormedFrame(int taken) {
  if (taken < 3 || read_data[0] != '$')
    return false;
  const int length = static_cast<unsigned char>(read_data[1]);
  if (length < 2 || length > 127 || length >= taken)
    return false;
  unsigned sum = static_cast<unsigned>(length);
  for (int i = 2; i < length; ++i) {
    if (read_data[i] == '\0')
      return false;
    sum += static_cast<unsigned char>(read_data[i]);
  }
  const auto checksum = static_cast<unsigned char>(read_data[length]);
  if (checksum == 0 || checksum != (sum & 0xFFu))
    return false;
  return length + 1 == taken || read_data[length + 1] == '\0';
}

// The length byte of the frame the read starts with, or -1 when it does not
// start with one: "$", L, L - 2 payload bytes, the checksum (L + payload sum)
// mod 256 at offset L, then the end of the read or a 0x00. "$",0x00 counts as
// the empty frame (L = 0).
int FrameAtStart(int taken) {
  if (taken < 2 || read_data[0] != '$')
    return -1;
  const int length = static_cast<unsigned char>(read_data[1]);
  if (length == 0)
    return 0;
  if (length < 2 || length > 127 || length >= taken)
    return -1;
  unsigned sum = static_cast<unsigned>(length);
  for (int i = 2; i < length; ++i)
    sum += static_cast<unsigned char>(read_data[i]);
  if (static_cast<unsigned char>(read_data[length]) != (sum & 0xFFu))
    return -1;
  return length + 1 == taken || read_data[length + 1] == '\0' ? length : -1;
}

// A decimal number as atoi reads it from `text`, clamped to an int.
long long NumberIn(const std::string &text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = std::min(value * 10 + (text[i] - '0'), 10LL * INT_MAX);
  if (negative)
    value = -value;
  return std::clamp<long long>(value, INT_MIN, INT_MAX);
}

// A recognised reply: the read starts with a frame, and what the callers take
// (letter and number) is in its payload.
void CheckRecognised(int taken) {
  const int length = FrameAtStart(taken);
  FUZZ_CHECK(length >= 0);
  if (length < 3) {
    FUZZ_CHECK(ReplyLetter() == '\0');
    return;
  }
  FUZZ_CHECK(ReplyLetter() == read_data[2]);
  FUZZ_CHECK(ReplyLetter() != '\0');
  const std::string afterLetter(read_data + 3, static_cast<std::size_t>(length - 3));
  FUZZ_CHECK(ReplyNumber() == NumberIn(afterLetter));
}

void CheckReply() {
  const int number = ReplyNumber();

  // The payload ends in front of the byte at L. Whatever that byte is (a
  // digit or not), the number must not change.
  const int length = static_cast<signed char>(read_data[1]);
  if (length >= 3 && length < FRAME_BUFFER_SIZE) {
    const char checksum = read_data[length];
    for (char probe : {'0', '9', 'x', '\0'}) {
      read_data[length] = probe;
      FUZZ_CHECK(ReplyNumber() == number);
    }
    read_data[length] = checksum;

    // A payload of a letter and one to nine digits is exactly that number.
    const int digits = length - 3;
    if (digits >= 1 && digits <= 9 &&
        std::all_of(read_data + 3, read_data + length, [](char c) { return c >= '0' && c <= '9'; }))
      FUZZ_CHECK(number == std::stoi(std::string(read_data + 3, static_cast<std::size_t>(digits))));
  }
}

// One ChInQu call with the checks around it. Returns the count of bytes taken.
int CheckedChInQu() {
  const int waiting = GetInQLen(kPort);
  FUZZ_CHECK(waiting >= 0);
  device->ForgetLastTake();
  const int result = ChInQu();
  FUZZ_CHECK(result == 0 || result == 1);
  const int taken = static_cast<int>(device->LastTake().size());
  FUZZ_CHECK(read_data[FRAME_BUFFER_SIZE - 1] == '\0');
  if (waiting == 0) {
    FUZZ_CHECK(result == 0);
    FUZZ_CHECK(taken == 0);
    return 0;
  }
  FUZZ_CHECK(taken == std::min(waiting, kMostPerRead));
  FUZZ_CHECK(GetInQLen(kPort) == 0); // the rest is discarded
  FUZZ_CHECK(std::memcmp(read_data, device->LastTake().data(), static_cast<std::size_t>(taken)) ==
             0);
  FUZZ_CHECK(std::all_of(read_data + taken, read_data + FRAME_BUFFER_SIZE,
                         [](char c) { return c == '\0'; }));
  if (StartsWithWellFormedFrame(taken))
    FUZZ_CHECK(result == 1);
  if (result == 1) {
    CheckRecognised(taken);
    CheckReply();
  }
  return taken;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  rt::SetClock(&virtualClock);
  device = std::make_shared<ChunkedDevice>();
  rt::AssignPortDevice(kPort, device);
  if (OpenComConfig(kPort, "", 38400, 0, 8, 1, 1000, 1000) != 0)
    std::abort();
  portNumber = kPort;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  device->Load(data + 1, size - 1, data[0], virtualClock.Now());
  const std::size_t chunks = device->Chunks();
  for (std::size_t k = 0; k < chunks; ++k) {
    if (k > 0)
      virtualClock.Advance(1.0);
    while (GetInQLen(kPort) > 0)
      FUZZ_CHECK(CheckedChInQu() > 0);
    // Once nothing is waiting, a call reads nothing and finds nothing.
    FUZZ_CHECK(CheckedChInQu() == 0);
  }
  FUZZ_CHECK(device->Taken() == device->Size());
  FUZZ_CHECK(device->Written() == 0);
  virtualClock.Advance(1.0);
  return 0;
}
