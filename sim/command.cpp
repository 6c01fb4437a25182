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

} // namespace

std::optional<Command> ParseCommand(std::string_view payload) {
  if (payload == "F1,")
    return Command{CommandKind::FixedOperation, {}};
  if (payload == "F2,")
    return Command{CommandKind::SweepOperation, {}};
  if (payload == "F3,")
    return Command{CommandKind::SignalModeOn, {}};
  if (payload == "F4,")
    return Command{CommandKind::SignalModeOff, {}};
  if (payload == "Q1")
    return Command{CommandKind::LinkTest, {}};
  if (payload == "?1,")
    return Command{CommandKind::RatePoll, {}};
  if (payload.empty())
    return std::nullopt;

  const std::string_view rest = payload.substr(1);
  switch (payload.front()) {
  case 'T': return Numbers(CommandKind::Angle, rest, 1);
  case 'W': return Numbers(CommandKind::Width, rest, 1);
  case 'R': return Numbers(CommandKind::Rate, rest, 1);
  case 'P': return Numbers(CommandKind::Repeat, rest, 1);
  case 'D': return Numbers(CommandKind::SweepBounds, rest, 3);
  default: return std::nullopt;
  }
}

} // namespace sim
