#include "cli/values.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <map>

#include "cli/parameters.h"
#include "link/exchange.h"
#include "runtime/core/panel_limits.h"

namespace cli {

namespace {

// The polls' interval: no shorter than the exchange gives a device to answer,
// no longer than a day.
constexpr double kShortestInterval = ORDER_REPLY_WAIT;
constexpr double kLongestInterval = 86400.0;

// A whole number as typed: an optional sign, then decimal digits only.
bool ParseWhole(const std::string &text, long long *value) {
  if (text.empty())
    return false;
  std::size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
  if (i == text.size())
    return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9')
      return false;
    // Past any int: saturated, so that the range check refuses it.
    v = v > LLONG_MAX / 100 ? LLONG_MAX / 100 : v * 10 + (text[i] - '0');
  }
  *value = text[0] == '-' ? -v : v;
  return true;
}

std::string Seconds(double seconds) {
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, seconds);
  return std::string(text, written.ptr);
}

std::string Choices(const std::vector<int> &choices) {
  std::string text;
  for (int c : choices)
    text += (text.empty() ? "" : ", ") + std::to_string(c);
  return text;
}

// `text` for the control with `limits`; false with the reason.
bool CheckValue(const std::string &option, const std::string &text, const rt::ControlLimits &limits,
                int *value, std::string *error) {
  const std::string named = "--" + option + " " + text + ": ";
  long long v = 0;
  if (text.empty() || !ParseWhole(text, &v)) {
    *error = named + "not a whole number";
    return false;
  }
  if (limits.ring) {
    for (int c : limits.choices) {
      if (c == v) {
        *value = c;
        return true;
      }
    }
    *error = named + "not one of the panel's choices (" + Choices(limits.choices) + ")";
    return false;
  }
  if (v < limits.minimum || v > limits.maximum) {
    *error = named + "outside the panel's range " + std::to_string(limits.minimum) + " to " +
             std::to_string(limits.maximum);
    return false;
  }
  *value = static_cast<int>(v);
  return true;
}

} // namespace

bool SettingsFromArguments(const Invocation &in, SettingsRecord *settings, std::string *error) {
  std::map<int, rt::ControlLimits> limits;
  std::string why;
  if (!rt::ReadControlLimits("nuvaro.uir", &limits, &why)) {
    *error = "cannot read the limits of the panel's controls: " + why;
    return false;
  }
  SettingsRecord s{};
  // The work mode is the ring's value for it: nonzero for a fixed rate, 0 for
  // a sweep, as Settings reads it.
  const auto workMode = limits.find(CTL_WORKMODE);
  bool offered = false;
  for (int c : workMode != limits.end() ? workMode->second.choices : std::vector<int>{}) {
    if (!offered && (in.sweep ? c == 0 : c != 0)) {
      s.workMode = c;
      offered = true;
    }
  }
  if (!offered) {
    *error = std::string("the panel's work mode offers no ") + (in.sweep ? "sweep" : "fixed rate");
    return false;
  }
  for (const ParameterRow *p : OptionParameters()) {
    if (!NeededIn(*p, in.sweep))
      continue;
    const auto control = limits.find(p->control);
    if (control == limits.end()) {
      *error = std::string("the panel file has no control for --") + p->option;
      return false;
    }
    if (!CheckValue(p->option, in.values.at(p->option), control->second, &(s.*p->field), error))
      return false;
  }
  *settings = s;
  return true;
}

bool PollingFromArguments(const Invocation &in, Polling *polling, std::string *error) {
  Polling p;
  if (const auto count = in.values.find("count"); count != in.values.end()) {
    if (!ParseWhole(count->second, &p.count) || p.count < 0 || p.count > INT_MAX) {
      *error =
          "--count " + count->second + ": not a whole number from 0 to " + std::to_string(INT_MAX);
      return false;
    }
  }
  if (const auto interval = in.values.find("interval"); interval != in.values.end()) {
    const std::string &text = interval->second;
    // Plain decimal seconds, whatever the locale: no sign, no exponent, no
    // "inf" or "nan".
    double seconds = 0.0;
    const bool plain = !text.empty() && text.find_first_not_of("0123456789.") == std::string::npos;
    const auto read =
        std::from_chars(text.data(), text.data() + text.size(), seconds, std::chars_format::fixed);
    if (!plain || read.ec != std::errc() || read.ptr != text.data() + text.size() ||
        !std::isfinite(seconds) || seconds < kShortestInterval || seconds > kLongestInterval) {
      *error = "--interval " + text + ": not a number of seconds from " +
               Seconds(kShortestInterval) + " to " + Seconds(kLongestInterval);
      return false;
    }
    p.interval = seconds;
  }
  *polling = p;
  return true;
}

} // namespace cli
