// Everything the application calls from the run-time layer.
#pragma once

#include "runtime/core/control_table.h"
#include "runtime/core/delay.h"
#include "runtime/core/events.h"
#include "runtime/core/fmt.h"
#include "runtime/core/panel_ops.h"
#include "runtime/core/serial_ops.h"
