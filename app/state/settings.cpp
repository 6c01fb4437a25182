#include "app/state/settings.h"

SettingsRecord Settings = {0, 0, 0, 0, 0, 0, 0, 0, 0};
int panelHandle = 0;
