#pragma once
#include <cstdint>

// How long the display shows one picture, in microseconds: from the desktop compositor's timing,
// else from the display mode's refresh rate, else 60 Hz. Read at start-up and after every display
// change into `app.framePeriodUs`.
void ReadFramePeriod();
// The refresh rate the period stands for, in frames a second.
double FrameRateHz();
