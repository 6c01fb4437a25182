// The baseline's link view: an empty widget, hidden at start as the panel's
// (bench/bare_panel/CMakeLists.txt says why this is here).
#pragma once

#include <QWidget>

using LogView = QWidget;
