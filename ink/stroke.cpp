#include "ink/stroke.h"

#include "ink/shape_geometry.h"

DirtyRect StrokeArea(const Stroke& stroke) {
    if (stroke.shape != StrokeShape::Freehand) return ShapeArea(stroke);
    DirtyRect area;
    for (const InkPoint& point : stroke.points) area.IncludePoint(point.x, point.y, 4.0f * stroke.width);
    return area;
}
