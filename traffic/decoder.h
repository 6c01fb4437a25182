// The link view's decoder: the serial tap's records turned into rows.
//
// Everything is inferred from the bytes and their order, as the program
// produces them: a flush after the download's settle wait starts a download
// (one right after a read drops what did not fit in it), each
// command is sent up to ORDER_ATTEMPTS times and checked after each send, the
// timer polls with the rate poll. The rows: one per frame sent (with its try,
// 1/5 ... 5/5) and per check (the reply's verdict, or 无应答 when nothing was
// waiting); a download is a group whose header names the mode and each
// command that failed, and how; the link check is a group of its own;
// consecutive polls and what they read fold into one row that updates, until
// the kind of what they read changes (an unanswered poll is a kind of its
// own). No row is written for a check that found nothing after a poll: the
// poll's answer is picked up by a later tick.
//
// What a group came to beyond the exchange's own results is the line's
// account's verdict (link/line_account.h), which the link's Concluded record
// brings: replies that ran out of step, or a refusal the exchange could not
// count, head the group; the reads of the look after its last command are
// rows of the group. A check's row names every reply its read held, not only
// the first, which the exchange took.
//
// One Decoder holds all the state; it is fed on the event loop, never from
// inside a serial call (runtime/core/serial_tap.h).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/core/log_row.h"
#include "runtime/core/serial_tap.h"
#include "traffic/reading.h"

namespace traffic {

using RowSink = std::function<void(const LogRow &row)>;

// What became of one command of a download or a link check, as its group's
// header counts it: accepted, or how its last try failed.
struct Outcome {
  std::string command; // the payload as sent
  Verdict verdict;     // Acknowledged, or Refused, NoAnswer, ... for the last try
  int tries = 0;       // 1 to ORDER_ATTEMPTS
  long long wallMs = 0;
  int lastTry = 0; // its last try, counted from the group's first send
};
using OutcomeSink = std::function<void(const Outcome &outcome)>;
// What the line's account concluded of the group: its verdict (LINE_ of
// link/line_account.h) and the first try whose result is in doubt (-1: none).
using ConclusionSink = std::function<void(int verdict, int firstInDoubt)>;

class Decoder {
public:
  // Rows go to `sink`; downloads to `demoPort` (the built-in demo device)
  // say so in their header. Each command of a group, once decided, goes to
  // `outcomes` too, and the group's conclusion to `concluded` (nuvaroctl
  // reports them).
  explicit Decoder(RowSink sink = {}, int demoPort = 0, OutcomeSink outcomes = {},
                   ConclusionSink concluded = {});

  void Take(const rt::TapRecord &record);

private:
  static constexpr int kToneGood = 1; // LogRow::tone
  static constexpr int kToneBad = 2;

  enum class GroupKind { None, Download, LinkCheck };

  struct Group {
    GroupKind kind = GroupKind::None;
    LogRow header;
    double startClock = 0.0;
    double lastClock = 0.0;
    int mode = 0; // MODE_ of link/vocabulary.h, once a command shows it
    bool demo = false;
    int acknowledged = 0;
    std::vector<std::string> failures;
    int sends = 0; // tries sent so far
    bool concluded = false;
    int lineVerdict = 0; // the line's account's, once concluded
  };

  struct Attempt {
    bool pending = false; // sent, its check not yet seen
    std::string command;
    int number = 0; // 1 to ORDER_ATTEMPTS
    bool acknowledged = false;
  };

  // The polls and whatever arrives unasked (their answers, noise), folded.
  struct Fold {
    bool open = false;
    LogRow row;
    int polls = 0;
    bool hasRead = false;
    Reading reading;     // what the last read held
    long long bytes = 0; // every byte of the row's reads, with what was drained after them
    bool bytesAtLeast = false;
    std::string readHead;    // the last read's first bytes
    long long readCount = 0; // its count, with what was drained after it
    bool readAtLeast = false;
    bool sendFailed = false;
    bool unanswered = false; // the last poll has no read after it yet
    bool noAnswer = false;   // the row stands for polls that found nothing
  };

  void Put(LogRow &row);
  LogRow NewRow(const rt::TapRecord &r, const char *direction) const;
  LogRow ThrownAwayRow(const rt::TapRecord &r, Verdict verdict) const;

  // Groups and commands (decoder.cpp).
  void ShowHeader();
  void CloseGroup();
  void OpenGroup(GroupKind kind, const rt::TapRecord &r);
  void Conclude(const rt::TapRecord &r, Verdict how);
  void Command(const rt::TapRecord &r, const Reading &sent);
  void AfterLastCommand(const rt::TapRecord &r, const Reading &reading);
  void Concluded(const rt::TapRecord &r);

  // Polls and unasked reads (decoder_polls.cpp).
  void ShowFold(const rt::TapRecord *r);
  bool FoldIsNewest() const;
  void OpenFold();
  void StartFold(int polls);
  void Poll(const rt::TapRecord &r);
  void Unasked(const rt::TapRecord &r, const Reading &reading);
  bool DrainedIntoFold(const rt::TapRecord &r);

  // The records (decoder.cpp).
  void Opened(const rt::TapRecord &r, bool ok);
  void Checked(const rt::TapRecord &r);
  void Read(const rt::TapRecord &r);
  void Drained(const rt::TapRecord &r);
  void Discarded(const rt::TapRecord &r);
  void Lost(const rt::TapRecord &r);
  void PortError(const rt::TapRecord &r);

  RowSink sink_;
  int demoPort_ = 0;
  OutcomeSink outcomes_;
  ConclusionSink concluded_;
  long long nextId_ = 1;
  long long newestId_ = 0;
  Group group_;
  Attempt attempt_;
  Fold fold_;
  bool portErrorShown_ = false;
  double readClock_ = -1.0; // when the previous record, a read that took bytes, was made
};

} // namespace traffic
