#include "runtime/serial/host_lookup.h"

#include <QHostInfo>

#include <condition_variable>
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

} // namespace

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

} // namespace rt
