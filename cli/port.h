// The port nuvaroctl talks on, opened as the panel opens it: through the same
// serial operations (exclusively, with Qt's lock file under /run/lock) and
// with the line's settings (link/line.h). What crosses it goes through the
// serial tap to the link view's decoder (traffic/), which says what became of
// each command: the exchange itself (order) reports only 1 or 0.
#pragma once

#include <string>
#include <vector>

#include "runtime/core/log_row.h"
#include "traffic/decoder.h"

namespace cli {

// Opens `name`, a device path or "demo" (a fresh built-in device model), and
// makes it portNumber. false, with the reason in `why` (the link view's words
// for it, and the system's own), when it cannot be opened.
bool OpenPort(const std::string &name, std::string *why);
// Closes it; every way out of the program closes it too.
void ClosePort();
// Stops decoding what crosses the port (the rate poll needs no decoder).
void StopWatching();

// What the line carried since the last call, decoded: each command decided,
// in order, and the newest group's header as the link view shows it. When
// the line's account found the group's replies out of step, or a refusal the
// exchange could not count, each command from its first try in doubt on has
// that verdict (LateReplies, RefusalUncounted): its own result is unknown.
struct Carried {
  std::vector<traffic::Outcome> outcomes;
  bool hasHeader = false;
  LogRow header;
  bool inDoubt = false;                                    // the account's verdict is not "in step"
  traffic::Verdict doubt = traffic::Verdict::Acknowledged; // the words for a result in doubt
  int firstInDoubt = -1;
};
Carried TakeCarried();

} // namespace cli
