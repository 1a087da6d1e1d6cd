// What tells the six game-mode plug-ins apart in the frame: file name, form
// class, the settings key under "Software\Dunmoor\CVVell\DLL\", the default
// result file, the mode's own stored values with their defaults, the window
// placement names, the help context and the version text format.
//
// A mode reads and writes its stored values through readModeValue and
// writeModeValue by name; the default comes from this table. The result-file
// history lives under the subkey "File" of the mode key (values "0000" to
// "0019", see history.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace modes {

enum class ModeKind { Versus, Tournament, BrawlAll, League, TeamBattle, Gauntlet };

struct ModeValue {
    const char* Name = nullptr;
    int32_t Default = 0;
};

struct ModeInfo {
    ModeKind Kind;
    const char* DllName;           // the plug-in's logical file name, "LEAGUE.DLL"
    const char* FormClass;         // "TFormLeague"
    const char* ModeKey;           // "League"
    const char* DefaultResultFile; // "League.txt"
    std::array<ModeValue, 4> Values;
    const char* FormWindow;     // placement name of the set-up window, "Game_Lg"
    const char* ProgressWindow; // of the progress window, "Game_LgProg" (VERSUS: its log window)
    const char* ExtraWindow;    // VERSUS: "Game_VsStatus%d"; else null
    int HelpContext;            // F1 in the mode's windows
    const char* VersionFormat;  // "LEAGUE Ver.%s "
};

const ModeInfo& modeInfo(ModeKind kind);

// The help file and window F1 opens.
inline constexpr const char* HelpFile = "vellcnf.hlp>Ref";
// The help system's command that opens a context.
inline constexpr int HelpCommandContext = 1;

// "Software\Dunmoor\CVVell\DLL\" + mode key.
std::string modeKeyPath(const ModeInfo& info);

// A stored value of the mode; the table's default when missing (0 for a
// name the table does not list).
int32_t readModeValue(const ModeInfo& info, std::string_view name);
bool writeModeValue(const ModeInfo& info, std::string_view name, int32_t value);

// The mode's version text from the FileVersion of its own file; "%s" stays
// empty when the file carries no version. Cut to fit GameSettings'
// 32-byte field.
std::string versionText(const ModeInfo& info);

} // namespace modes
