// The link view's rows, decoded from what the serial tap recorded.
//
// Everything is inferred from the bytes and their order, as the program
// produces them: a flush starts a download, each command is sent up to five
// times and checked after each send, the timer polls with "?1,". The rows:
// one per frame sent (with its try, 1/5 ... 5/5) and per check (the reply's
// verdict, or 无应答 when nothing was waiting); a download is a group whose
// header names the mode and each command that failed, and how; the link check
// is a group of its own; consecutive polls and their readings fold into one
// row that updates. No row is written for a check that found nothing after a
// poll: the poll's answer is picked up by a later tick.
#pragma once

#include <string>

#include "runtime/core/log_view_ops.h"
#include "runtime/core/serial_tap.h"

using TrafficRowSink = void (*)(const LogRow &row);

// Where the rows go (nullptr: nowhere); the decoding state starts afresh.
void StartTraffic(TrafficRowSink sink);
// Port of the built-in demo device: its downloads say so in their header.
void SetTrafficDemoPort(int port);
// Takes one record of the serial tap.
void TrafficRecord(const rt::TapRecord &record);

// While a download's command is in flight: "下载中 T45, 2/5"; "" otherwise.
std::string TrafficProgress();
