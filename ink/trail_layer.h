#pragma once
#include <cstdint>

#include "ink/stroke.h"

// Finished laser strokes are drawn once, at full strength, into a layer of their own; the fade only
// scales that layer's pixels when it is composed, instead of drawing every trail again.
// The layer has memory only while trails wait: on a canvas over several monitors it is tens of
// megabytes. The first trail takes it, fresh and transparent; the last one gone gives it back.

// Draws the finished laser stroke into the trail layer and adds it to `laserTrails`.
void AddLaserTrail(Stroke trail);
// Every trail gone, and the trail layer's memory with them.
void ForgetLaserTrails();
// The trail layer made again from `laserTrails`, oldest first, in fresh memory of the ink layer's
// size; without trails it has none.
void RebuildTrailLayer();
// The trail layer without memory, whatever it held.
void ReleaseTrailLayer();
// The factor, 0 to 255, with which the trail layer is composed at the current `laserFade`.
uint32_t TrailScale();
