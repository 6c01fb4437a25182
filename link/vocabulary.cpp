#include "link/vocabulary.h"

#include <climits>

const char CMD_SIGNAL_MODE_ON[] = "F3,";
const char CMD_SIGNAL_MODE_OFF[] = "F4,";
const char CMD_ANGLE[] = "T%d,";
const char CMD_WIDTH[] = "W%d,";
const char CMD_FIXED_RATE[] = "F1,";
const char CMD_RATE[] = "R%d,";
const char CMD_SWEEP_RANGE[] = "D%d,%d,%d,";
const char CMD_REPEAT[] = "P%d,";
const char CMD_SWEEP[] = "F2,";
const char CMD_LINK_CHECK[] = "Q1";
const char CMD_RATE_POLL[] = "?1,";

namespace {

struct ModeCommand {
  const char *format;
  int mode;
};

// Only a fixed-rate download sends the first two, only a sweep the rest.
const ModeCommand modeCommands[] = {
    {CMD_FIXED_RATE, MODE_FIXED_RATE}, {CMD_RATE, MODE_FIXED_RATE}, {CMD_SWEEP_RANGE, MODE_SWEEP},
    {CMD_REPEAT, MODE_SWEEP},          {CMD_SWEEP, MODE_SWEEP},
};

// The end of the number `text` starts with, written as Fmt writes an int: an
// optional minus, then 0 alone or digits without a leading 0, within an int's
// range. nullptr when `text` starts with no such number.
const char *AfterNumber(const char *text) {
  const int negative = *text == '-';
  if (negative)
    ++text;
  if (*text < '0' || *text > '9')
    return nullptr;
  if (*text == '0')
    return negative ? nullptr : text + 1;
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > limit)
      return nullptr;
  }
  return text;
}

} // namespace

int IsAcceptance(char letter, int number) {
  return letter == REPLY_ACKNOWLEDGEMENT && number == ACKNOWLEDGED_NUMBER;
}

int IsCommand(const char *payload, const char *format) {
  if (!payload || !format)
    return 0;
  while (*format) {
    if (format[0] == '%' && format[1] == 'd') {
      payload = AfterNumber(payload);
      if (!payload)
        return 0;
      format += 2;
    } else if (*payload++ != *format++) {
      return 0;
    }
  }
  return *payload == '\0';
}

int ModeOfCommand(const char *payload) {
  for (const ModeCommand &c : modeCommands)
    if (IsCommand(payload, c.format))
      return c.mode;
  return MODE_UNSHOWN;
}
