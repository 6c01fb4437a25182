// Rows for a log view control (the link view): what the application gives it
// to show. The view keeps the newest rows within its bounds and draws them
// from the event loop, at most every 100 ms; giving it a row draws nothing.
#pragma once

#include "runtime/core/log_row.h"

// Adds the row, or replaces the one with its id (when that is still kept).
int PutLogRow(int panel, int control, const LogRow &row);
