// The baseline's list (bench/bare_panel/CMakeLists.txt says why this is here).
#pragma once

#include "bare_controls.h"

using RingControl = bare::Ring;
