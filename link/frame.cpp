#include "link/frame.h"

#include <algorithm>
#include <cstring>

#include "link/frame_codec.h"
#include "link/line_account.h"
#include "runtime/core/clock.h"
#include "runtime/core/serial_ops.h"

int portNumber = 0;
char buf[FRAME_BUFFER_SIZE];
char send_data[FRAME_BUFFER_SIZE];
char read_data[FRAME_BUFFER_SIZE];

namespace {

double Now() {
  return rt::CurrentClock().Now();
}

// What a flush throws away after a read: the rest of what the read took.
void AccountRest(const char *bytes, int count) {
  AccountRead(bytes, count, Now());
}

void AccountThrownAway(const char *bytes, int count) {
  AccountDiscarded(bytes, count, Now());
}

} // namespace

int SendOrder(const char *text) {
  const int count = EncodeFrame(text, send_data, FRAME_BUFFER_SIZE);
  if (count > 0) {
    ComWrt(portNumber, send_data, count);
    AccountSent(text, Now());
  }
  return count;
}

int ChInQu() {
  int waiting = GetInQLen(portNumber);
  if (waiting <= 0)
    return 0;
  // Keep a 0x00 behind the bytes read. Every call takes all waiting bytes:
  // what does not fit is discarded, so that a backlog of noise costs one tick.
  const bool more = waiting > FRAME_BUFFER_SIZE - 1;
  if (more)
    waiting = FRAME_BUFFER_SIZE - 1;
  memset(read_data, 0, sizeof read_data);
  const int taken = ComRd(portNumber, read_data, waiting);
  if (taken > 0)
    AccountRead(read_data, taken, Now());
  if (more)
    FlushInQSeen(portNumber, AccountRest);
  if (taken <= 0)
    return 0;

  // A reply is only ever the first thing read: a "$" further in is inside
  // noise or inside another frame.
  return IsReplyFrame(read_data, taken);
}

int TakeWaiting() {
  static char look_data[FRAME_BUFFER_SIZE];
  // A line that never falls quiet is read for a bounded while.
  constexpr int kMostReads = 64;
  int total = 0;
  for (int reads = 0, waiting; reads < kMostReads && (waiting = GetInQLen(portNumber)) > 0;
       ++reads) {
    const int taken = ComRd(portNumber, look_data, std::min(waiting, FRAME_BUFFER_SIZE));
    if (taken <= 0)
      return taken < 0 ? taken : total;
    AccountRead(look_data, taken, Now());
    total += taken;
  }
  return total;
}

int DiscardWaiting() {
  return FlushInQSeen(portNumber, AccountThrownAway);
}

char ReplyLetter() {
  // A frame with no payload (L < 3) has no letter: byte 2 is its checksum
  // or its terminator, or whatever followed it.
  return FramePayloadEnd(read_data, FRAME_BUFFER_SIZE - 1) > FRAME_PAYLOAD_START
             ? read_data[FRAME_PAYLOAD_START]
             : '\0';
}

int ReplyNumberIsPlain() {
  const int end = FramePayloadEnd(read_data, FRAME_BUFFER_SIZE - 1);
  return IsPlainNumber(read_data + FRAME_PAYLOAD_START + 1, end - FRAME_PAYLOAD_START - 1);
}

int ReplyNumber() {
  // The payload runs from byte 2 up to the checksum at byte L.
  const int end = FramePayloadEnd(read_data, FRAME_BUFFER_SIZE - 1);
  return PayloadNumber(read_data + FRAME_PAYLOAD_START, end - FRAME_PAYLOAD_START);
}
