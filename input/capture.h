#pragma once

void BeginStroke(float x, float y, float pressure);
void ExtendStroke(float x, float y, float pressure);
void EndStroke();
