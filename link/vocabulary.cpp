#include "link/vocabulary.h"

#include <cstring>

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

} // namespace

int IsAcceptance(char letter, int number) {
  return letter == REPLY_ACKNOWLEDGEMENT && number == ACKNOWLEDGED_NUMBER;
}

int IsCommand(const char *payload, const char *format) {
  if (!payload || !format)
    return 0;
  const char *number = strchr(format, '%');
  if (!number)
    return strcmp(payload, format) == 0;
  const size_t fixed = static_cast<size_t>(number - format);
  if (strncmp(payload, format, fixed) != 0)
    return 0;
  const char next = payload[fixed];
  return (next >= '0' && next <= '9') || next == '-';
}

int ModeOfCommand(const char *payload) {
  for (const ModeCommand &c : modeCommands)
    if (IsCommand(payload, c.format))
      return c.mode;
  return MODE_UNSHOWN;
}
