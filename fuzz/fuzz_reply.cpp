// Fuzzes reply recognition and number reading: ChInQu, ReplyLetter and
// ReplyNumber on whatever bytes a device sends, and the frame codec under
// them.
//
// The codec is checked against known answers (once, at start) and against a
// reference written here: the input as a reply run and as a command frame,
// its text as a command.
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
// from the checksum byte. At the end every byte sent has been read or
// discarded, and nothing was written.
//
// The line's account sees every run as a download group with one try per
// read: it must find in the chunks, read by ChInQu and discarded past 199,
// exactly the acknowledgements a scan of the whole input finds. (It reads
// the stream as the device frames it, so a frame begun in one read may take
// in the start of the next, where ChInQu sees a frame of its own.)
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
#include "link/frame_codec.h"
#include "link/line_account.h"
#include "runtime/core/clock.h"
#include "runtime/core/port_table.h"
#include "runtime/core/serial_ops.h"
#include "tests/fake_device.h"

namespace {

constexpr int kPort = 9;
constexpr int kMostPerRead = FRAME_BUFFER_SIZE - 1;

rt::VirtualClock virtualClock;
std::shared_ptr<FakeDevice> device;
const char *input = nullptr; // this run's input, as queued on the device
std::size_t inputSize = 0;

// Queues `size` bytes in chunks of `chunk` (0: all at once): chunk k becomes
// readable k seconds from now. Returns the count of chunks.
std::size_t Load(const std::uint8_t *data, std::size_t size, std::size_t chunk) {
  if (chunk == 0)
    chunk = std::max<std::size_t>(size, 1);
  const double now = virtualClock.Now();
  std::size_t k = 0;
  for (std::size_t from = 0; from < size; from += chunk, ++k)
    device->Queue(
        std::string(reinterpret_cast<const char *>(data + from), std::min(chunk, size - from)),
        now + static_cast<double>(k));
  inputSize = size;
  return k;
}

// The frame's description, read again here rather than from the program's
// code: the length byte L of the reply frame `bytes` start with, as a reader
// going forward from the start sees it ("$", L from 2 to 127, L - 2 non-zero
// payload bytes, a non-zero checksum (L + payload sum) mod 256, then the end
// of the run or a 0x00), 0 for "$",0x00 (the empty frame), -1 for no frame.
int ReferenceReplyLength(const char *bytes, std::size_t count) {
  if (count < 2 || bytes[0] != '$')
    return -1;
  const std::size_t length = static_cast<unsigned char>(bytes[1]);
  if (length == 0)
    return 0;
  if (length < 2 || length > 127 || length >= count)
    return -1;
  unsigned checksum = static_cast<unsigned>(length);
  for (std::size_t i = 2; i < length; ++i) {
    if (bytes[i] == '\0')
      return -1;
    checksum = (checksum + static_cast<unsigned char>(bytes[i])) % 256;
  }
  if (bytes[length] == '\0' || static_cast<unsigned char>(bytes[length]) != checksum)
    return -1;
  return length + 1 == count || bytes[length + 1] == '\0' ? static_cast<int>(length) : -1;
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
  const int length = ReferenceReplyLength(read_data, static_cast<std::size_t>(taken));
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

// The frame codec as the tests' Frame builds it from the frame's description
// rather than from the program's code ("$", L = n + 2, n payload bytes, the
// checksum (L + payload sum) mod 256, a 0x00 terminator), except that a 0x00
// checksum is itself the last byte sent.
std::string ReferenceFrame(const std::string &payload) {
  std::string frame = Frame(payload);
  if (frame[frame.size() - 2] == '\0')
    frame.pop_back();
  return frame;
}

// Frames whose bytes are known, worked out by hand.
void CheckKnownAnswers() {
  const struct {
    const char *payload;
    std::string bytes;
  } known[] = {
      {"F1,", std::string("$\x05") + "F1,\xA8" + '\0'},
      {"E1", std::string("$\x04") + "E1z" + '\0'},
      {"~~", std::string("$\x04~~\0", 5)}, // checksum 0x00 ends the frame
      {"", std::string("$\x02\x02\0", 4)},
      {"D1000,6000,100,", std::string("$\x11") + "D1000,6000,100,\xF1" + '\0'},
  };
  char out[FRAME_BUFFER_SIZE];
  for (const auto &k : known) {
    const int count = EncodeFrame(k.payload, out, FRAME_BUFFER_SIZE);
    FUZZ_CHECK(std::string(out, static_cast<std::size_t>(std::max(count, 0))) == k.bytes);
    FUZZ_CHECK(k.bytes == ReferenceFrame(k.payload));
    FUZZ_CHECK(CommandPayloadLength(k.bytes.data(), count) == static_cast<int>(strlen(k.payload)));
  }
  FUZZ_CHECK(EncodeFrame(std::string(124, 'A').c_str(), out, FRAME_BUFFER_SIZE) == 0);
  FUZZ_CHECK(EncodeFrame("E1", out, 5) == 0); // does not fit
  // "E1" as read, without its terminator: whole, its checksum off by one,
  // behind a stray byte.
  const std::string e1 = known[1].bytes.substr(0, 5), bad = e1.substr(0, 4) + '{', stray = 'x' + e1;
  FUZZ_CHECK(IsReplyFrame(e1.data(), 5) == 1);
  FUZZ_CHECK(IsReplyFrame(bad.data(), 5) == 0);
  FUZZ_CHECK(IsFrameWithBadChecksum(bad.data(), 5) == 1);
  FUZZ_CHECK(IsReplyFrame(stray.data(), 6) == 0);
}

// The codec against the reference: the input as a reply, and its text (up to
// the first 0x00) as a command.
void CheckCodec(const std::uint8_t *data, std::size_t size) {
  const auto *bytes = reinterpret_cast<const char *>(data);
  const int n = static_cast<int>(std::min<std::size_t>(size, INT_MAX));
  const bool reply = ReferenceReplyLength(bytes, size) >= 0;
  FUZZ_CHECK(IsReplyFrame(bytes, n) == (reply ? 1 : 0));
  // A bad checksum is named only where no reply was seen.
  FUZZ_CHECK(!(reply && IsFrameWithBadChecksum(bytes, n)));
  // A command frame is read back only from exactly the bytes its payload makes.
  const int commandLength = CommandPayloadLength(bytes, n);
  if (commandLength >= 0)
    FUZZ_CHECK(ReferenceFrame(std::string(bytes + 2, static_cast<std::size_t>(commandLength))) ==
               std::string(bytes, size));

  const std::string text(bytes, strnlen(bytes, size));
  char out[FRAME_BUFFER_SIZE];
  const int count = EncodeFrame(text.c_str(), out, FRAME_BUFFER_SIZE);
  if (text.size() > FRAME_LONGEST_PAYLOAD) {
    FUZZ_CHECK(count == 0);
    return;
  }
  const std::string frame = ReferenceFrame(text);
  FUZZ_CHECK(std::string(out, static_cast<std::size_t>(count)) == frame);
  FUZZ_CHECK(CommandPayloadLength(out, count) == static_cast<int>(text.size()));
  // What the program sends, the device's reply reader takes back as a frame,
  // unless its checksum is 0x00.
  const bool zeroChecksum = frame[text.size() + 2] == '\0';
  FUZZ_CHECK(IsReplyFrame(out, count) == (zeroChecksum ? 0 : 1));
}

// One ChInQu call with the checks around it. Returns the count of bytes taken.
int CheckedChInQu() {
  const int waiting = GetInQLen(kPort);
  FUZZ_CHECK(waiting >= 0);
  const std::size_t leftBefore = device->Left();
  const std::size_t offset = inputSize - leftBefore; // where this read starts in the input
  const int result = ChInQu();
  FUZZ_CHECK(result == 0 || result == 1);
  // Every waiting byte is gone from the device, read or discarded; at most
  // 199 of them were read.
  FUZZ_CHECK(leftBefore - device->Left() == static_cast<std::size_t>(std::max(waiting, 0)));
  const int taken = std::min(waiting, kMostPerRead);
  FUZZ_CHECK(read_data[FRAME_BUFFER_SIZE - 1] == '\0');
  if (waiting == 0) {
    FUZZ_CHECK(result == 0);
    return 0;
  }
  FUZZ_CHECK(GetInQLen(kPort) == 0); // the rest is discarded
  FUZZ_CHECK(std::memcmp(read_data, input + offset, static_cast<std::size_t>(taken)) == 0);
  FUZZ_CHECK(std::all_of(read_data + taken, read_data + FRAME_BUFFER_SIZE,
                         [](char c) { return c == '\0'; }));
  // Every well-formed reply frame at the start is recognised.
  if (ReferenceReplyLength(read_data, static_cast<std::size_t>(taken)) >= 2)
    FUZZ_CHECK(result == 1);
  if (result == 1) {
    CheckRecognised(taken);
    CheckReply();
  }
  return taken;
}

// The acknowledgements in the whole run, scanned at once.
int AcknowledgementsIn(const char *bytes, int count) {
  int found = 0;
  LineItem item;
  for (int at = 0, n; at < count && (n = NextLineItem(bytes + at, count - at, 0, &item)) > 0;
       at += n)
    found += IsAcknowledgementItem(item.kind);
  return found;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  rt::SetClock(&virtualClock);
  CheckKnownAnswers();
  device = std::make_shared<FakeDevice>();
  rt::AssignPortDevice(kPort, device);
  if (OpenComConfig(kPort, "", 38400, 0, 8, 1, 1000, 1000) != 0)
    std::abort();
  portNumber = kPort;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  CheckCodec(data + 1, size - 1);
  input = reinterpret_cast<const char *>(data + 1);
  ResetLineAccount();
  AccountOpen(LINE_GROUP_DOWNLOAD, virtualClock.Now());
  const std::size_t chunks = Load(data + 1, size - 1, data[0]);
  for (std::size_t k = 0; k < chunks; ++k) {
    if (k > 0)
      virtualClock.Advance(1.0);
    for (;;) {
      AccountSent("F3,", virtualClock.Now()); // a try, with no bytes written
      if (CheckedChInQu() == 0)
        break;
    }
    // Once nothing is waiting, a call reads nothing and finds nothing.
    FUZZ_CHECK(CheckedChInQu() == 0);
  }
  const int verdict = AccountClose(virtualClock.Now());
  FUZZ_CHECK(verdict >= LINE_IN_STEP && verdict <= LINE_REFUSAL_UNCOUNTED);
  FUZZ_CHECK(lineAccount.replies == AcknowledgementsIn(input, static_cast<int>(inputSize)));
  FUZZ_CHECK(device->Left() == 0);
  FUZZ_CHECK(device->writes.empty());
  virtualClock.Advance(1.0);
  return 0;
}
