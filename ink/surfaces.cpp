#include "ink/surfaces.h"
// PLACEHOLDER
void CreateSurfaces() {}
void RebuildInkLayer() {}
void PresentRegion(const DirtyRect&) {}
void ReleaseSurfaces() {}
