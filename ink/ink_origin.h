#pragma once
#include <cstdint>
void MoveInkOrigin(int32_t dx, int32_t dy);
