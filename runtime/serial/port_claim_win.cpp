#include "runtime/serial/port_claim.h"

#include <windows.h>

#include <QString>

#include "runtime/core/port_choices.h"

namespace rt {

namespace {

class MutexClaim final : public PortClaim {
public:
  explicit MutexClaim(HANDLE mutex) : mutex_(mutex) {}
  ~MutexClaim() override { ::CloseHandle(mutex_); }

private:
  HANDLE mutex_;
};

} // namespace

std::unique_ptr<PortClaim> ClaimPort(const std::string &path) {
  // One name per port however it is written (com5, \\.\COM5); the session's
  // namespace, which needs no privilege.
  const QString name =
      QStringLiteral("Local\\nuvaro-port-") +
      QString::fromStdString(PortPathKey(path)).replace(QLatin1Char('\\'), QLatin1Char('/'));
  const HANDLE mutex =
      ::CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t *>(name.utf16()));
  if (!mutex)
    return std::make_unique<PortClaim>(); // no claim to be had: the driver decides
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(mutex);
    return nullptr;
  }
  return std::make_unique<MutexClaim>(mutex);
}

} // namespace rt
