#include "app/state/settings.h"

SettingsRecord Settings{}; // every field 0 until init reads the panel
int panelHandle = 0;
