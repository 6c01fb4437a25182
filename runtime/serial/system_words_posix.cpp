#include "runtime/serial/system_words.h"

#include <cstdio>
#include <cstring>

namespace rt {

void SystemErrorWords(int error, unsigned long, char *out, int size) {
  if (size <= 0)
    return;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 32)
  // Not strerror: it follows the locale's messages.
  const char *name = strerrorname_np(error);
  const char *description = strerrordesc_np(error);
  if (name && description) {
    std::snprintf(out, static_cast<std::size_t>(size), "%s: %s", name, description);
    return;
  }
#endif
  std::snprintf(out, static_cast<std::size_t>(size), "errno %d", error);
}

} // namespace rt
