#include "ink/stroke.h"

#include <utility>

#include "app/app_state.h"
#include "ink/ink_undo.h"
#include "ink/shape_geometry.h"

void AppendToHistory(Stroke stroke) {
    app.history.push_back(std::move(stroke));
    AccountUndoPixels(app.history.back(), +1);
    if (app.history.size() > MAX_HISTORY_STROKES) {
        AccountUndoPixels(app.history.front(), -1);
        app.history.erase(app.history.begin());
    }
    TrimUndoPixels();
}

DirtyRect StrokeArea(const Stroke& stroke) {
    if (stroke.shape != StrokeShape::Freehand) return ShapeArea(stroke);
    DirtyRect area;
    for (const InkPoint& point : stroke.points) area.IncludePoint(point.x, point.y, 4.0f * stroke.width);
    return area;
}
