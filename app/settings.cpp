#include "app/settings.h"

SettingsRecord Settings = {0, 0, 0, 0, 0, 0, 0, 0, 0};
int panelHandle = 0;
