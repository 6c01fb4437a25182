// The device's command vocabulary: parsing a frame payload into a command,
// and spelling a command as a payload.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

enum class CommandKind {
  SignalModeOn,   // "F3,"
  SignalModeOff,  // "F4,"
  Angle,          // "T<angle>,"
  Width,          // "W<width>,"
  FixedOperation, // "F1,"
  Rate,           // "R<rate>,"
  SweepBounds,    // "D<min>,<max>,<step>,"
  Repeat,         // "P<repeat>,"
  SweepOperation, // "F2,"
  LinkTest,       // "Q1"
  RatePoll,       // "?1,"
};

struct Command {
  CommandKind kind;
  std::array<int, 3> values{}; // the numbers, in the order they were sent
};

// The command in `payload`, or nothing when the payload is not a well-formed
// command: unknown letter, a number that is empty, not decimal or outside the
// 32-bit range, or a missing or extra comma.
std::optional<Command> ParseCommand(std::string_view payload);

// The payload of `command`, as the device reads it: ParseCommand gives the
// command back.
std::string FormatCommand(const Command &command);

} // namespace sim
