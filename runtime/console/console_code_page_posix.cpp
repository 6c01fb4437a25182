#include "runtime/console/console_code_page.h"

namespace rt {

void UseUtf8ConsoleOutput() {}
void RestoreConsoleOutput() {}

} // namespace rt
