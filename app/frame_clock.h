#pragma once
#include <cstdint>

// Milliseconds of a steady, fine-grained clock (the tick count moves in steps of about 15 ms).
int64_t FrameClockMs();
