// The account of the line: every byte read while the program downloads or
// checks the link, decoded frame by frame, in order, beside the exchange.
//
// The exchange (order) looks only at the first frame of each check's read:
// that is how it decides whether to try a command again, and it stays so.
// But replies carry no command identity. A refusal can hide behind an
// acceptance in the same read, come late, or be balanced by a reply that
// never came, and the first frame alone then counts it as accepted. The
// account keeps what the line really carried, for each group (a download or
// a link check): each try, and every frame received, where it was read (at
// which try's check, or in the look after the last command). From that it
// gives the verdict the exchange alone cannot give:
//
//   LINE_IN_STEP            every check read at most one reply, and nothing
//                           shows a reply counted against the wrong try: the
//                           exchange's results stand.
//   LINE_LATE               replies ran out of step (a read held two, or one
//                           came after the last check), every one of them an
//                           acceptance: each result may be the try before's.
//   LINE_REFUSAL_UNCOUNTED  a refusal the exchange could not count against
//                           its command: read with another reply, after a
//                           check that found none, or with replies out of step.
//
// A group that is not plainly in step needs the line after its last command
// to settle: a late reply or refusal shows up there (AccountNeedsLook).
//
// Plain data and functions, with no port and no clock: the link feeds it
// (frame.cpp, sequence.cpp); the link view learns the verdict from the serial
// tap's record of it, nuvaroctl from lineAccount.
#pragma once

#include "link/frame_codec.h"
#include "link/vocabulary.h"

// What a run of bytes from the device holds, item by item.
constexpr int LINE_ITEM_ACCEPTANCE = 0;  // an acknowledgement that accepts ("E1")
constexpr int LINE_ITEM_REFUSAL = 1;     // an acknowledgement with another number
constexpr int LINE_ITEM_RATE_REPORT = 2; // "R" and the rate
constexpr int LINE_ITEM_OTHER_FRAME = 3; // a valid frame with another letter, or none
constexpr int LINE_ITEM_DAMAGED = 4;     // frame-shaped, its checksum wrong
constexpr int LINE_ITEM_STRAY = 5;       // bytes that start no frame

struct LineItem {
  int kind;
  int start;  // offset in the run
  int length; // its bytes, a frame's 0x00 terminator included
};

// The first item of the `count` bytes at `bytes`, as the device frames them:
// "$", L, the payload, the checksum, and an optional 0x00. A frame may start
// anywhere. With `more` the run may go on, and 0 is returned while it ends
// inside what may still become a frame; otherwise the length of the item.
int NextLineItem(const char *bytes, int count, int more, LineItem *item);
// 1 for an acceptance or a refusal: a reply to a command.
int IsAcknowledgementItem(int kind);

// Groups and verdicts.
constexpr int LINE_GROUP_NONE = 0;
constexpr int LINE_GROUP_DOWNLOAD = 1;
constexpr int LINE_GROUP_LINK_CHECK = 2;

constexpr int LINE_IN_STEP = 0;
constexpr int LINE_LATE = 1;
constexpr int LINE_REFUSAL_UNCOUNTED = 2;

// After the last command, how long the line is watched when the group needs
// it: one command's whole retry window, the latest a reply can come and still
// have been counted against a later try.
constexpr double LINE_LOOK_WAIT = ORDER_ATTEMPTS * ORDER_REPLY_WAIT;
// A group that starts this soon after an acknowledgement came outside any
// group, or after a group that may still owe replies, may meet them.
constexpr double LINE_OWED_WINDOW = 2 * LINE_LOOK_WAIT;

constexpr int LINE_MOST_TRIES = 32; // a sweep download sends at most 6 x 5
constexpr int LINE_MOST_FRAMES = 64;
constexpr int LINE_COMMAND_KEPT = 31; // bytes of a command's text kept
constexpr int LINE_NO_GAP = 1 << 30;

// Where a frame was read: a try's index (its check), or after the last.
constexpr int LINE_AFTER_LAST = -2;

struct LineTry {
  char command[LINE_COMMAND_KEPT + 1];
  double sentAt;
  int replies; // acknowledgements its check's reads held
};

struct LineFrame {
  int kind; // LINE_ITEM_
  int where;
  double at;
  char letter;
  int number;
};

struct LineAccountRecord {
  // The stream: a frame cut by the end of a read, carried to the next.
  char carry[FRAME_LONGEST_PAYLOAD + 8] = {};
  int carryCount = 0;
  int afterFrame = 0; // a 0x00 first in the next read is the last frame's terminator

  // Between groups.
  double replyOutsideAt = -1e9; // an acknowledgement read or thrown away outside any group
  double lastGroupEnd = -1e9;
  int lastGroupOwing = 0; // it ended with a reply that may still be on its way

  // The group.
  int group = LINE_GROUP_NONE;
  int owedAtStart = 0;
  int tries = 0; // tries sent; the first LINE_MOST_TRIES kept in tryList
  LineTry tryList[LINE_MOST_TRIES] = {};
  int frames = 0; // items read; the first LINE_MOST_FRAMES kept in frameList
  LineFrame frameList[LINE_MOST_FRAMES] = {};
  int looking = 0;  // reads now are the look after the last command
  int openTry = -1; // the try whose check's reads are still coming

  // What the verdict rests on.
  int replies = 0;            // acknowledgements read in the group, wherever
  int firstGap = LINE_NO_GAP; // the first try whose check read no reply
  int severalInOneRead = 0;   // a try's check read two replies or more
  int refusals = 0;           // refusals read in the group
  int refusalsAfterGap = 0;   // of them, read at or after the first gap
  int repliesAfterLast = 0;   // replies read in the look
  int verdict = LINE_IN_STEP; // of the last group closed
  int firstInDoubt = -1;      // its first try whose result may be another's
};

extern LineAccountRecord lineAccount;

// Forgets everything: a new process's account.
void ResetLineAccount();
// A port opened anew: nothing of an earlier line is carried into it.
void AccountLineOpened();
// Bytes taken from the line: at the newest try's check, in the look, or,
// outside any group, by the rate monitor.
void AccountRead(const char *bytes, int count, double now);
// Bytes a flush threw away before a group: an acknowledgement among them may
// have others behind it.
void AccountDiscarded(const char *bytes, int count, double now);
// A group starts.
void AccountOpen(int group, double now);
// A try of `command` went out (ignored outside a group).
void AccountSent(const char *command, double now);
// 1 when the line after the last command can still change the verdict.
int AccountNeedsLook();
// The reads from now on are the look after the last command.
void AccountLook();
// The verdict as the account stands now.
int AccountVerdict();
// The group ends; returns its verdict (also in lineAccount.verdict).
int AccountClose(double now);
