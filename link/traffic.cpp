#include "link/traffic.h"

#include <cstdio>
#include <string>
#include <vector>

#include "link/exchange.h"
#include "link/traffic_rows.h"
#include "link/traffic_verdict.h"
#include "link/vocabulary.h"
#include "runtime/core/time_of_day.h"

namespace {

constexpr std::size_t kLongestProgressPayload = 14;

enum class GroupKind { None, Download, LinkCheck };

struct Group {
  GroupKind kind = GroupKind::None;
  LogRow header;
  double startClock = 0.0;
  double lastClock = 0.0;
  std::string mode; // 定速, 扫速, or "" until a command shows it
  bool demo = false;
  int acknowledged = 0;
  std::vector<std::string> failures;
};

struct Attempt {
  bool pending = false; // sent, its check not yet seen
  std::string payload;
  int number = 0; // 1 to ORDER_ATTEMPTS
  bool acknowledged = false;
};

// The polls and whatever arrives unasked (their answers, noise), folded.
struct Fold {
  bool open = false;
  LogRow row;
  int polls = 0;
  std::string reply; // what the last read held, as its payload
  TrafficVerdict verdict;
  long long replyBytes = 0; // the last read's count, with what was drained after it
  std::string readHead;     // the first bytes of that read
  bool sendFailed = false;
  bool unanswered = false; // the last poll has no read after it yet
};

int demoPort = 0;
Group group;
Attempt attempt;
Fold fold;
bool portErrorShown = false;
bool afterRead = false; // the previous record was a read that took bytes

// A new row, inside the open group when there is one.
LogRow NewRow(const rt::TapRecord &r, const char *direction) {
  LogRow row;
  row.level = group.kind == GroupKind::None ? 0 : 1;
  row.time = rt::TimeOfDayText(r.wallMs);
  row.direction = direction;
  return row;
}

// ---- groups -------------------------------------------------------------

void ShowHeader() {
  LogRow &h = group.header;
  h.payload = group.kind == GroupKind::Download ? "下载" : "通讯检查";
  std::string notes = group.mode;
  if (group.demo)
    notes += notes.empty() ? "演示设备" : "，演示";
  if (!notes.empty())
    h.payload += "（" + notes + "）";
  char took[32];
  std::snprintf(took, sizeof took, "用时 %.2f s", group.lastClock - group.startClock);
  h.bytes = took;
  h.tone = !group.failures.empty() ? 2 : group.acknowledged > 0 ? 1 : 0;
  if (!group.failures.empty()) {
    h.verdict.clear();
    for (const std::string &f : group.failures)
      h.verdict += (h.verdict.empty() ? "" : "；") + f;
  } else if (group.acknowledged > 0) {
    h.verdict = "全部已确认（" + std::to_string(group.acknowledged) + " 条）";
  } else {
    h.verdict = "—";
  }
  PutRow(h);
}

void CloseGroup() {
  group = Group{};
  attempt = Attempt{};
}

void CloseRuns() {
  fold.open = false;
}

void OpenGroup(GroupKind kind, const rt::TapRecord &r) {
  CloseGroup();
  CloseRuns();
  group.kind = kind;
  group.startClock = group.lastClock = r.clock;
  group.demo = demoPort != 0 && r.port == demoPort;
  group.header.time = rt::TimeOfDayText(r.wallMs);
  group.header.header = true;
  ShowHeader();
}

void NoteMode(const std::string &payload) {
  if (group.kind != GroupKind::Download || payload.empty())
    return;
  const int mode = ModeOfCommand(payload.c_str());
  if (mode == MODE_FIXED_RATE)
    group.mode = "定速";
  else if (mode == MODE_SWEEP)
    group.mode = "扫速";
}

// ---- commands -----------------------------------------------------------

void Conclude(bool acknowledged, const std::string &how) {
  attempt.pending = false;
  attempt.acknowledged = acknowledged;
  if (group.kind == GroupKind::None)
    return;
  if (acknowledged)
    ++group.acknowledged;
  else if (attempt.number >= ORDER_ATTEMPTS)
    group.failures.push_back(attempt.payload + "：" + how + " " + TryText(attempt.number));
  else
    return; // another try follows
  ShowHeader();
}

void Command(const rt::TapRecord &r, const TrafficVerdict &sent) {
  const bool linkCheck = sent.payload == CMD_LINK_CHECK;
  // A link check is a group of its own, and so is the next one once this
  // one has its answer.
  const bool checkDone = attempt.acknowledged || attempt.number >= ORDER_ATTEMPTS;
  if (group.kind == GroupKind::None || (linkCheck && group.kind != GroupKind::LinkCheck) ||
      (linkCheck && checkDone))
    OpenGroup(linkCheck ? GroupKind::LinkCheck : GroupKind::Download, r);
  CloseRuns();
  // The same text again, after an attempt that was not acknowledged, is the
  // next try of the same command.
  const bool again = sent.payload == attempt.payload && !attempt.acknowledged &&
                     attempt.number > 0 && attempt.number < ORDER_ATTEMPTS;
  attempt.number = again ? attempt.number + 1 : 1;
  attempt.payload = sent.payload;
  attempt.acknowledged = false;
  attempt.pending = r.result >= 0;
  NoteMode(sent.payload);
  group.lastClock = r.clock;

  LogRow row = NewRow(r, "→");
  row.payload = sent.payload;
  row.bytes = HexBytes(r.bytes);
  row.verdict = TryText(attempt.number);
  if (r.result < 0)
    row.verdict += " 发送失败";
  PutRow(row);
  if (r.result < 0)
    Conclude(false, "发送失败");
}

// ---- polls and what arrives unasked ------------------------------------------

void ShowFold(const rt::TapRecord &r) {
  LogRow &row = fold.row;
  row.level = 0;
  row.time = rt::TimeOfDayText(r.wallMs);
  row.direction = "⇄";
  row.payload =
      fold.reply.empty() ? CMD_RATE_POLL : std::string(CMD_RATE_POLL) + " → " + fold.reply;
  // "转速报告 3000 ×15": the last read, and how many polls the row stands for.
  std::string verdict;
  const TrafficVerdict &v = fold.verdict;
  if (fold.sendFailed)
    verdict = "发送失败";
  else if (v.frame && v.letter == REPLY_RATE)
    verdict = "转速报告 " + std::to_string(v.number);
  else if (v.frame || v.verdict == "校验和错误")
    verdict = v.verdict;
  else if (fold.replyBytes > 0)
    verdict = "无法识别（" + std::to_string(fold.replyBytes) + " 字节）";
  const std::string polls = fold.polls > 0 ? "×" + std::to_string(fold.polls) : "";
  row.verdict = verdict.empty() ? "轮询 " + polls : polls.empty() ? verdict : verdict + " " + polls;
  row.tone =
      fold.sendFailed || (fold.replyBytes > 0 && !(v.frame && v.letter == REPLY_RATE)) ? 2 : 0;
  PutRow(row);
}

// A fold stays open while nothing else was shown after it.
bool FoldIsNewest() {
  return fold.open && fold.row.id == NewestRowId();
}

void OpenFold() {
  CloseGroup();
  if (!FoldIsNewest()) {
    fold = Fold{};
    fold.open = true;
  }
}

void Poll(const rt::TapRecord &r) {
  OpenFold();
  ++fold.polls;
  fold.sendFailed = r.result < 0;
  // While every poll is answered the read shows the row again; only a poll
  // after an unanswered one (or the first) shows it now. Half the redraws
  // while idle.
  if (fold.polls == 1 || fold.unanswered || fold.sendFailed)
    ShowFold(r);
  fold.unanswered = true;
}

// A read nobody waited for: a poll's answer, or noise.
void Unasked(const rt::TapRecord &r, const TrafficVerdict &v) {
  if (FoldIsNewest() && fold.replyBytes > 0 && KindOfRead(fold.verdict) != KindOfRead(v)) {
    // The poll this read answers goes with it to the new row.
    const bool carry = fold.unanswered && fold.polls > 0;
    if (carry) {
      --fold.polls;
      ShowFold(r);
    }
    fold = Fold{};
    fold.open = true;
    fold.polls = carry ? 1 : 0;
  } else {
    OpenFold();
  }
  fold.unanswered = false;
  fold.row.bytes = HexBytes(r.bytes);
  fold.readHead = r.bytes.substr(0, 64);
  fold.reply = v.payload;
  fold.verdict = v;
  fold.replyBytes = static_cast<long long>(r.bytes.size());
  ShowFold(r);
}

// ---- the records --------------------------------------------------------

void PortError(const rt::TapRecord &r) {
  if (portErrorShown)
    return;
  portErrorShown = true;
  LogRow row = NewRow(r, "");
  row.payload = "端口错误";
  row.verdict = "设备已断开或出错";
  row.tone = 2;
  PutRow(row);
}

void Opened(const rt::TapRecord &r, bool ok) {
  CloseGroup();
  CloseRuns();
  LogRow row = NewRow(r, "");
  const std::string name = r.port == demoPort && demoPort != 0
                               ? std::string("演示设备")
                               : (r.bytes.empty() ? "端口 " + std::to_string(r.port) : r.bytes);
  row.payload = "打开 " + name;
  row.verdict = ok ? "已打开" : "打开失败：" + r.reason;
  // The system's own words go in the bytes column, where the row has no
  // bytes to show.
  if (!ok)
    row.bytes = r.systemWords;
  row.tone = ok ? 0 : 2;
  PutRow(row);
}

void Checked(const rt::TapRecord &r) {
  if (r.result < 0) {
    if (attempt.pending) {
      LogRow row = NewRow(r, "←");
      row.verdict = "端口错误";
      row.tone = 2;
      PutRow(row);
      Conclude(false, "端口错误");
    }
    PortError(r);
    return;
  }
  portErrorShown = false;
  if (attempt.pending && r.result == 0) {
    group.lastClock = r.clock;
    LogRow row = NewRow(r, "←");
    row.payload = "—";
    row.verdict = "无应答";
    row.tone = 2;
    PutRow(row);
    Conclude(false, "无应答");
  }
}

void Read(const rt::TapRecord &r) {
  if (r.result <= 0)
    return;
  const TrafficVerdict v = IncomingVerdict(r.bytes);
  if (attempt.pending) {
    group.lastClock = r.clock;
    LogRow row = NewRow(r, "←");
    row.payload = v.payload;
    row.bytes = HexBytes(r.bytes);
    row.verdict = v.verdict;
    const bool acknowledged = v.frame && IsAcceptance(v.letter, v.number);
    row.tone = acknowledged ? 1 : 2;
    PutRow(row);
    Conclude(acknowledged,
             v.frame ? v.verdict : (v.verdict == "校验和错误" ? v.verdict : "无法识别"));
    return;
  }
  Unasked(r, v);
}

// The rest of a backlog too long for one read, thrown away right after it.
void Drained(const rt::TapRecord &r) {
  if (r.bytes.empty())
    return;
  if (FoldIsNewest()) {
    fold.replyBytes += static_cast<long long>(r.bytes.size());
    fold.row.bytes = HexBytes(fold.readHead, fold.replyBytes);
    ShowFold(r);
    return;
  }
  LogRow row = NewRow(r, "←");
  row.payload = PrintableBytes(r.bytes);
  row.bytes = HexBytes(r.bytes);
  row.verdict = "读取后丢弃（" + std::to_string(r.bytes.size()) + " 字节）";
  row.tone = 2;
  PutRow(row);
}

void Discarded(const rt::TapRecord &r) {
  OpenGroup(GroupKind::Download, r);
  if (r.bytes.empty())
    return;
  LogRow row = NewRow(r, "←");
  row.payload = PrintableBytes(r.bytes);
  row.bytes = HexBytes(r.bytes);
  row.verdict = "下载前丢弃（" + std::to_string(r.bytes.size()) + " 字节）";
  PutRow(row);
}

} // namespace

void StartTraffic(TrafficRowSink sink) {
  SetRowSink(sink);
  CloseGroup();
  fold = Fold{};
  portErrorShown = false;
  afterRead = false;
}

void SetTrafficDemoPort(int port) {
  demoPort = port;
}

void TrafficRecord(const rt::TapRecord &r) {
  switch (r.kind) {
  case rt::TapKind::Opened: Opened(r, true); break;
  case rt::TapKind::OpenFailed: Opened(r, false); break;
  case rt::TapKind::Wrote: {
    const TrafficVerdict sent = OutgoingVerdict(r.bytes);
    if (sent.payload == CMD_RATE_POLL)
      Poll(r);
    else
      Command(r, sent);
    break;
  }
  case rt::TapKind::Checked: Checked(r); break;
  case rt::TapKind::Read: Read(r); break;
  case rt::TapKind::Discarded:
    // Right after a read, a flush drops what did not fit in it; otherwise it
    // is the flush that starts a download.
    if (afterRead)
      Drained(r);
    else
      Discarded(r);
    break;
  }
  afterRead = r.kind == rt::TapKind::Read && r.result > 0;
}

std::string TrafficProgress() {
  if (group.kind != GroupKind::Download || !attempt.pending)
    return {};
  std::string payload = attempt.payload;
  if (payload.size() > kLongestProgressPayload)
    payload = payload.substr(0, kLongestProgressPayload) + "…";
  return "下载中 " + payload + " " + TryText(attempt.number);
}
