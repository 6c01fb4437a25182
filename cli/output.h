// What nuvaroctl prints on standard output: lines for people, in the panel's
// words where the panel says the same thing (the link view's verdicts, tries
// and group headers), or with --json one JSON object per line, with stable
// English keys. Every line is flushed as it is printed. Errors go to standard
// error (Error).
#pragma once

#include <string>

#include "runtime/core/log_row.h"
#include "traffic/decoder.h"

namespace cli {

class Output {
public:
  explicit Output(bool json) : json_(json) {}

  // One command of a download or a link check:
  //   "09:41:07.512	T30,	被拒绝	5/5"
  //   {"time":"09:41:07.512","command":"T30,","result":"refused","tries":5}
  void Outcome(const traffic::Outcome &outcome);
  // The group's header as the link view shows it, before its commands (for
  // people only): "09:41:07.390	下载（定速）	全部已确认（5 条）	用时 0.50 s"
  // (a fixed-rate download: the time runs from the flush, after the settle
  // wait, to the last check).
  void Summary(const LogRow &header);
  // One poll of the rate: the rate the device reported, or 无应答 (null)
  // when the poll got no rate report, or 无法识别 (null) when the report's
  // number is not a plain decimal as the device writes it ("R12x", "R+7").
  //   "09:41:08.012	3000"   {"time":"09:41:08.012","rate":3000}
  void Reading(long long wallMs, const int *rate, bool unreadable = false);
  // One entry of the port list: "/dev/ttyUSB0	ttyUSB0 — USB serial".
  //   {"port":"/dev/ttyUSB0","description":"ttyUSB0 — USB serial"}
  void Port(const std::string &port, const std::string &description);
  // Text as it is, whole lines (--help, --version).
  void Text(const std::string &lines);

  // False once a line could not be written. A closed pipe ends the program
  // as SIGPIPE does, its port closed first, as a filter in a pipeline ends.
  bool Written() const { return written_; }

private:
  void Line(const std::string &text);

  bool json_;
  bool written_ = true;
};

// "nuvaroctl: <message>" on standard error.
void Error(const std::string &message);

} // namespace cli
