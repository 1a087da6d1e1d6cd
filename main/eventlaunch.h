// Starting an event for a conf node: read the conf's two records, gather the
// AK folders the set-up window offers, load the game-mode library the conf's
// game form names and hand everything to its GameStart, which returns when
// the event's set-up window closes.
#pragma once

#include "base/aksourcelist.h"
#include "base/confrecords.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vell {

// The library of each game form (0..5); nullptr outside.
const char* modeDllName(int gameForm);

// A stored folder made absolute in place: a text with a ':' anywhere or a
// leading '\' (or '/') stays; anything else, empty included, gets the
// program folder in front. A result that does not fit the field would name
// another folder: it is refused (false, the field unchanged) and `full`,
// when given, receives the whole path.
bool MakeAbsolutePath(std::string_view programFolder, char (&path)[256], std::string* full = nullptr);

// A conf node of the tree: its name and its conf file (as stored).
struct ConfSource {
    std::string name;
    std::string path;
};

// Slots 1..19 and Count, from the settings' folder lists and then, under the
// node's own name, the AK input folders of the conf nodes (`confs`, in tree
// order). A conf file that cannot be read adds no slot.
void BuildAkSourceList(std::string_view programFolder, const std::vector<ConfSource>& confs,
                       AkSourceList& list);

// GameStart of a game-mode library.
using GameStartFn = int (*)(const char* programFolder, GameSettings*, ConfHeader*, AkSourceList*,
                            void* application);

struct LaunchHooks {
    std::function<void()> busy;            // the records are read: hourglass on
    std::function<void()> beforeGameStart; // minimise the main window
    std::function<void()> afterGameStart;  // restore the window
    void* application = nullptr;
    void* owner = nullptr; // owner of message boxes
};

// The whole road of one event for the conf file `confPath` (relative to the
// program folder). False when it stopped before GameStart (messages shown;
// a folder too long to make absolute is 41044 naming it).
bool StartEvent(const std::string& programFolder, std::string_view confPath,
                const std::vector<ConfSource>& allConfs, const LaunchHooks& hooks);

} // namespace vell
