// One acknowledged command: sent up to five times until the device answers "E1".
#pragma once

#include "link/vocabulary.h" // ORDER_ATTEMPTS, ORDER_REPLY_WAIT

// 1 when the device accepted `text`, 0 after five unanswered or refused
// attempts. The port must be open.
int order(const char *text);
