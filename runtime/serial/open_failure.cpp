#include "runtime/serial/open_failure.h"

#include <cerrno>

namespace rt {

namespace {

struct WindowsReason {
  unsigned long error; // Windows' error number (winerror.h), kept here so that
                       // the table is read, and tested, on every system
  int errnoValue;
};

// A port another program holds is refused as "access denied" by Windows'
// serial drivers, and as a sharing violation by Wine: both are busy, not a
// matter of permission (a COM port has no permissions to grant).
constexpr WindowsReason kWindowsReasons[] = {
    {2, ENOENT},         // ERROR_FILE_NOT_FOUND
    {3, ENOENT},         // ERROR_PATH_NOT_FOUND
    {123, ENOENT},       // ERROR_INVALID_NAME
    {53, ENOENT},        // ERROR_BAD_NETPATH
    {5, EBUSY},          // ERROR_ACCESS_DENIED
    {32, EBUSY},         // ERROR_SHARING_VIOLATION
    {21, ENXIO},         // ERROR_NOT_READY
    {1617, ENXIO},       // ERROR_DEVICE_REMOVED
    {31, EIO},           // ERROR_GEN_FAILURE
    {161, ENOTDIR},      // ERROR_BAD_PATHNAME
    {206, ENAMETOOLONG}, // ERROR_FILENAME_EXCED_RANGE
    {4, EMFILE},         // ERROR_TOO_MANY_OPEN_FILES
};

} // namespace

OpenFailure OpenFailureOfWindowsError(unsigned long error) {
  OpenFailure why{TapOpenFault::System, EIO, error};
  for (const WindowsReason &r : kWindowsReasons)
    if (r.error == error)
      why.error = r.errnoValue;
  return why;
}

} // namespace rt
