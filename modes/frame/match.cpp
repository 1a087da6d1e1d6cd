// One match through the game processor.
#include "modes/frame/match.h"

#include "akdata/akfile.h"
#include "base/sjis.h"
#include "modes/frame/entrants.h"
#include "modes/frame/imports.h"
#include "modes/frame/runthread.h"
#include "platform/catalogue.h"

#include <string>

namespace modes {

std::unique_ptr<MatchSides> makeMatchSides() {
    auto sides = std::make_unique<MatchSides>();
    *sides = MatchSides{};
    return sides;
}

namespace {
constexpr int CannotReadAkFile = 41022;
} // namespace

bool fitsAkFileField(std::string_view path) {
    return path.size() < sizeof(GameSettings::AkFile1) && path.find('\0') == std::string_view::npos;
}

bool acceptAkPath(std::string_view path) {
    if (fitsAkFileField(path)) return true;
    plat::msg::showError(CannotReadAkFile, {path});
    return false;
}

bool readAkFile(TArmoredKnight& ak, std::string_view path) {
    ak = TArmoredKnight{};
    bool read = false;
    if (acceptAkPath(path)) {
        std::string p(path);
        const int32_t result = LoadAkData(&ak, p.c_str());
        // A file without an AK data head line: the AK data library says
        // nothing.
        if (result == akdata::LoadBadHead) plat::msg::showError(CannotReadAkFile, {path});
        read = result == 0;
    }
    if (!read)
        if (RunThread* run = RunThread::current()) run->unreadableAkFile(path);
    return read;
}

bool loadAkFile(GameSettings& settings, TArmoredKnight& ak, int side, std::string_view path) {
    const bool loaded = readAkFile(ak, path);
    if (fitsAkFileField(path)) sjis::writeField(side == 0 ? settings.AkFile1 : settings.AkFile2, path);
    return loaded;
}

bool loadSide(GameSettings& settings, MatchSides& sides, int side, std::string_view path) {
    return loadAkFile(settings, sides.Ak[side], side, path);
}

std::array<std::string, 2> returnFileNames(const GameSettings& settings, std::string_view akOutputFolder) {
    std::array<std::string, 2> names;
    if (!settings.Options[OptAkOutput]) return names;
    const std::string folder(akOutputFolder);
    for (int k = 0; k < 2; ++k) {
        char name[256] = {};
        _GetReturnFileName(folder.c_str(), k == 0 ? settings.AkFile1 : settings.AkFile2, name);
        names[static_cast<size_t>(k)] = sjis::readField(name);
    }
    if (modes::outputStem(sjis::readField(settings.AkFile1)) ==
        modes::outputStem(sjis::readField(settings.AkFile2)))
        names[1].clear();
    return names;
}

bool stopOnLostAkOutput(const Entrant& entrant) {
    RunThread* run = RunThread::current();
    if (entrant.Written.empty() || !run) return false;
    run->stopOnFault();
    return true;
}

bool stopOnOutputFault() {
    if (GetOutputFault(nullptr, 0) == 0) return false;
    if (RunThread* run = RunThread::current()) run->stopOnFault();
    return true;
}

MatchOutcome fightMatch(GameSettings& settings, MatchSides& sides, std::string_view logName,
                        std::string_view title, std::string_view akOutputFolder,
                        const std::atomic<bool>* stop) {
    std::string log(logName), heading(title), akOut(akOutputFolder);
    settings.Result = NoResult;
    SetEnvironment(&settings);
    SetAkData(&sides.Ak[0], &sides.Ak[1], &sides.State[0].State, &sides.State[1].State);
    StartMatch(log.c_str(), heading.c_str());
    MatchOutcome outcome;
    outcome.Played = true;
    for (;;) {
        outcome.EndCode = ProcessMatch(log.c_str());
        if (outcome.EndCode != 0) break;
        if (stop && stop->load()) break;
    }
    std::array<std::string, 2> outputs = returnFileNames(settings, akOutputFolder);
    EndMatch1(log.c_str(), akOut.c_str());
    EndMatch2(log.c_str());
    stopOnOutputFault();
    outcome.AkOutput[0] = std::move(outputs[0]);
    outcome.AkOutput[1] = std::move(outputs[1]);
    int32_t result = settings.Result;
    outcome.Result = result >= 0 && result <= 2 ? result : NoResult;
    for (int s = 0; s < 2; ++s) {
        outcome.AkDestroyed[s] = sides.State[s].State.AkDestroyed != 0;
        outcome.PilotKilled[s] = sides.State[s].State.PilotKilled != 0;
    }
    return outcome;
}

MatchOutcome playMatch(GameSettings& settings, MatchSides& sides, std::string_view path1,
                       std::string_view path2, std::string_view logName, std::string_view title,
                       std::string_view akOutputFolder, const std::atomic<bool>* stop) {
    bool first = loadSide(settings, sides, 0, path1);
    bool second = loadSide(settings, sides, 1, path2);
    if (!first || !second) return MatchOutcome{};
    return fightMatch(settings, sides, logName, title, akOutputFolder, stop);
}

} // namespace modes
