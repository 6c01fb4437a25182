#include "runtime/serial/network_connect.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QMetaEnum>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace rt {

namespace {

// Shared by the waiting caller and the lookup's thread, which may outlive
// the wait.
struct Lookup {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  QList<QHostAddress> addresses;
};

enum class HostLookup { Found, Unknown, TimedOut };

HostLookup LookUpHost(const std::string &host, const QDeadlineTimer &deadline,
                      QList<QHostAddress> *addresses) {
  QHostAddress literal;
  if (literal.setAddress(QString::fromStdString(host))) {
    *addresses = {literal};
    return HostLookup::Found;
  }
  auto lookup = std::make_shared<Lookup>();
  std::thread([lookup, name = QString::fromStdString(host)] {
    const QHostInfo info = QHostInfo::fromName(name);
    const std::lock_guard<std::mutex> lock(lookup->mutex);
    lookup->addresses = info.addresses();
    lookup->finished = true;
    lookup->done.notify_all();
  }).detach();
  std::unique_lock<std::mutex> lock(lookup->mutex);
  const auto until = std::chrono::steady_clock::now() + deadline.remainingTimeAsDuration();
  if (!lookup->done.wait_until(lock, until, [&lookup] { return lookup->finished; }))
    return HostLookup::TimedOut;
  *addresses = lookup->addresses;
  return addresses->isEmpty() ? HostLookup::Unknown : HostLookup::Found;
}

std::string SocketErrorName(QAbstractSocket::SocketError e) {
  const char *name = QMetaEnum::fromType<QAbstractSocket::SocketError>().valueToKey(e);
  return name ? name : "error " + std::to_string(static_cast<int>(e));
}

} // namespace

bool NetworkOpenFailed(OpenFailure *why, std::string *detail, TapOpenFault fault,
                       const std::string &words) {
  if (why)
    *why = {fault, 0};
  if (detail)
    *detail = words;
  return false;
}

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%g s", seconds);
  return text;
}

bool ConnectWithin(QTcpSocket &socket, const NetworkPortName &name, const QDeadlineTimer &deadline,
                   OpenFailure *why, std::string *detail) {
  QList<QHostAddress> addresses;
  const HostLookup found = LookUpHost(name.host, deadline, &addresses);
  if (found == HostLookup::Unknown)
    return NetworkOpenFailed(why, detail, TapOpenFault::HostUnknown, "no address for " + name.host);
  if (found == HostLookup::TimedOut)
    return NetworkOpenFailed(why, detail, TapOpenFault::ConnectTimedOut,
                             "looking up " + name.host + " took over " +
                                 SecondsText(name.timeoutSeconds));
  const std::string where = name.host + " port " + std::to_string(name.port);
  // Each address in turn ("localhost" is ::1 and 127.0.0.1), within the
  // one wait; the last one's failure is the reason.
  auto error = QAbstractSocket::HostNotFoundError;
  for (const QHostAddress &address : addresses) {
    if (deadline.hasExpired())
      break;
    socket.connectToHost(address, static_cast<quint16>(name.port));
    if (socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
      return true;
    error = socket.error();
    socket.abort();
  }
  switch (error) {
  case QAbstractSocket::ConnectionRefusedError:
    return NetworkOpenFailed(why, detail, TapOpenFault::ConnectionRefused,
                             "nothing listens at " + where + " (connection refused)");
  case QAbstractSocket::SocketTimeoutError:
  case QAbstractSocket::HostNotFoundError: // no address tried before the deadline
    return NetworkOpenFailed(why, detail, TapOpenFault::ConnectTimedOut,
                             "no connection to " + where + " within " +
                                 SecondsText(name.timeoutSeconds));
  default:
    return NetworkOpenFailed(why, detail, TapOpenFault::NetworkError,
                             "connecting to " + where + ": " + SocketErrorName(error));
  }
}

} // namespace rt
