// The archive engine (see engine.h).
#include "kwph/engine.h"

#include "kwph/errors.h"

#include "base/sjis.h"
#include "platform/paths.h"

namespace kwp {

bool Engine::fail(std::string text) {
    lastError_ = sjis::cut(text, err::kMaxText);
    return false;
}

void Engine::setPosition(const Geometry& where) {
    geometry_ = where;
    uiOn_ = true;
}

Ui& Engine::ui() {
    if (uiOn_ && !windowsTried_) {
        windowsTried_ = true;
        windows_ = makeWindowUi();
    }
    if (uiOn_ && windows_) return *windows_;
    return recorder_;
}

ProgressScope::ProgressScope(Engine& engine, std::string_view archive, int max) : ui_(engine.ui()) {
    ui_.showProgress(plat::shownPath(archive), engine.geometry());
    ui_.setProgressMax(max);
}

ProgressScope::~ProgressScope() {
    ui_.closeProgress();
}

} // namespace kwp
