// Creating the Qt application object for InitCVIRTE, or failing the start
// cleanly.
//
// Without a display Qt would abort the process (134) from inside the
// QApplication constructor, after printing its own complaints. The program
// instead reports a failed run-time start, so main exits with -1 (255) as for
// a panel file that cannot be loaded: no window, no popup, no message.
#pragma once

class QApplication;

namespace rt {

// The application for `argc`/`argv` (kept alive by the caller for the
// application's lifetime), or nullptr when no display can be reached. Never
// returns when the platform fails to start: the process ends with 255.
QApplication *StartApplication(int &argc, char **argv, bool platformGiven);

} // namespace rt
