#include "platform/notify.h"

#include "platform/codec.h"

#include <cstdio>
#include <mutex>

namespace plat::notify {

namespace {

struct State {
    std::mutex mutex;
    Handler handler;
    std::vector<Request> recorded;
    int answer = 0;
    bool echo = true;
};

State& state() {
    static State s;
    return s;
}

int headless(const Request& r) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.recorded.push_back(r);
    if (s.echo) {
        auto caption = cp932ToUtf8(r.caption).value_or(r.caption);
        auto text = cp932ToUtf8(r.text).value_or(r.text);
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    }
    if (s.answer != 0) return s.answer;
    return r.buttons == Buttons::YesNo ? IdYes : IdOk;
}

} // namespace

int show(const Request& request) {
    Handler h;
    {
        State& s = state();
        std::lock_guard<std::mutex> lock(s.mutex);
        h = s.handler;
    }
    return h ? h(request) : headless(request);
}

int show(std::string_view text, std::string_view caption, Icon icon, Buttons buttons, bool topmost, void* owner) {
    Request r;
    r.text.assign(text);
    r.caption.assign(caption);
    r.icon = icon;
    r.buttons = buttons;
    r.topmost = topmost;
    r.owner = owner;
    return show(r);
}

void setHandler(Handler handler) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.handler = std::move(handler);
}

std::vector<Request> recorded() {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.recorded;
}

void clearRecorded() {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.recorded.clear();
}

void setHeadlessAnswer(int answer) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.answer = answer;
}

void setHeadlessEcho(bool echo) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.echo = echo;
}

} // namespace plat::notify
