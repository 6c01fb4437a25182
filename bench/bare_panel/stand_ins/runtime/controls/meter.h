// The baseline's dial meter (bench/bare_panel/CMakeLists.txt says why this is here).
#pragma once

#include "bare_painted.h"

using Meter = bare::Dial;
