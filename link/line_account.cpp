#include "link/line_account.h"

#include <algorithm>
#include <cstring>

LineAccountRecord lineAccount;

namespace {

// A reply's L: the payload and L itself, one signed byte.
constexpr int kLongestLength = 127;
// New bytes taken into the work buffer at a time, behind the carry.
constexpr int kPiece = 256;

int FrameKind(const char *frame, int length) {
  const int n = length - FRAME_PAYLOAD_START;
  if (n <= 0)
    return LINE_ITEM_OTHER_FRAME;
  const char *payload = frame + FRAME_PAYLOAD_START;
  if (payload[0] == REPLY_ACKNOWLEDGEMENT)
    return IsAcceptance(payload[0], PayloadNumber(payload, n)) ? LINE_ITEM_ACCEPTANCE
                                                               : LINE_ITEM_REFUSAL;
  return payload[0] == REPLY_RATE ? LINE_ITEM_RATE_REPORT : LINE_ITEM_OTHER_FRAME;
}

// Where bytes that start no frame end: at the next "$" from `from` on.
int NextDollar(const char *bytes, int count, int from) {
  const void *next = from < count ? std::memchr(bytes + from, '$', count - from) : nullptr;
  return next ? static_cast<int>(static_cast<const char *>(next) - bytes) : count;
}

int Item(LineItem *item, int kind, int length) {
  item->kind = kind;
  item->start = 0;
  item->length = length;
  return length;
}

bool IsFrame(int kind) {
  return kind <= LINE_ITEM_OTHER_FRAME;
}

// The try whose check's reads are in: its replies counted, a gap noted.
void FinishTry() {
  LineAccountRecord &a = lineAccount;
  if (a.openTry < 0)
    return;
  const int replies = a.openTry < LINE_MOST_TRIES ? a.tryList[a.openTry].replies : 1;
  if (replies == 0 && a.firstGap == LINE_NO_GAP)
    a.firstGap = a.openTry;
  a.openTry = -1;
}

void Take(const char *bytes, const LineItem &item, double now) {
  LineAccountRecord &a = lineAccount;
  const bool reply = IsAcknowledgementItem(item.kind);
  if (a.group == LINE_GROUP_NONE) {
    if (reply)
      a.replyOutsideAt = now;
    return;
  }
  const int where = a.looking ? LINE_AFTER_LAST : a.openTry;
  if (a.frames < LINE_MOST_FRAMES) {
    LineFrame &f = a.frameList[a.frames];
    f = LineFrame{item.kind, where, now, 0, 0};
    if (IsFrame(item.kind) && FramePayloadEnd(bytes, item.length) > FRAME_PAYLOAD_START) {
      const int n = FramePayloadEnd(bytes, item.length) - FRAME_PAYLOAD_START;
      f.letter = bytes[FRAME_PAYLOAD_START];
      f.number = PayloadNumber(bytes + FRAME_PAYLOAD_START, n);
    }
  }
  ++a.frames;
  if (!reply)
    return;
  ++a.replies;
  if (item.kind == LINE_ITEM_REFUSAL) {
    ++a.refusals;
    if (where == LINE_AFTER_LAST || where >= a.firstGap)
      ++a.refusalsAfterGap;
  }
  if (where == LINE_AFTER_LAST) {
    ++a.repliesAfterLast;
  } else if (where < 0) {
    // Before the group's first try: an answer to something sent before.
    a.owedAtStart = 1;
    a.firstGap = 0;
  } else if (where < LINE_MOST_TRIES && ++a.tryList[where].replies > 1) {
    a.severalInOneRead = 1;
  }
}

// Decodes the carry and `count` new bytes; what may still become a frame is
// carried to the next read unless `more` is 0.
void Feed(const char *bytes, int count, int more, double now) {
  LineAccountRecord &a = lineAccount;
  static char work[sizeof a.carry + kPiece];
  do {
    const int piece = std::min(count, kPiece);
    std::memcpy(work, a.carry, static_cast<std::size_t>(a.carryCount));
    if (piece > 0)
      std::memcpy(work + a.carryCount, bytes, static_cast<std::size_t>(piece));
    const int n = a.carryCount + piece;
    bytes += piece;
    count -= piece;
    int at = 0;
    if (a.afterFrame && a.carryCount == 0 && n > 0 && work[0] == 0)
      at = 1; // the terminator of the frame that ended the last read
    a.afterFrame = 0;
    a.carryCount = 0;
    while (at < n) {
      LineItem item;
      const int length = NextLineItem(work + at, n - at, more || count > 0, &item);
      if (length == 0)
        break;
      Take(work + at, item, now);
      at += length;
      a.afterFrame = IsFrame(item.kind) && work[at - 1] != 0;
    }
    a.carryCount = n - at;
    std::memcpy(a.carry, work + at, static_cast<std::size_t>(a.carryCount));
  } while (count > 0);
}

} // namespace

int NextLineItem(const char *bytes, int count, int more, LineItem *item) {
  if (!bytes || count <= 0)
    return 0;
  if (bytes[0] != '$')
    return Item(item, LINE_ITEM_STRAY, NextDollar(bytes, count, 1));
  if (count < 2)
    return more ? 0 : Item(item, LINE_ITEM_STRAY, 1);
  const int length = static_cast<unsigned char>(bytes[1]);
  if (length < FRAME_PAYLOAD_START || length > kLongestLength)
    return Item(item, LINE_ITEM_STRAY, NextDollar(bytes, count, 1));
  if (length >= count) // its checksum is still to come
    return more ? 0 : Item(item, LINE_ITEM_STRAY, NextDollar(bytes, count, 1));
  if (FrameChecksum(bytes + FRAME_PAYLOAD_START, length - FRAME_PAYLOAD_START) !=
      static_cast<unsigned char>(bytes[length]))
    // Up to the next "$" at most: a good frame may start inside a bad one.
    return Item(item, LINE_ITEM_DAMAGED, std::min(length + 1, NextDollar(bytes, count, 1)));
  const int end = length + 1 < count && bytes[length + 1] == 0 ? length + 2 : length + 1;
  return Item(item, FrameKind(bytes, length), end);
}

int IsAcknowledgementItem(int kind) {
  return kind == LINE_ITEM_ACCEPTANCE || kind == LINE_ITEM_REFUSAL;
}

void ResetLineAccount() {
  lineAccount = LineAccountRecord{};
}

void AccountLineOpened() {
  lineAccount.carryCount = 0;
  lineAccount.afterFrame = 0;
}

void AccountRead(const char *bytes, int count, double now) {
  if (bytes && count > 0)
    Feed(bytes, count, 1, now);
}

void AccountDiscarded(const char *bytes, int count, double now) {
  // Thrown away outside any group: an acknowledgement among them is noted.
  const int group = lineAccount.group;
  lineAccount.group = LINE_GROUP_NONE;
  AccountRead(bytes, count, now);
  lineAccount.group = group;
}

void AccountOpen(int group, double now) {
  LineAccountRecord &a = lineAccount;
  const LineAccountRecord kept = a;
  a = LineAccountRecord{};
  std::memcpy(a.carry, kept.carry, sizeof a.carry);
  a.carryCount = kept.carryCount;
  a.afterFrame = kept.afterFrame;
  a.replyOutsideAt = kept.replyOutsideAt;
  a.lastGroupEnd = kept.lastGroupEnd;
  a.lastGroupOwing = kept.lastGroupOwing;
  a.group = group;
  a.owedAtStart = now - kept.replyOutsideAt < LINE_OWED_WINDOW ||
                  (kept.lastGroupOwing && now - kept.lastGroupEnd < LINE_OWED_WINDOW);
  if (a.owedAtStart)
    a.firstGap = 0;
}

void AccountSent(const char *command, double now) {
  LineAccountRecord &a = lineAccount;
  if (a.group == LINE_GROUP_NONE || a.looking)
    return;
  FinishTry();
  if (a.tries < LINE_MOST_TRIES) {
    LineTry &t = a.tryList[a.tries];
    t = LineTry{};
    if (command)
      std::strncpy(t.command, command, LINE_COMMAND_KEPT);
    t.sentAt = now;
  }
  a.openTry = a.tries++;
}

int AccountVerdict() {
  const LineAccountRecord &a = lineAccount;
  const bool outOfStep = a.severalInOneRead || a.repliesAfterLast > 0;
  if (a.refusals > 0 && (outOfStep || a.refusalsAfterGap > 0))
    return LINE_REFUSAL_UNCOUNTED;
  return outOfStep ? LINE_LATE : LINE_IN_STEP;
}

int AccountNeedsLook() {
  const LineAccountRecord &a = lineAccount;
  FinishTry();
  return a.group != LINE_GROUP_NONE && AccountVerdict() != LINE_REFUSAL_UNCOUNTED &&
         (a.firstGap != LINE_NO_GAP || a.refusals > 0 || a.severalInOneRead);
}

void AccountLook() {
  FinishTry();
  lineAccount.looking = 1;
}

int AccountClose(double now) {
  LineAccountRecord &a = lineAccount;
  FinishTry();
  if (a.group == LINE_GROUP_NONE)
    return a.verdict;
  Feed(nullptr, 0, 0, now); // what is left of a cut frame counts now
  a.verdict = AccountVerdict();
  a.firstInDoubt = a.verdict == LINE_IN_STEP ? -1 : a.firstGap == LINE_NO_GAP ? 0 : a.firstGap;
  a.lastGroupOwing = a.verdict != LINE_IN_STEP || a.firstGap != LINE_NO_GAP;
  a.lastGroupEnd = now;
  a.group = LINE_GROUP_NONE;
  a.looking = 0;
  return a.verdict;
}
