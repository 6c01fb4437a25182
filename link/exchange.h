// One acknowledged command: sent up to five times until the device answers "E1".
#pragma once

constexpr int ORDER_ATTEMPTS = 5;
constexpr double ORDER_REPLY_WAIT = 0.1; // seconds between a send and the check

// 1 when the device accepted `text`, 0 after five unanswered or refused
// attempts. The port must be open.
int order(const char *text);
