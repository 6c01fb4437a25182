#include "link/line.h"

#include "link/line_account.h"
#include "runtime/core/serial_ops.h"

int OpenLine(int port) {
  DisableBreakOnLibraryErrors();
  const int result = OpenComConfig(port, "", 38400, 0, 8, 1, 1000, 1000);
  EnableBreakOnLibraryErrors();
  AccountLineOpened();
  return result;
}
