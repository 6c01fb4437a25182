// Everything the application calls from the run-time layer.
#pragma once

#include "runtime/busy_progress.h"
#include "runtime/callbacks.h"
#include "runtime/delay.h"
#include "runtime/events.h"
#include "runtime/fmt.h"
#include "runtime/log_view_ops.h"
#include "runtime/panel_ops.h"
#include "runtime/serial_ops.h"
#include "runtime/serial_tap.h"
