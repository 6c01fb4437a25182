#include "runtime/serial/open_failure.h"

#include <cerrno>

namespace rt {

namespace {

// Windows' error numbers (winerror.h), named here so that the table is read,
// and tested, on every system.
constexpr unsigned long kFileNotFound = 2;      // ERROR_FILE_NOT_FOUND
constexpr unsigned long kPathNotFound = 3;      // ERROR_PATH_NOT_FOUND
constexpr unsigned long kTooManyOpenFiles = 4;  // ERROR_TOO_MANY_OPEN_FILES
constexpr unsigned long kAccessDenied = 5;      // ERROR_ACCESS_DENIED
constexpr unsigned long kNotReady = 21;         // ERROR_NOT_READY
constexpr unsigned long kGenFailure = 31;       // ERROR_GEN_FAILURE
constexpr unsigned long kSharingViolation = 32; // ERROR_SHARING_VIOLATION
constexpr unsigned long kBadNetPath = 53;       // ERROR_BAD_NETPATH
constexpr unsigned long kInvalidName = 123;     // ERROR_INVALID_NAME
constexpr unsigned long kBadPathName = 161;     // ERROR_BAD_PATHNAME
constexpr unsigned long kFilenameTooLong = 206; // ERROR_FILENAME_EXCED_RANGE
constexpr unsigned long kDeviceRemoved = 1617;  // ERROR_DEVICE_REMOVED

struct WindowsReason {
  unsigned long error;
  int errnoValue;
};

// A port another program holds is refused as "access denied" by Windows'
// serial drivers, and as a sharing violation by Wine: both are busy, not a
// matter of permission (a COM port has no permissions to grant).
constexpr WindowsReason kWindowsReasons[] = {
    {kFileNotFound, ENOENT}, {kPathNotFound, ENOENT},          {kInvalidName, ENOENT},
    {kBadNetPath, ENOENT},   {kAccessDenied, EBUSY},           {kSharingViolation, EBUSY},
    {kNotReady, ENXIO},      {kDeviceRemoved, ENXIO},          {kGenFailure, EIO},
    {kBadPathName, ENOTDIR}, {kFilenameTooLong, ENAMETOOLONG}, {kTooManyOpenFiles, EMFILE},
};

} // namespace

OpenFailure OpenFailureOfWindowsError(unsigned long error) {
  for (const WindowsReason &r : kWindowsReasons)
    if (r.error == error)
      return {TapOpenFault::System, r.errnoValue};
  return {TapOpenFault::System, EIO};
}

} // namespace rt
