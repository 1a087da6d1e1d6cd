// The engine that every archive operation runs on: the last error text, the
// window geometry and whether the user interface is on. An operation starts
// with reset() and ends with fail(text) or true. Windows are made only when
// an operation needs them and the user interface is on; otherwise (and when
// no window system is there) the engine's RecordingUi takes what would have
// been shown.
#pragma once

#include "kwph/ui.h"

#include <memory>
#include <string>

namespace kwp {

class Engine {
public:
    Engine() = default;
    Engine(bool uiOn, const Geometry& where) : uiOn_(uiOn), geometry_(where) {}
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    void reset() { lastError_.clear(); }
    // Makes text the last error and returns false, for `return e.fail(...)`.
    bool fail(std::string text);
    const std::string& lastError() const { return lastError_; }

    // Sets the geometry and turns the user interface on.
    void setPosition(const Geometry& where);
    bool uiOn() const { return uiOn_; }
    const Geometry& geometry() const { return geometry_; }

    // The windows when the user interface is on and a window system is
    // there; else the recorder.
    Ui& ui();
    RecordingUi& recorder() { return recorder_; }

private:
    bool uiOn_ = false;
    Geometry geometry_;
    std::string lastError_;
    std::unique_ptr<Ui> windows_;
    bool windowsTried_ = false;
    RecordingUi recorder_;
};

// The progress window of an operation on an archive, captioned with the
// archive's path as a person reads it (plat::shownPath); closed when the
// operation ends, however it ends.
class ProgressScope {
public:
    ProgressScope(Engine& engine, std::string_view archive, int max);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
    void step(int pos) { ui_.setProgressPos(pos); }

private:
    Ui& ui_;
};

} // namespace kwp
