// The recording user interface and the hooks for the windows. Unless a
// factory was installed, the windows come from libkwphui.so in the program
// folder, loaded the first time they are wanted and kept loaded.
#include "kwph/ui.h"

#include "platform/loader.h"
#include "platform/paths.h"

#include <atomic>
#include <mutex>

namespace kwp {

namespace {

std::atomic<UiFactory> uiFactory{nullptr};
std::atomic<ScreenSizeQuery> screenQuery{nullptr};

using CreateFn = Ui* (*)();
using ScreenFn = int (*)(int*, int*);

// The windows library, or nullptr when it is not there.
const plat::Library* windowsLibrary() {
    static std::once_flag once;
    static plat::Library* lib = nullptr;
    std::call_once(once, [] {
        auto* l = new plat::Library; // kept for the life of the process
        if (l->load(plat::programFolder(), "kwphui.dll", {"kwphuiCreate", "kwphuiScreenSize"}))
            lib = l;
        else
            delete l;
    });
    return lib;
}

} // namespace

void RecordingUi::showProgress(std::string_view caption, const Geometry& where) {
    progressCaption = caption;
    progressGeometry = where;
    progressOpen = true;
    progressMax = 0;
    progressPos = 0;
}

void RecordingUi::showText(std::string_view caption, const Geometry& where) {
    textCaption = caption;
    textGeometry = where;
    lines.clear();
    status.clear();
}

void setUiFactory(UiFactory factory) {
    uiFactory = factory;
}

std::unique_ptr<Ui> makeWindowUi() {
    if (UiFactory f = uiFactory.load()) return f();
    const plat::Library* lib = windowsLibrary();
    return std::unique_ptr<Ui>(lib ? lib->function<CreateFn>("kwphuiCreate")() : nullptr);
}

void setScreenSizeQuery(ScreenSizeQuery query) {
    screenQuery = query;
}

ScreenSize screenSize() {
    if (ScreenSizeQuery q = screenQuery.load()) return q();
    ScreenSize s;
    const plat::Library* lib = windowsLibrary();
    if (!lib || !lib->function<ScreenFn>("kwphuiScreenSize")(&s.height, &s.width)) return ScreenSize{};
    return s;
}

} // namespace kwp
