// What bench_panel's two files share: the real panel, loaded, shown and
// initialised as the program starts it, once per process.
#pragma once

// False when the panel file cannot be loaded.
bool LoadMainPanel();
