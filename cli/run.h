// nuvaroctl: the signal generator from a script, with the panel's protocol
// (link/), the limits of its controls (the panel file) and its words (the link
// view's, traffic/). It starts the console side of the run-time: no window,
// no display, and the panel's handling of the stop signals.
#pragma once

namespace cli {

// The whole program; returns its exit status (commands.h).
int Run(int argc, char **argv);

} // namespace cli
