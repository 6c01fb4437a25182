// The baseline's strip chart (bench/bare_panel/CMakeLists.txt says why this is here).
#pragma once

#include "bare_painted.h"

using RateTrend = bare::Strip;
