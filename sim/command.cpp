#include "sim/command.h"

#include <charconv>
#include <cstdint>

namespace sim {
namespace {

// Reads "<signed decimal>," from the front of `text` and moves past it.
bool TakeNumber(std::string_view &text, int &value) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos)
    return false;
  std::string_view digits = text.substr(0, comma);
  // from_chars takes a leading '-' but no '+' and no spaces, as the device does.
  std::int32_t parsed = 0;
  const char *end = digits.data() + digits.size();
  auto [ptr, ec] = std::from_chars(digits.data(), end, parsed);
  if (ec != std::errc() || ptr != end)
    return false;
  value = parsed;
  text.remove_prefix(comma + 1);
  return true;
}

std::optional<Command> Numbers(CommandKind kind, std::string_view text, int count) {
  Command command{kind, {}};
  for (int i = 0; i < count; ++i) {
    if (!TakeNumber(text, command.values[static_cast<std::size_t>(i)]))
      return std::nullopt;
  }
  if (!text.empty())
    return std::nullopt;
  return command;
}

// How the device spells each command: a payload of its own, or a letter and
// so many numbers, each number followed by a comma.
struct Spelling {
  CommandKind kind;
  std::string_view text; // the whole payload, or the letter
  int numbers;
};
constexpr Spelling kSpellings[] = {
    {CommandKind::SignalModeOn, "F3,", 0},
    {CommandKind::SignalModeOff, "F4,", 0},
    {CommandKind::FixedOperation, "F1,", 0},
    {CommandKind::SweepOperation, "F2,", 0},
    {CommandKind::LinkTest, "Q1", 0},
    {CommandKind::RatePoll, "?1,", 0},
    {CommandKind::Angle, "T", 1},
    {CommandKind::Width, "W", 1},
    {CommandKind::Rate, "R", 1},
    {CommandKind::Repeat, "P", 1},
    {CommandKind::SweepBounds, "D", 3},
};

} // namespace

std::optional<Command> ParseCommand(std::string_view payload) {
  for (const Spelling &s : kSpellings) {
    if (s.numbers == 0 && payload == s.text)
      return Command{s.kind, {}};
    if (s.numbers > 0 && payload.substr(0, s.text.size()) == s.text)
      return Numbers(s.kind, payload.substr(s.text.size()), s.numbers);
  }
  return std::nullopt;
}

std::string FormatCommand(const Command &command) {
  for (const Spelling &s : kSpellings) {
    if (s.kind != command.kind)
      continue;
    std::string payload(s.text);
    for (int i = 0; i < s.numbers; ++i)
      payload += std::to_string(command.values[static_cast<std::size_t>(i)]) + ",";
    return payload;
  }
  return {};
}

} // namespace sim
