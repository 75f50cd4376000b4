#include "ink/stroke.h"

DirtyRect StrokeArea(const Stroke& stroke) {
    DirtyRect area;
    for (const InkPoint& point : stroke.points) area.IncludePoint(point.x, point.y, 4.0f * stroke.width);
    return area;
}
