// The baseline's lamp (bench/bare_panel/CMakeLists.txt says why this is here).
#pragma once

#include "bare_painted.h"

using Led = bare::Lamp;
