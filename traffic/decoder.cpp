#include "traffic/decoder.h"

#include <cstdio>
#include <cstring>

#include "link/line_account.h"
#include "link/vocabulary.h"
#include "runtime/core/time_of_day.h"

namespace traffic {

namespace {

// What a check's read says; noise with its count; the replies it held
// beyond the first.
std::string WordFor(const Reading &reading, long long count) {
  std::string words = reading.verdict == Verdict::Unreadable
                          ? WordWithCount(Verdict::Unreadable, count, false)
                          : Word(reading.verdict);
  if (!reading.further.empty())
    words += "；" + std::string(Word(Label::FurtherInRead)) + " " + reading.further;
  return words;
}

// The header's warning for what the line's account concluded, if any.
const char *ConclusionWord(int lineVerdict) {
  return lineVerdict == LINE_LATE                ? Word(Verdict::LateReplies)
         : lineVerdict == LINE_REFUSAL_UNCOUNTED ? Word(Verdict::RefusalUncounted)
                                                 : nullptr;
}

} // namespace

Decoder::Decoder(RowSink sink, int demoPort, OutcomeSink outcomes, ConclusionSink concluded)
    : sink_(std::move(sink)), demoPort_(demoPort), outcomes_(std::move(outcomes)),
      concluded_(std::move(concluded)) {}

void Decoder::Put(LogRow &row) {
  if (row.id == 0)
    row.id = nextId_++;
  if (row.id > newestId_)
    newestId_ = row.id;
  if (sink_)
    sink_(row);
}

// A new row, inside the open group when there is one.
LogRow Decoder::NewRow(const rt::TapRecord &r, const char *direction) const {
  LogRow row;
  row.level = group_.kind == GroupKind::None ? 0 : 1;
  row.time = rt::TimeOfDayText(r.wallMs);
  row.direction = direction;
  return row;
}

// A row for bytes the program threw away: their first bytes and their count.
LogRow Decoder::ThrownAwayRow(const rt::TapRecord &r, Verdict verdict) const {
  LogRow row = NewRow(r, "←");
  row.payload = EscapedBytes(r.head, r.headCount, r.count > r.headCount);
  row.bytes = HexBytes(r.head, r.headCount, r.count, r.countAtLeast);
  row.verdict = WordWithCount(verdict, r.count, r.countAtLeast);
  return row;
}

// ---- groups and commands ------------------------------------------------

void Decoder::ShowHeader() {
  LogRow &h = group_.header;
  const bool download = group_.kind == GroupKind::Download;
  h.payload = Word(download ? Label::Download : Label::LinkCheck);
  std::string notes = group_.mode == MODE_FIXED_RATE ? Word(Label::FixedRate)
                      : group_.mode == MODE_SWEEP    ? Word(Label::Sweep)
                                                     : "";
  if (group_.demo)
    notes += notes.empty() ? Word(Label::DemoDevice) : std::string("，") + Word(Label::DemoDevice);
  if (!notes.empty())
    h.payload += "（" + notes + "）";
  char took[32];
  std::snprintf(took, sizeof took, "用时 %.2f s", group_.lastClock - group_.startClock);
  h.bytes = took;
  h.verdict.clear();
  for (const std::string &f : group_.failures)
    h.verdict += (h.verdict.empty() ? "" : "；") + f;
  if (h.verdict.empty())
    h.verdict = group_.acknowledged > 0 ? std::string(Word(Verdict::AllAcknowledged)) + "（" +
                                              std::to_string(group_.acknowledged) + " 条）"
                                        : "—";
  const char *warning = group_.concluded ? ConclusionWord(group_.lineVerdict) : nullptr;
  if (warning)
    h.verdict = std::string(warning) + "；" + h.verdict;
  h.tone = !group_.failures.empty() || warning ? kToneBad : group_.acknowledged > 0 ? kToneGood : 0;
  Put(h);
}

void Decoder::CloseGroup() {
  group_ = Group{};
  attempt_ = Attempt{};
}

void Decoder::OpenGroup(GroupKind kind, const rt::TapRecord &r) {
  CloseGroup();
  fold_.open = false;
  group_.kind = kind;
  group_.startClock = group_.lastClock = r.clock;
  group_.demo = demoPort_ != 0 && r.port == demoPort_;
  group_.header.time = rt::TimeOfDayText(r.wallMs);
  group_.header.header = true;
  ShowHeader();
}

void Decoder::Concluded(const rt::TapRecord &r) {
  if (group_.kind == GroupKind::None || group_.concluded)
    return;
  group_.concluded = true;
  group_.lineVerdict = r.result;
  ShowHeader();
  if (concluded_)
    concluded_(r.result, static_cast<int>(r.count));
}

// A read in the look after the group's last command: a row of the group.
void Decoder::AfterLastCommand(const rt::TapRecord &r, const Reading &reading) {
  group_.lastClock = r.clock;
  LogRow row = NewRow(r, "←");
  row.payload = reading.text;
  row.bytes = HexBytes(r.head, r.headCount, r.count);
  row.verdict = WordFor(reading, r.count) + " " + Word(Label::AfterLastCommand);
  row.tone = reading.frame && reading.letter == REPLY_ACKNOWLEDGEMENT ? kToneBad : 0;
  Put(row);
}

// `how`: what the check after the try found.
void Decoder::Conclude(const rt::TapRecord &r, Verdict how) {
  const bool acknowledged = how == Verdict::Acknowledged;
  attempt_.pending = false;
  attempt_.acknowledged = acknowledged;
  if (group_.kind == GroupKind::None)
    return;
  if (acknowledged)
    ++group_.acknowledged;
  else if (attempt_.number >= ORDER_ATTEMPTS)
    group_.failures.push_back(
        EscapedName(attempt_.command.data(), static_cast<int>(attempt_.command.size())) + "：" +
        Word(how) + " " + TryText(attempt_.number));
  else
    return; // another try follows
  ShowHeader();
  if (outcomes_)
    outcomes_({attempt_.command, how, attempt_.number, r.wallMs, group_.sends - 1});
}

void Decoder::Command(const rt::TapRecord &r, const Reading &sent) {
  const bool linkCheck = IsCommand(sent.command.c_str(), CMD_LINK_CHECK);
  // A link check is a group of its own, and so is the next one once this
  // one has its answer.
  const bool checkDone = attempt_.acknowledged || attempt_.number >= ORDER_ATTEMPTS;
  if (group_.kind == GroupKind::None || (linkCheck && group_.kind != GroupKind::LinkCheck) ||
      (linkCheck && checkDone))
    OpenGroup(linkCheck ? GroupKind::LinkCheck : GroupKind::Download, r);
  fold_.open = false;
  // The same text again, after an attempt that was not acknowledged, is the
  // next try of the same command.
  const bool again = sent.command == attempt_.command && !attempt_.acknowledged &&
                     attempt_.number > 0 && attempt_.number < ORDER_ATTEMPTS;
  attempt_.number = again ? attempt_.number + 1 : 1;
  attempt_.command = sent.command;
  attempt_.acknowledged = false;
  const bool failed = r.result < 0 || r.notTaken > 0;
  attempt_.pending = !failed;
  ++group_.sends;
  if (group_.kind == GroupKind::Download && ModeOfCommand(sent.command.c_str()) != MODE_UNSHOWN)
    group_.mode = ModeOfCommand(sent.command.c_str());
  group_.lastClock = r.clock;

  LogRow row = NewRow(r, "→");
  row.payload = sent.text;
  row.bytes = HexBytes(r.head, r.headCount, r.count);
  row.verdict = TryText(attempt_.number);
  if (failed) {
    row.verdict += std::string(" ") + Word(Verdict::SendFailed);
    row.tone = kToneBad;
  }
  Put(row);
  if (failed)
    Conclude(r, Verdict::SendFailed);
}

// ---- the records --------------------------------------------------------

void Decoder::PortError(const rt::TapRecord &r) {
  if (portErrorShown_)
    return;
  portErrorShown_ = true;
  LogRow row = NewRow(r, "");
  row.payload = "—";
  row.verdict = std::string(Word(Verdict::PortError)) + "（" + Word(Label::DeviceGone) + "）";
  row.tone = kToneBad;
  Put(row);
}

void Decoder::Opened(const rt::TapRecord &r, bool ok) {
  CloseGroup();
  fold_.open = false;
  LogRow row = NewRow(r, "");
  const std::string name = r.port == demoPort_ && demoPort_ != 0 ? Word(Label::DemoDevice)
                           : r.headCount == 0 ? "端口 " + std::to_string(r.port)
                                              : EscapedName(r.head, r.headCount);
  row.payload = "打开 " + name;
  row.verdict =
      ok ? Word(Verdict::Opened)
         : std::string(Word(Verdict::OpenFailed)) + "：" + OpenFailureWords(r.fault, r.error);
  // The system's own words go in the bytes column, where the row has no
  // bytes to show.
  if (!ok)
    row.bytes =
        EscapedName(r.systemWords, static_cast<int>(strnlen(r.systemWords, rt::kTapWordsBytes)));
  row.tone = ok ? 0 : kToneBad;
  Put(row);
}

void Decoder::Checked(const rt::TapRecord &r) {
  if (r.result < 0) {
    if (attempt_.pending) {
      LogRow row = NewRow(r, "←");
      row.verdict = Word(Verdict::PortError);
      row.tone = kToneBad;
      Put(row);
      Conclude(r, Verdict::PortError);
    }
    PortError(r);
    return;
  }
  portErrorShown_ = false;
  if (attempt_.pending && r.result == 0) {
    group_.lastClock = r.clock;
    LogRow row = NewRow(r, "←");
    row.payload = "—";
    row.verdict = Word(Verdict::NoAnswer);
    row.tone = kToneBad;
    Put(row);
    Conclude(r, Verdict::NoAnswer);
  }
}

void Decoder::Read(const rt::TapRecord &r) {
  if (r.result <= 0)
    return;
  const Reading reading = ReadIncoming(r.head, r.headCount);
  if (!attempt_.pending) {
    if (group_.kind != GroupKind::None && !group_.concluded && group_.sends > 0)
      AfterLastCommand(r, reading);
    else
      Unasked(r, reading);
    return;
  }
  group_.lastClock = r.clock;
  LogRow row = NewRow(r, "←");
  row.payload = reading.text;
  row.bytes = HexBytes(r.head, r.headCount, r.count);
  row.verdict = WordFor(reading, r.count);
  const bool acknowledged = reading.verdict == Verdict::Acknowledged;
  row.tone = acknowledged ? kToneGood : kToneBad;
  Put(row);
  Conclude(r, reading.verdict);
}

// The rest of a backlog too long for one read, thrown away right after it.
void Decoder::Drained(const rt::TapRecord &r) {
  if (r.count == 0 || DrainedIntoFold(r))
    return;
  LogRow row = ThrownAwayRow(r, Verdict::DrainedAfterRead);
  row.tone = kToneBad;
  Put(row);
}

void Decoder::Discarded(const rt::TapRecord &r) {
  OpenGroup(GroupKind::Download, r);
  if (r.count == 0 && !r.countAtLeast)
    return;
  LogRow row = ThrownAwayRow(r, Verdict::DiscardedBeforeDownload);
  Put(row);
}

void Decoder::Lost(const rt::TapRecord &r) {
  fold_.open = false;
  LogRow row = NewRow(r, "");
  row.payload = "—";
  row.verdict = std::string(Word(Verdict::RecordsLost)) + "（" + std::to_string(r.count) + " 条）";
  row.tone = kToneBad;
  Put(row);
}

void Decoder::Take(const rt::TapRecord &r) {
  switch (r.kind) {
  case rt::TapKind::Opened: Opened(r, true); break;
  case rt::TapKind::OpenFailed: Opened(r, false); break;
  case rt::TapKind::Wrote: {
    const Reading sent = ReadOutgoing(r.head, r.headCount);
    if (sent.frame && IsCommand(sent.command.c_str(), CMD_RATE_POLL))
      Poll(r);
    else
      Command(r, sent);
    break;
  }
  case rt::TapKind::Checked: Checked(r); break;
  case rt::TapKind::Read: Read(r); break;
  case rt::TapKind::Discarded:
    if (IsDrain(r, readClock_))
      Drained(r);
    else
      Discarded(r);
    break;
  case rt::TapKind::Lost: Lost(r); break;
  case rt::TapKind::Concluded: Concluded(r); break;
  }
  readClock_ = r.kind == rt::TapKind::Read && r.result > 0 ? r.clock : -1.0;
}

} // namespace traffic
