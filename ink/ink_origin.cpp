#include "ink/ink_origin.h"
void MoveInkOrigin(int32_t, int32_t) {}
