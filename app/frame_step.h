#pragma once
#include <cstdint>

// The display shows a new picture once a frame, so the overlay is pushed at most once a frame:
// input, the laser fade and the mode switches compose at once, and the message loop pushes what is
// pending as soon as a frame has passed since the previous push began. After a quiet spell that is
// at once, so a lone click shows with no added delay; within a stream of changes it is once a frame.

// A push is pending and a frame has passed since the previous one began, or a step of the laser hold
// or fade is due (its timer message comes only when the queue is empty, which a flood of input never
// lets happen).
bool FrameStepDue();
// The due laser step, if any, then the pending push; then what a clear kept is made compact.
void RunFrameStep();
// Microseconds until the frame step is due for what is pending now: 0 when it is due, -1 when
// nothing waits for it (the laser's timer message wakes the loop by itself).
int64_t TimeUntilFrameStepUs();
