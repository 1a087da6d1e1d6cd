// The table of the six game-mode plug-ins and their stored values.
#include "modes/frame/modeinfo.h"

#include "base/sjis.h"
#include "modes/frame/imports.h"
#include "modes/frame/textfmt.h"
#include "platform/registry.h"

namespace modes {

namespace {

const ModeInfo Modes[] = {
    {ModeKind::Versus,
     "VERSUS.DLL",
     "TFormVersus",
     "Versus",
     "Game.txt",
     {{{"ScrollHeight", 185}, {"StatusView", 1}}},
     "Game_Vs",
     "Game_VsLog",
     "Game_VsStatus%d",
     2501,
     "VERSUS Ver.%s "},
    {ModeKind::Tournament,
     "BRACKETS.DLL",
     "TFormTour",
     "Tournament",
     "Tournament.txt",
     {{{"Assign", 0}, {"ScrollHeight", 150}}},
     "Game_Tn",
     "Game_TmProg",
     nullptr,
     2502,
     "TOURNAMENT Ver.%s "},
    {ModeKind::BrawlAll,
     "BRAWLALL.DLL",
     "TFormRoyal",
     "BrawlAll",
     "BattleRoyal.txt",
     {{{"ScrollHeight", 150}, {"MapSizeX", 20}, {"MapSizeY", 20}, {"ScrollHeightProg", 150}}},
     "Game_Br",
     "Game_BrProg",
     nullptr,
     2503,
     "BRAWLALL Ver.%s "},
    {ModeKind::League,
     "LEAGUE.DLL",
     "TFormLeague",
     "League",
     "League.txt",
     {{{"RandomSort", 1}}},
     "Game_Lg",
     "Game_LgProg",
     nullptr,
     2504,
     "LEAGUE Ver.%s "},
    {ModeKind::TeamBattle,
     "TEAMFIGHT.DLL",
     "TFormTeam",
     "TeamBattle",
     "TeamBattle.txt",
     {{{"ScrollHeight", 150}}},
     "Game_Team",
     "Game_RwProg",
     nullptr,
     2505,
     "TEAMFIGHT Ver.%s "},
    {ModeKind::Gauntlet,
     "GAUNTLET.DLL",
     "TFormGauntlet",
     "Gauntlet",
     "Simulation.txt",
     {{{"ScrollHeight", 185}, {"SimCount", 20}}},
     "Game_Vm",
     "Game_VmProg",
     nullptr,
     2506,
     "GAUNTLET Ver.%s "},
};

int32_t defaultOf(const ModeInfo& info, std::string_view name) {
    for (const ModeValue& v : info.Values)
        if (v.Name && name == v.Name) return v.Default;
    return 0;
}

} // namespace

const ModeInfo& modeInfo(ModeKind kind) {
    for (const ModeInfo& m : Modes)
        if (m.Kind == kind) return m;
    return Modes[0];
}

std::string modeKeyPath(const ModeInfo& info) {
    return std::string("Software\\Dunmoor\\CVVell\\DLL\\") + info.ModeKey;
}

int32_t readModeValue(const ModeInfo& info, std::string_view name) {
    return plat::reg::readInteger(modeKeyPath(info), name, defaultOf(info, name));
}

bool writeModeValue(const ModeInfo& info, std::string_view name, int32_t value) {
    return plat::reg::writeInteger(modeKeyPath(info), name, value);
}

std::string versionText(const ModeInfo& info) {
    char buffer[cmn::FileVersionSize] = {};
    char* out = buffer;
    cmnGetFileVersion(info.DllName, &out);
    std::string version(sjis::readField(buffer));
    std::string text = format(info.VersionFormat, version.c_str());
    return sjis::cut(text, sizeof(GameSettings::ModeVersionText) - 1);
}

} // namespace modes
