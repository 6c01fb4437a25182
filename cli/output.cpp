#include "cli/output.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "runtime/core/console_ops.h"
#include "runtime/core/time_of_day.h"
#include "traffic/reading.h"
#include "traffic/words.h"

namespace cli {

namespace {

// The stable English names of the verdicts a command can end with, for
// --json; one per traffic::Verdict, in its order.
constexpr const char *kResults[] = {
    "acknowledged", "refused",       "no_answer",         "bad_checksum", "unreadable",
    "rate_report",  "unknown_reply", "port_error",        "send_failed",  "drained_after_read",
    "discarded",    "opened",        "open_failed",       "poll",         "all_acknowledged",
    "late_replies", "records_lost",  "refusal_uncounted",
};
static_assert(sizeof kResults / sizeof kResults[0] == static_cast<int>(traffic::Verdict::Count));

const char *ResultKey(traffic::Verdict verdict) {
  const int i = static_cast<int>(verdict);
  return i >= 0 && i < static_cast<int>(traffic::Verdict::Count) ? kResults[i] : "unknown";
}

// A JSON string; bytes that are not valid UTF-8 or are control bytes were
// written \xNN by EscapedName, so what remains needs only JSON's escapes.
std::string Json(const std::string &text) {
  const std::string clean = traffic::EscapedName(text.data(), static_cast<int>(text.size()));
  std::string out = "\"";
  for (const char c : clean) {
    if (c == '"' || c == '\\')
      out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string Time(long long wallMs) {
  return rt::TimeOfDayText(wallMs);
}

} // namespace

void Output::Outcome(const traffic::Outcome &o) {
  if (json_)
    Line("{\"time\":" + Json(Time(o.wallMs)) + ",\"command\":" + Json(o.command) + ",\"result\":" +
         Json(ResultKey(o.verdict)) + ",\"tries\":" + std::to_string(o.tries) + "}");
  else
    Line(Time(o.wallMs) + "\t" +
         traffic::EscapedName(o.command.data(), static_cast<int>(o.command.size())) + "\t" +
         traffic::Word(o.verdict) + "\t" + traffic::TryText(o.tries));
}

void Output::Summary(const LogRow &header) {
  if (!json_)
    Line(header.time + "\t" + header.payload + "\t" + header.verdict + "\t" + header.bytes);
}

void Output::Reading(long long wallMs, const int *rate, bool unreadable) {
  const traffic::Verdict none =
      unreadable ? traffic::Verdict::Unreadable : traffic::Verdict::NoAnswer;
  if (json_)
    Line("{\"time\":" + Json(Time(wallMs)) +
         ",\"rate\":" + (rate ? std::to_string(*rate) : std::string("null")) + "}");
  else
    Line(Time(wallMs) + "\t" + (rate ? std::to_string(*rate) : std::string(traffic::Word(none))));
}

void Output::Port(const std::string &port, const std::string &description) {
  if (json_)
    Line("{\"port\":" + Json(port) + ",\"description\":" + Json(description) + "}");
  else
    Line(traffic::EscapedName(port.data(), static_cast<int>(port.size())) + "\t" +
         traffic::EscapedName(description.data(), static_cast<int>(description.size())));
}

void Output::Line(const std::string &text) {
  Text(text + "\n");
}

void Output::Text(const std::string &lines) {
  if (!written_)
    return;
  errno = 0;
  if (WriteConsoleText(ConsoleStream::Output, lines))
    return;
#ifdef SIGPIPE
  if (errno == EPIPE)
    EndLikeSignal(SIGPIPE);
#endif
  written_ = false;
  Error(std::string("cannot write the output: ") + std::strerror(errno));
}

void Error(const std::string &message) {
  WriteConsoleText(ConsoleStream::Error, "nuvaroctl: " + message + "\n");
}

} // namespace cli
