// Everything the application calls from the run-time layer.
#pragma once

#include "runtime/core/busy_progress.h"
#include "runtime/core/control_table.h"
#include "runtime/core/delay.h"
#include "runtime/core/events.h"
#include "runtime/core/fmt.h"
#include "runtime/core/log_view_ops.h"
#include "runtime/core/panel_ops.h"
#include "runtime/core/serial_ops.h"
#include "runtime/core/serial_tap.h"
