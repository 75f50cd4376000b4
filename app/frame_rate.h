#pragma once
#include <cstdint>
#include <vector>

// How long the display shows one picture, in microseconds: the fastest of the desktop compositor's
// rate and every monitor's display mode, so that no monitor waits for a slower one's frame; 60 Hz
// where none says anything plausible. Read at start-up and after every display change into
// `app.framePeriodUs`.
void ReadFramePeriod();
// The rate that decides: the fastest plausible one of the compositor's and the monitors'.
double FastestRefreshHz(double compositorHz, const std::vector<double>& monitorsHz);
// The refresh rate the period stands for, in frames a second.
double FrameRateHz();
