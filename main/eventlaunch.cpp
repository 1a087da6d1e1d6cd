#include "main/eventlaunch.h"

#include "base/sjis.h"
#include "platform/catalogue.h"
#include "platform/exedir.h"
#include "platform/loader.h"
#include "platform/paths.h"
#include "platform/registry.h"

#include <cstdio>
#include <memory>

namespace vell {

namespace {

constexpr const char* ModeDllTable[6] = {"VERSUS.DLL", "BRACKETS.DLL",  "BRAWLALL.DLL",
                                         "LEAGUE.DLL", "TEAMFIGHT.DLL", "GAUNTLET.DLL"};

std::string fourDigits(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%4.4d", i);
    return buf;
}

constexpr int NotAConfFile = 41043;
constexpr int FolderTooLong = 41044;

// Reads the records of a conf file; false when it cannot be opened (41042
// shown by the opener) or is too short to hold them (41043 naming it).
bool readConf(const std::string& programFolder, std::string_view confPath, GameSettings* settings,
              ConfHeader& header, void* owner) {
    std::FILE* f = plat::OpenExeDirFile(programFolder, confPath, "rb", plat::msg::Style{false, owner});
    if (!f) return false;
    GameSettings scratch{};
    GameSettings* target = settings ? settings : &scratch;
    bool ok =
        std::fread(target, sizeof(GameSettings), 1, f) == 1 && std::fread(&header, sizeof header, 1, f) == 1;
    std::fclose(f);
    // A short conf file is no conf: never use a partly filled record.
    if (!ok)
        plat::msg::showError(NotAConfFile, {plat::exeDirPath(programFolder, confPath)},
                             plat::msg::Style{false, owner});
    return ok;
}

} // namespace

const char* modeDllName(int gameForm) {
    return gameForm >= 0 && gameForm < 6 ? ModeDllTable[gameForm] : nullptr;
}

bool MakeAbsolutePath(std::string_view programFolder, char (&path)[256], std::string* full) {
    std::string_view stored = sjis::readField(path);
    if (plat::isAbsolutePathLoose(stored)) return true;
    std::string joined = std::string(programFolder) + std::string(stored);
    if (full) *full = joined;
    if (joined.size() >= sizeof path) return false;
    sjis::writeField(path, joined);
    return true;
}

void BuildAkSourceList(std::string_view programFolder, const std::vector<ConfSource>& confs,
                       AkSourceList& list) {
    int next = 1;
    for (int i = 0; i < 20 && next < 20; ++i) {
        std::string comment = plat::reg::readString(
            "Software\\Dunmoor\\SablewrightIntegrated\\Team\\" + fourDigits(i), "Comment", "");
        std::string folder = plat::reg::readString("Software\\Corvane\\AK", fourDigits(i), "");
        if (comment.empty() || folder.empty()) continue;
        sjis::writeField(list.Names[next], comment);
        sjis::writeField(list.Paths[next], folder);
        ++next;
    }
    for (const ConfSource& conf : confs) {
        if (next >= 20) break;
        ConfHeader header{};
        if (!readConf(std::string(programFolder), conf.path, nullptr, header, nullptr)) continue;
        sjis::writeField(list.Names[next], conf.name);
        sjis::writeField(list.Paths[next], sjis::readField(header.AkInputFolder));
        ++next;
    }
    list.Count = next;
}

bool StartEvent(const std::string& programFolder, std::string_view confPath,
                const std::vector<ConfSource>& allConfs, const LaunchHooks& hooks) {
    auto settings = std::make_unique<GameSettings>();
    auto header = std::make_unique<ConfHeader>();
    *settings = GameSettings{};
    *header = ConfHeader{};
    if (!readConf(programFolder, confPath, settings.get(), *header, hooks.owner)) return false;
    if (hooks.busy) hooks.busy();

    auto sources = std::make_unique<AkSourceList>();
    *sources = AkSourceList{};
    BuildAkSourceList(programFolder, allConfs, *sources);

    const char* dll = modeDllName(header->GameForm);
    plat::Library mode;
    if (!dll || !mode.load(programFolder, dll, {"GameStart"})) {
        plat::msg::showError(41004, {dll ? dll : ""}, plat::msg::Style{false, hooks.owner});
        return false;
    }
    for (char(*folder)[256] : {&header->AkInputFolder, &header->AkOutputFolder, &header->ResultFolder,
                               &header->WeaponDataFolder}) {
        std::string full;
        if (!MakeAbsolutePath(programFolder, *folder, &full)) {
            plat::msg::showError(FolderTooLong, {full}, plat::msg::Style{false, hooks.owner});
            return false;
        }
    }

    auto gameStart = mode.function<GameStartFn>("GameStart");
    if (hooks.beforeGameStart) hooks.beforeGameStart();
    gameStart(programFolder.c_str(), settings.get(), header.get(), sources.get(), hooks.application);
    if (hooks.afterGameStart) hooks.afterGameStart();
    return true;
}

} // namespace vell
