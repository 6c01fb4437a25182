// The baseline's timer: nothing (bench/bare_panel/CMakeLists.txt says why this is here).
#pragma once

#include "bare_controls.h"

using TimerControl = bare::Hidden;
