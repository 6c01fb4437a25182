// A new pseudo-terminal for a program to open by path as its serial port,
// with the master side for whoever plays the device: the simulator, or a test
// or benchmark that writes the device's bytes itself. The master is raw
// (bytes pass unaltered, no echo), non-blocking and closed on exec.
//
// POSIX only: elsewhere OpenRawPty fails with an explanation.
#pragma once

#include <string>

namespace sim {

struct RawPty {
  int master = -1;       // -1 when the terminal could not be set up
  std::string slavePath; // e.g. "/dev/pts/3"
};

// On failure nothing is left open and `error` (when given) says which call
// failed and why.
RawPty OpenRawPty(std::string *error = nullptr);

// Raw at 38400 baud, reads returning from one byte on. False on failure.
bool MakeRaw(int fd);

} // namespace sim
