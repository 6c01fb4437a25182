#include "cli/port.h"

#include <algorithm>
#include <cstring>

#include "link/demo_device.h"
#include "link/frame.h"
#include "link/line.h"
#include "link/line_account.h"
#include "runtime/core/clock.h"
#include "runtime/core/delay.h"
#include "runtime/core/port_choices.h"
#include "runtime/core/serial_ops.h"
#include "runtime/core/serial_tap.h"
#include "traffic/words.h"

namespace cli {

namespace {

struct Watch {
  traffic::Decoder decoder;
  Carried carried;
  std::string openFailure; // the reason of the newest failed open
};

Watch &W() {
  static Watch watch;
  return watch;
}

void Take(const rt::TapRecord &record) {
  Watch &w = W();
  w.decoder.Take(record);
  if (record.kind == rt::TapKind::OpenFailed) {
    w.openFailure = std::string(traffic::Word(traffic::Verdict::OpenFailed)) + "：" +
                    traffic::OpenFailureWords(record.fault, record.error);
    const std::size_t n = strnlen(record.systemWords, rt::kTapWordsBytes);
    if (n > 0)
      w.openFailure += " (" + traffic::EscapedName(record.systemWords, static_cast<int>(n)) + ")";
  }
}

void StartWatching() {
  Watch &w = W();
  w.carried = Carried{};
  w.openFailure.clear();
  w.decoder = traffic::Decoder(
      [](const LogRow &row) {
        if (row.header) {
          W().carried.header = row;
          W().carried.hasHeader = true;
        }
      },
      DEMO_DEVICE_PORT, [](const traffic::Outcome &o) { W().carried.outcomes.push_back(o); },
      [](int verdict, int firstInDoubt) {
        if (verdict == LINE_IN_STEP)
          return;
        W().carried.inDoubt = true;
        W().carried.doubt = verdict == LINE_LATE ? traffic::Verdict::LateReplies
                                                 : traffic::Verdict::RefusalUncounted;
        W().carried.firstInDoubt = firstInDoubt;
      });
  rt::SetSerialTap(Take);
}

} // namespace

bool OpenPort(const std::string &name, std::string *why) {
  StartWatching();
  int port = 0;
  if (name == "demo") {
    RegisterDemoDevice();
    port = DEMO_DEVICE_PORT;
  } else {
    port = rt::PortNumberForPath(name);
    if (port < 0) {
      *why = "no port number is free for " + name;
      return false;
    }
  }
  portNumber = port;
  if (OpenLine(port) == 0)
    return true;
  rt::DrainSerialTap();
  *why = W().openFailure.empty() ? std::string(traffic::Word(traffic::Verdict::OpenFailed))
                                 : W().openFailure;
  return false;
}

void ClosePort() {
  CloseCom(portNumber);
}

void StopWatching() {
  rt::SetSerialTap(nullptr);
}

Carried TakeCarried() {
  rt::DrainSerialTap();
  Carried carried = std::move(W().carried);
  W().carried = Carried{};
  if (carried.inDoubt)
    for (traffic::Outcome &o : carried.outcomes)
      if (o.lastTry >= carried.firstInDoubt)
        o.verdict = carried.doubt;
  return carried;
}

} // namespace cli
