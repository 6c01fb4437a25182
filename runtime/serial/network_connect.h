// A network port's connection: the host's addresses looked up and each tried
// in turn, all within the open's one wait, and why it failed in the link
// view's terms.
#pragma once

#include <QDeadlineTimer>
#include <QTcpSocket>

#include <string>

#include "runtime/serial/network_port_name.h"
#include "runtime/serial/serial_endpoint.h"

namespace rt {

// Connects `socket` to `name`'s host and port before `deadline`. A name is
// looked up on a thread of its own: the system's resolver has no time limit
// of the program's, and a lookup still running at the deadline finishes
// there, forgotten. An address as written ("127.0.0.1", "::1") needs none.
// false, with the fault in `why` and the words in `detail`, when it cannot.
bool ConnectWithin(QTcpSocket &socket, const NetworkPortName &name, const QDeadlineTimer &deadline,
                   OpenFailure *why, std::string *detail);

// Sets a network port's failure: its kind, and its words for the link view's
// column of the system's own; returns false.
bool NetworkOpenFailed(OpenFailure *why, std::string *detail, TapOpenFault fault,
                       const std::string &words);

// "3 s", "0.5 s".
std::string SecondsText(double seconds);

} // namespace rt
