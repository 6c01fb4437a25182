// The operator's parameters as last read from the panel, and the panel handle.
#pragma once

struct SettingsRecord {
  int workMode;   // nonzero: fixed rate; 0: sweep
  int rate;       // r/min, fixed-rate mode and preview
  int sweepMin;   // r/min
  int sweepMax;   // r/min
  int sweepStep;  // r/min
  int repeat;     // sweep repeat count
  int signalMode; // pulse polarity order: nonzero or 0
  int angle;      // degrees of one revolution
  int width;      // pulse width, microseconds

  bool operator==(const SettingsRecord &) const = default;
};

extern SettingsRecord Settings;
extern int panelHandle;
