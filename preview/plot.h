#pragma once

// Redraws both preview graphs from Settings.
void plotwave();
