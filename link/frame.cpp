#include "link/frame.h"

#include <cstring>

#include "link/frame_codec.h"
#include "runtime/core/serial_ops.h"

int portNumber = 0;
char buf[FRAME_BUFFER_SIZE];
char send_data[FRAME_BUFFER_SIZE];
char read_data[FRAME_BUFFER_SIZE];

int SendOrder(const char *text) {
  const int count = EncodeFrame(text, send_data, FRAME_BUFFER_SIZE);
  if (count > 0)
    ComWrt(portNumber, send_data, count);
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
  if (more)
    FlushInQ(portNumber);
  if (taken <= 0)
    return 0;

  // A reply is only ever the first thing read: a "$" further in is inside
  // noise or inside another frame.
  return IsReplyFrame(read_data, taken);
}

char ReplyLetter() {
  // A frame with no payload (L < 3) has no letter: byte 2 is its checksum
  // or its terminator, or whatever followed it.
  return FramePayloadEnd(read_data, FRAME_BUFFER_SIZE - 1) > FRAME_PAYLOAD_START
             ? read_data[FRAME_PAYLOAD_START]
             : '\0';
}

int ReplyNumber() {
  // The payload runs from byte 2 up to the checksum at byte L.
  const int end = FramePayloadEnd(read_data, FRAME_BUFFER_SIZE - 1);
  return PayloadNumber(read_data + FRAME_PAYLOAD_START, end - FRAME_PAYLOAD_START);
}
