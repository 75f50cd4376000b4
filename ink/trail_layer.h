#pragma once
#include "app/dirty_rect.h"
#include "ink/stroke.h"

// Finished laser strokes are drawn once, at full strength, into a layer of their own; the fade only
// scales that layer's pixels when it is composed, instead of drawing every trail again.
void DrawTrailIntoLayer(const Stroke& trail);
// Makes the trail layer transparent inside `rect`.
void ClearTrailLayer(const DirtyRect& rect);
// The trail layer made again from `laserTrails`, oldest first.
void RebuildTrailLayer();
// The factor, 0 to 255, with which the trail layer is composed at the current `laserFade`.
uint32_t TrailScale();
