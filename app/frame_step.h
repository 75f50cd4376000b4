#pragma once

// The screen shows a new picture at most once a frame, so input, the laser fade and the mode switches
// compose at once but leave the push to the message loop, which pushes when the queue holds no more
// input, and within a flood of input at the latest one frame after the first pending change.
constexpr int FRAME_MS = 16;

// A push has waited a frame, or a step of the laser hold or fade is due (its timer message comes
// only when the queue is empty, which a flood of input never lets happen).
bool FrameStepDue();
// The due laser step, if any, then the pending push; then what a clear left to release.
void RunFrameStep();
