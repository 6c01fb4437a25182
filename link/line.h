// The line's settings, in one place: 38400 baud, no parity, 8 data bits, 1
// stop bit, 1000-byte queues, no flow control. The panel's PortInit and
// nuvaroctl open their port with them.
#pragma once

// Opens `port` (under the device the port table gives it) with the line's
// settings; 0 on success, a negative COM_ERR_ code on failure, which is only
// returned.
int OpenLine(int port);
