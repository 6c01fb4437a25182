#include "cli/commands.h"

#include <algorithm>

#include "app/state/settings.h"
#include "cli/port.h"
#include "cli/values.h"
#include "link/demo_device.h"
#include "link/exchange.h"
#include "link/frame.h"
#include "link/rate_poll.h"
#include "link/sequence.h"
#include "link/vocabulary.h"
#include "runtime/core/clock.h"
#include "runtime/core/delay.h"
#include "runtime/core/port_choices.h"
#include "runtime/core/time_of_day.h"
#include "traffic/words.h"

namespace cli {

namespace {

// The longest single wait: a stop signal is acted on when Delay starts, so
// a long interval is waited in slices.
constexpr double kWaitSlice = 0.1;

// The port opened, or the exit status for a port that would not open.
int Open(const Invocation &in) {
  std::string why;
  if (OpenPort(in.port, &why))
    return kExitOk;
  Error(in.port + ": " + why);
  return kExitPort;
}

// The group's header, then the outcome of each command, in the link view's
// order; the exit status. A group whose replies ran out of step fails too:
// what the device did with each command is unknown.
int Report(Output &out, int acknowledged) {
  const Carried carried = TakeCarried();
  if (carried.hasHeader)
    out.Summary(carried.header);
  for (const traffic::Outcome &o : carried.outcomes)
    out.Outcome(o);
  ClosePort();
  return !out.Written() || !acknowledged || carried.inDoubt ? kExitDevice : kExitOk;
}

void WaitUntil(double deadline) {
  for (double left; (left = deadline - rt::CurrentClock().Now()) > 0;)
    Delay(std::min(left, kWaitSlice));
}

} // namespace

int Ports(const Invocation &, Output &out) {
  // The panel's list: the system's serial ports, then its built-in device.
  RegisterDemoDevice();
  for (const rt::PortChoice &choice : rt::CurrentPortChoices())
    out.Port(choice.builtIn && choice.port == DEMO_DEVICE_PORT ? "demo" : choice.path,
             choice.label);
  return out.Written() ? kExitOk : kExitDevice;
}

int Download(const Invocation &in, Output &out) {
  SettingsRecord settings{};
  std::string error;
  if (!SettingsFromArguments(in, &settings, &error)) {
    Error(error);
    return kExitUsage;
  }
  if (const int status = Open(in))
    return status;
  Settings = settings;
  return Report(out, DownloadSettings());
}

int Check(const Invocation &in, Output &out) {
  if (const int status = Open(in))
    return status;
  // As a download does: what the device sent before (a reply still owed to
  // an earlier run) is thrown away, and the account notes it.
  Delay(DOWNLOAD_SETTLE_WAIT);
  DiscardWaiting();
  return Report(out, CheckLink());
}

int Rate(const Invocation &in, Output &out) {
  Polling polling;
  std::string error;
  if (!PollingFromArguments(in, &polling, &error)) {
    Error(error);
    return kExitUsage;
  }
  if (const int status = Open(in))
    return status;
  StopWatching();
  // One line per poll: the poll, then after the interval what came back, as
  // the panel's meter would show it, and the next poll at once.
  long long readings = 0;
  bool portFailed = PollRate() < 0;
  double due = rt::CurrentClock().Now();
  for (long long n = 0; !portFailed && (polling.count == 0 || n < polling.count); ++n) {
    due += polling.interval;
    WaitUntil(due);
    // A report counts only with its number as the device writes it; the
    // panel's meter reads more leniently.
    int rate = 0;
    const bool report = TakeRate(&rate) == 1;
    const bool read = report && ReplyNumberIsPlain();
    out.Reading(rt::WallClockMs(), read ? &rate : nullptr, report && !read);
    readings += read;
    if (!out.Written())
      break;
    if (polling.count == 0 || n + 1 < polling.count)
      portFailed = PollRate() < 0;
  }
  ClosePort();
  if (portFailed) {
    Error(in.port + ": " + traffic::Word(traffic::Verdict::PortError) + "（" +
          traffic::Word(traffic::Label::DeviceGone) + "）");
    return kExitDevice;
  }
  return out.Written() && readings > 0 ? kExitOk : kExitDevice;
}

} // namespace cli
