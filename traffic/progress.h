// The send button's progress while a download blocks: "下载中 T30, 2/5".
//
// Read from the serial tap's ring (runtime/core/serial_tap.h), which holds
// every record since the event loop last ran: nothing is decoded while the
// download blocks, but the ring already says which command was just sent and
// how often in a row. The busy state asks each time Delay blocks
// (runtime/core/busy_progress.h).
#pragma once

#include <string>

namespace traffic {

// While a download's command waits for its check: what it is and its try;
// "" otherwise (the button keeps what it says).
std::string DownloadProgress();

} // namespace traffic
