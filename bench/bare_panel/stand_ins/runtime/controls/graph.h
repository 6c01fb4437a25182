// The baseline's graph (bench/bare_panel/CMakeLists.txt says why this is here).
#pragma once

#include "bare_controls.h"

using Graph = bare::Chart;
