#include "link/rate_poll.h"

#include "link/frame.h"
#include "link/vocabulary.h"
#include "runtime/core/fmt.h"
#include "runtime/core/serial_ops.h"

int PollRate() {
  const int waiting = GetInQLen(portNumber);
  if (waiting == 0) {
    Fmt(buf, CMD_RATE_POLL);
    SendOrder(buf);
  }
  return waiting;
}

int TakeRate(int *rate) {
  if (ChInQu() == 1 && ReplyLetter() == REPLY_RATE) {
    *rate = ReplyNumber();
    return 1;
  }
  return 0;
}
