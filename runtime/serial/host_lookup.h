// A host's addresses, looked up within a deadline. The system's resolver has
// no time limit of the program's: a name is looked up on a thread of its own,
// and a lookup still running at the deadline finishes there, forgotten.
#pragma once

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QList>

#include <string>

namespace rt {

enum class HostLookup { Found, Unknown, TimedOut };

// An address as written ("127.0.0.1", "::1", "fe80::1%eth0") is taken as it
// is, without a lookup.
HostLookup LookUpHost(const std::string &host, const QDeadlineTimer &deadline,
                      QList<QHostAddress> *addresses);

} // namespace rt
