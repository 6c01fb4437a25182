#include "link/vocabulary.h"

#include <climits>
#include <cstring>

#include "app/state/parameters.h"

constinit const char *const CMD_SIGNAL_MODE_ON =
    ParameterOfField(&SettingsRecord::signalMode)->format;
constinit const char *const CMD_SIGNAL_MODE_OFF =
    ParameterOfField(&SettingsRecord::signalMode)->zeroFormat;
constinit const char *const CMD_ANGLE = FormatOf(&SettingsRecord::angle);
constinit const char *const CMD_WIDTH = FormatOf(&SettingsRecord::width);
constinit const char *const CMD_FIXED_RATE = ParameterOfField(&SettingsRecord::workMode)->format;
constinit const char *const CMD_RATE = FormatOf(&SettingsRecord::rate);
constinit const char *const CMD_SWEEP_RANGE = FormatOf(&SettingsRecord::sweepMin);
constinit const char *const CMD_REPEAT = FormatOf(&SettingsRecord::repeat);
constinit const char *const CMD_SWEEP = ParameterOfField(&SettingsRecord::workMode)->zeroFormat;
constexpr char CMD_LINK_CHECK[] = "Q1";
constexpr char CMD_RATE_POLL[] = "?1,";

namespace {

// Each command of the vocabulary once: the parameters' (both of a choice's;
// the sweep bounds' once for its three rows), then the link check and the
// rate poll.
constexpr int kMostCommands = 2 * kParameterCount + 2;
struct Vocabulary {
  const char *format[kMostCommands] = {};
  int count = 0;
};

constexpr Vocabulary MakeVocabulary() {
  Vocabulary v;
  const auto add = [&v](const char *format) {
    if (!*format)
      return;
    for (int i = 0; i < v.count; ++i)
      if (std::string_view(format) == v.format[i])
        return;
    v.format[v.count++] = format;
  };
  for (const ParameterRow &p : kParameterTable) {
    add(p.format);
    add(p.zeroFormat);
  }
  add(CMD_LINK_CHECK);
  add(CMD_RATE_POLL);
  return v;
}
constexpr Vocabulary kVocabulary = MakeVocabulary();

// The mode a command shows: the work mode's own two, and a parameter's sent
// in one mode only.
int ModeOfFormat(const char *format) {
  const ParameterRow &workMode = *ParameterOfField(&SettingsRecord::workMode);
  if (std::strcmp(format, workMode.format) == 0)
    return MODE_FIXED_RATE;
  if (std::strcmp(format, workMode.zeroFormat) == 0)
    return MODE_SWEEP;
  for (const ParameterRow &p : kParameterTable) {
    if (std::strcmp(format, p.format) != 0)
      continue;
    if (p.sentIn == SENT_IN_FIXED_RATE)
      return MODE_FIXED_RATE;
    if (p.sentIn == SENT_IN_SWEEP)
      return MODE_SWEEP;
  }
  return MODE_UNSHOWN;
}

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

int VocabularyCount() {
  return kVocabulary.count;
}

const char *VocabularyFormat(int i) {
  return i >= 0 && i < kVocabulary.count ? kVocabulary.format[i] : nullptr;
}

int ModeOfCommand(const char *payload) {
  for (int i = 0; i < kVocabulary.count; ++i)
    if (IsCommand(payload, kVocabulary.format[i]))
      return ModeOfFormat(kVocabulary.format[i]);
  return MODE_UNSHOWN;
}
