#include "link/exchange.h"

#include "link/frame.h"
#include "link/vocabulary.h"
#include "runtime/core/delay.h"

int order(const char *text) {
  // The input is not flushed between attempts: a late reply to one attempt is
  // taken by the next check.
  for (int attempt = 0; attempt < ORDER_ATTEMPTS; ++attempt) {
    SendOrder(text);
    Delay(ORDER_REPLY_WAIT);
    if (ChInQu() == 1 && IsAcceptance(ReplyLetter(), ReplyNumber()))
      return 1;
  }
  return 0;
}
