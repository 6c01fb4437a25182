// The rows the link view's decoder gives out: each gets an id when first
// given (a row given again with its id replaces the one shown), and the time
// of day it shows.
#pragma once

#include <string>

#include "link/traffic.h"

void SetRowSink(TrafficRowSink sink);
// Gives `row` to the sink, with a new id when it has none yet.
void PutRow(LogRow &row);
// The id of the newest row given out (0 before the first).
long long NewestRowId();
// "2/5": the try `number` of a command.
std::string TryText(int number);
