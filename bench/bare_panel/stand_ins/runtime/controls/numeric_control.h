// The baseline's number box: Qt's own (bench/bare_panel/CMakeLists.txt says why this is here).
#pragma once

#include <QSpinBox>

using NumericControl = QSpinBox;
