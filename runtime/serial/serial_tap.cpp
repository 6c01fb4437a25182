#include "runtime/serial/serial_tap.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "runtime/core/clock.h"
#include "runtime/core/time_of_day.h"
#include "runtime/serial/system_words.h"

namespace rt {

namespace {

struct Ring {
  TapRecord records[kTapRingSize];
  int first = 0; // oldest waiting record
  int waiting = 0;
  long long lostSinceKept = 0; // dropped after the newest record kept
};

Ring ring;
TapListener listener = nullptr;
bool draining = false;
bool drainHooked = false;

// The records are decoded whenever the event loop is about to wait: after
// the callback that noted them has returned, never inside a serial call.
void HookDrain() {
  if (drainHooked || !QCoreApplication::instance())
    return;
  if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance()) {
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher,
                     [] { DrainSerialTap(); });
    drainHooked = true;
  }
}

} // namespace

void SetSerialTap(TapListener l) {
  listener = l;
  ring.first = ring.waiting = 0;
  ring.lostSinceKept = 0;
  if (l)
    HookDrain();
}

TapRecord *TapAdd(TapKind kind, int port, int result) {
  if (!listener)
    return nullptr;
  if (ring.waiting == kTapRingSize) {
    ++ring.lostSinceKept;
    return nullptr;
  }
  if (!drainHooked)
    HookDrain(); // the tap was set before the application existed
  TapRecord &r = ring.records[(ring.first + ring.waiting++) % kTapRingSize];
  r = TapRecord{};
  r.kind = kind;
  r.port = port;
  r.result = result;
  r.clock = CurrentClock().Now();
  r.wallMs = WallClockMs();
  return &r;
}

void TapKeepBytes(TapRecord *record, const char *bytes, long long count) {
  if (!record)
    return;
  record->count = std::max(count, 0LL);
  record->headCount =
      bytes ? static_cast<int>(std::min<long long>(record->count, kTapHeadBytes)) : 0;
  if (record->headCount > 0)
    std::memcpy(record->head, bytes, static_cast<std::size_t>(record->headCount));
}

void TapKeepSystemError(TapRecord *record, int error, unsigned long systemError) {
  if (!record)
    return;
  record->fault = TapOpenFault::System;
  record->error = error;
  SystemErrorWords(error, systemError, record->systemWords, kTapWordsBytes);
}

void DrainSerialTap() {
  if (draining || !listener)
    return;
  draining = true;
  while (ring.waiting > 0 && listener) {
    const TapRecord &r = ring.records[ring.first];
    listener(r);
    ring.first = (ring.first + 1) % kTapRingSize;
    --ring.waiting;
  }
  if (ring.lostSinceKept > 0 && listener) {
    TapRecord lost;
    lost.kind = TapKind::Lost;
    lost.count = ring.lostSinceKept;
    lost.clock = CurrentClock().Now();
    lost.wallMs = WallClockMs();
    ring.lostSinceKept = 0;
    listener(lost);
  }
  draining = false;
}

int SerialTapWaiting() {
  return ring.waiting;
}

const TapRecord &SerialTapWaitingRecord(int index) {
  return ring.records[(ring.first + std::clamp(index, 0, kTapRingSize - 1)) % kTapRingSize];
}

} // namespace rt
