// The decoder's folded rows: the timer's polls and whatever arrives unasked.
#include "link/vocabulary.h"
#include "runtime/core/time_of_day.h"
#include "traffic/decoder.h"

namespace traffic {

// "?1, → R3000", "转速报告 3000 ×15": the last read, and how many polls the
// row stands for. `r`: the record that changed the row (its time is shown),
// or nullptr to keep the row's time.
void Decoder::ShowFold(const rt::TapRecord *r) {
  LogRow &row = fold_.row;
  row.level = 0;
  if (r)
    row.time = rt::TimeOfDayText(r->wallMs);
  row.direction = "⇄";
  const Reading &v = fold_.reading;
  row.payload = fold_.hasRead && !fold_.noAnswer ? std::string(CMD_RATE_POLL) + " → " + v.text
                                                 : CMD_RATE_POLL;
  const bool rateReport = fold_.hasRead && v.verdict == Verdict::RateReport;
  std::string verdict;
  if (fold_.sendFailed)
    verdict = Word(Verdict::SendFailed);
  else if (fold_.noAnswer)
    verdict = Word(Verdict::NoAnswer);
  else if (rateReport)
    verdict = std::string(Word(Verdict::RateReport)) + " " + std::to_string(v.number);
  else if (fold_.hasRead && v.verdict == Verdict::Unreadable)
    verdict = WordWithCount(Verdict::Unreadable, fold_.bytes, fold_.bytesAtLeast);
  else if (fold_.hasRead)
    verdict = Word(v.verdict);
  if (fold_.hasRead)
    row.bytes = HexBytes(fold_.readHead.data(), static_cast<int>(fold_.readHead.size()),
                         fold_.readCount, fold_.readAtLeast);
  const std::string polls = fold_.polls > 0 ? "×" + std::to_string(fold_.polls) : "";
  row.verdict = verdict.empty() ? std::string(Word(Verdict::Poll)) + " " + polls
                : polls.empty() ? verdict
                                : verdict + " " + polls;
  row.tone = fold_.sendFailed || fold_.noAnswer || (fold_.hasRead && !rateReport) ? kToneBad : 0;
  Put(row);
}

// A fold stays open while nothing else was shown after it.
bool Decoder::FoldIsNewest() const {
  return fold_.open && fold_.row.id == newestId_;
}

void Decoder::StartFold(int polls) {
  fold_ = Fold{};
  fold_.open = true;
  fold_.polls = polls;
}

void Decoder::OpenFold() {
  CloseGroup();
  if (!FoldIsNewest())
    StartFold(0);
}

void Decoder::Poll(const rt::TapRecord &r) {
  OpenFold();
  const bool failed = r.result < 0 || r.notTaken > 0;
  if (fold_.polls > 0 && failed != fold_.sendFailed) {
    StartFold(0); // polls the line took, and polls it did not, are rows apart
  } else if (!failed && fold_.unanswered && !fold_.noAnswer) {
    // The poll before this one found nothing: a row of unanswered polls,
    // once the row held a read.
    if (fold_.hasRead) {
      --fold_.polls;
      ShowFold(nullptr);
      StartFold(1);
    }
    fold_.noAnswer = true;
  }
  ++fold_.polls;
  fold_.sendFailed = failed;
  // While every poll is answered the read shows the row again; only a poll
  // after an unanswered one (or the first) shows it now. Half the redraws
  // while idle.
  if (fold_.polls == 1 || fold_.noAnswer || failed)
    ShowFold(&r);
  fold_.unanswered = !failed;
}

// A read nobody waited for: a poll's answer, or noise.
void Decoder::Unasked(const rt::TapRecord &r, const Reading &reading) {
  const bool kindChanged =
      FoldIsNewest() && (fold_.noAnswer || fold_.sendFailed ||
                         (fold_.hasRead && KindOf(fold_.reading) != KindOf(reading)));
  if (kindChanged) {
    // The poll this read answers goes with it to the new row.
    const bool carry = fold_.unanswered && fold_.polls > 0;
    if (carry) {
      --fold_.polls;
      ShowFold(nullptr);
    }
    StartFold(carry ? 1 : 0);
  } else {
    OpenFold();
  }
  fold_.unanswered = false;
  fold_.hasRead = true;
  fold_.reading = reading;
  fold_.bytes += r.count;
  fold_.readHead.assign(r.head, static_cast<std::size_t>(r.headCount));
  fold_.readCount = r.count;
  fold_.readAtLeast = false;
  ShowFold(&r);
}

// The rest of a backlog, drained right after the fold's read: its bytes are
// counted with that read.
bool Decoder::DrainedIntoFold(const rt::TapRecord &r) {
  if (!FoldIsNewest() || !fold_.hasRead)
    return false;
  fold_.bytes += r.count;
  fold_.readCount += r.count;
  fold_.bytesAtLeast = fold_.bytesAtLeast || r.countAtLeast;
  fold_.readAtLeast = fold_.readAtLeast || r.countAtLeast;
  ShowFold(&r);
  return true;
}

} // namespace traffic
