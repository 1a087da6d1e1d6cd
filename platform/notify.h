// Message boxes. Every library shows its user messages through one process-
// wide notifier. Without a window system (tests, tools) it records each
// request, prints it to stderr and returns a configured answer; the Qt host
// installs a handler that shows a real box on the GUI thread, blocking a
// calling worker thread until the user answers.
#pragma once

#include "platform/export.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plat::notify {

enum class Icon { Warning, Question, Information };
enum class Buttons { Ok, OkCancel, YesNo };

// Answers, with the values the system's callers compare against.
constexpr int IdOk = 1;
constexpr int IdCancel = 2;
constexpr int IdYes = 6;
constexpr int IdNo = 7;

struct Request {
    std::string text;    // Shift-JIS
    std::string caption; // Shift-JIS
    Icon icon = Icon::Warning;
    Buttons buttons = Buttons::Ok;
    bool topmost = false; // topmost and brought to the foreground
    void* owner = nullptr; // owner window (a QWidget*), may be null
};

using Handler = std::function<int(const Request&)>;

// Shows a box and returns IdOk, IdCancel, IdYes or IdNo. Callable from any
// library and any thread.
PLAT_API int show(const Request& request);
PLAT_API int show(std::string_view text, std::string_view caption, Icon icon, Buttons buttons = Buttons::Ok,
                  bool topmost = false, void* owner = nullptr);

// Installs the handler (an empty one restores the headless notifier).
PLAT_API void setHandler(Handler handler);

// Headless notifier: what was shown, and what it answers (default IdOk for
// OK boxes; for OK-Cancel and Yes-No the first button: IdOk or IdYes).
PLAT_API std::vector<Request> recorded();
PLAT_API void clearRecorded();
// Answer for the next boxes: 0 means "the first button", else an Id value.
PLAT_API void setHeadlessAnswer(int answer);
// Silences the stderr echo of the headless notifier (tests that expect boxes).
PLAT_API void setHeadlessEcho(bool echo);

} // namespace plat::notify
