#include "traffic/progress.h"

#include "link/vocabulary.h"
#include "runtime/core/serial_tap.h"
#include "traffic/reading.h"

namespace traffic {

namespace {

constexpr std::size_t kLongestShown = 14;

// The command a record wrote, or "" when it wrote none.
std::string CommandOf(const rt::TapRecord &r) {
  if (r.kind != rt::TapKind::Wrote || r.count != r.headCount)
    return {};
  return ReadOutgoing(r.head, r.headCount).command;
}

} // namespace

std::string DownloadProgress() {
  const int waiting = rt::SerialTapWaiting();
  if (waiting == 0)
    return {};
  const rt::TapRecord &sent = rt::SerialTapWaitingRecord(waiting - 1);
  const std::string command = CommandOf(sent);
  if (command.empty() || sent.result < 0 || IsCommand(command.c_str(), CMD_RATE_POLL) ||
      IsCommand(command.c_str(), CMD_LINK_CHECK))
    return {};
  // Its try: the sends of the same text before it, back to an acceptance,
  // another command or the flush that started the download.
  int tries = 1;
  for (int i = waiting - 2; i >= 0; --i) {
    const rt::TapRecord &r = rt::SerialTapWaitingRecord(i);
    if (r.kind == rt::TapKind::Opened || r.kind == rt::TapKind::OpenFailed)
      break;
    if (r.kind == rt::TapKind::Discarded) {
      const rt::TapRecord *before = i > 0 ? &rt::SerialTapWaitingRecord(i - 1) : nullptr;
      const bool read = before && before->kind == rt::TapKind::Read && before->result > 0;
      if (!IsDrain(r, read ? before->clock : -1.0))
        break;
    }
    if (r.kind == rt::TapKind::Read &&
        ReadIncoming(r.head, r.headCount).verdict == Verdict::Acknowledged)
      break;
    if (r.kind == rt::TapKind::Wrote) {
      if (CommandOf(r) != command)
        break;
      ++tries;
    }
  }
  std::string shown = EscapedBytes(command.data(), static_cast<int>(command.size()));
  if (shown.size() > kLongestShown)
    shown = shown.substr(0, kLongestShown) + "…";
  return "下载中 " + shown + " " + TryText(tries);
}

} // namespace traffic
