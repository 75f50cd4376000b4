#include "ink/stroke.h"

#include <utility>

#include "app/app_state.h"

void AppendToHistory(Stroke stroke) {
    app.history.push_back(std::move(stroke));
    if (app.history.size() > MAX_HISTORY_STROKES) {
        app.history.erase(app.history.begin());
    }
}
