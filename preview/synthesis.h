// One revolution of the signal as two traces of 1000 samples.
#pragma once

constexpr int WAVE_SAMPLES = 1000;

extern double datapoints[WAVE_SAMPLES];  // pulse trace: 8.0, -8.0, baseline 0.0
extern double datapoints1[WAVE_SAMPLES]; // logic trace: 5.0 and 0.0

void GenerateWave(int rate, int signalMode, int width, int angle);
void GenerateWave1(int signalMode, int angle);
