// The library loader, scratch folders and match settings of the interface
// tests.
#include "interfacetest.h"

#include "akdata/akfile.h"
#include "base/sjis.h"
#include "platform/files.h"
#include "platform/notify.h"
#include "platform/registry.h"

#include <filesystem>

namespace interfacetest {

bool Cvcore::load() {
    bool ok = Lib.load(
        VELL_PROGRAM_DIR, "cvcore.dll",
        {"Infix2Postfix",       "CalcPostfix",        "StartSystem", "EndSystem",          "SetAkData",
         "RandomizeSystem",     "SetEnvironment",     "StartMatch",  "ProcessMatch",       "EndMatch1",
         "EndMatch2",           "AbortMatch",         "AkViewer",    "DeleteOutputAkFile", "SaveGameContext",
         "DisposeGameMessage",  "RestoreGameContext", "AkViewer2",   "_GetReturnFileName", "GetOutputFault",
         "TakeBackOpenMatches", "KeepOpenMatches"});
    EXPECT_TRUE(ok) << Lib.error();
    if (!ok) return false;
    Infix2Postfix = Lib.function<decltype(Infix2Postfix)>("Infix2Postfix");
    CalcPostfix = Lib.function<decltype(CalcPostfix)>("CalcPostfix");
    StartSystem = Lib.function<decltype(StartSystem)>("StartSystem");
    EndSystem = Lib.function<decltype(EndSystem)>("EndSystem");
    SetAkData = Lib.function<decltype(SetAkData)>("SetAkData");
    RandomizeSystem = Lib.function<decltype(RandomizeSystem)>("RandomizeSystem");
    SetEnvironment = Lib.function<decltype(SetEnvironment)>("SetEnvironment");
    StartMatch = Lib.function<decltype(StartMatch)>("StartMatch");
    ProcessMatch = Lib.function<decltype(ProcessMatch)>("ProcessMatch");
    EndMatch1 = Lib.function<decltype(EndMatch1)>("EndMatch1");
    EndMatch2 = Lib.function<decltype(EndMatch2)>("EndMatch2");
    AbortMatch = Lib.function<decltype(AbortMatch)>("AbortMatch");
    AkViewer = Lib.function<decltype(AkViewer)>("AkViewer");
    DeleteOutputAkFile = Lib.function<decltype(DeleteOutputAkFile)>("DeleteOutputAkFile");
    SaveGameContext = Lib.function<decltype(SaveGameContext)>("SaveGameContext");
    DisposeGameMessage = Lib.function<decltype(DisposeGameMessage)>("DisposeGameMessage");
    RestoreGameContext = Lib.function<decltype(RestoreGameContext)>("RestoreGameContext");
    AkViewer2 = Lib.function<decltype(AkViewer2)>("AkViewer2");
    GetReturnFileName = Lib.function<decltype(GetReturnFileName)>("_GetReturnFileName");
    GetOutputFault = Lib.function<decltype(GetOutputFault)>("GetOutputFault");
    TakeBackOpenMatches = Lib.function<decltype(TakeBackOpenMatches)>("TakeBackOpenMatches");
    KeepOpenMatches = Lib.function<decltype(KeepOpenMatches)>("KeepOpenMatches");
    return true;
}

Scratch::Scratch(bool withArchiveLibrary) {
    Base = dir_.folder();
    Results = Base + "results/";
    AkOut = Base + "akout/";
    std::filesystem::create_directories(dir_.path() / "results");
    std::filesystem::create_directories(dir_.path() / "akout");
    std::filesystem::create_directories(dir_.path() / "msg");
    if (withArchiveLibrary)
        std::filesystem::copy_file(std::string(VELL_PROGRAM_DIR) + "libkwph.so", dir_.path() / "libkwph.so");
    plat::reg::setStorePath((dir_.path() / "registry.reg").string());

    // The base set is a folder of message files (none): no archive to load.
    sjis::writeField(announcers_[0].Path, Base + "msg\\");
    for (int i = 0; i < 8; ++i) {
        messageFiles_[i] = Base + "sysmsg/none" + std::to_string(i) + ".msg";
        Init.MessageFile[i] = messageFiles_[i].c_str();
    }
    Init.Announcers = announcers_;
    Init.ComputerEntries = computers_;
    Init.PilotEntries = pilots_;
    Init.BaseFolder = Base.c_str();
    plat::notify::setHeadlessEcho(false);
    plat::notify::clearRecorded();
}

// The settings store keeps pointing into the removed folder: reads find
// nothing there, as in a store without values.
Scratch::~Scratch() {
    plat::notify::clearRecorded();
}

GameSettings MatchSettings() {
    GameSettings gs{};
    gs.OutputColumns = 76;
    gs.MatchType = 2; // battle
    gs.MatchMinutes = 30;
    gs.MessagePercent = 60;
    gs.EscapeRate = 50;
    gs.WinnerCr = 1000;
    gs.LoserCr = 200;
    for (int flag : {OptLogOutput, OptAkOutput, OptAddHeader, OptDrainContinues, OptBattleInfoInAk,
                     OptAutoProcess, OptResupplyWinner, OptImmobileDraw})
        gs.Options[flag] = 1;
    return gs;
}

std::string SamplePath(int n) {
    char path[256];
    std::snprintf(path, sizeof path, "%sAkData/ak%02d.dat", VELL_SAMPLE_DIR, n);
    return path;
}

TArmoredKnight LoadAk(const std::string& path) {
    TArmoredKnight ak{};
    EXPECT_EQ(akdata::loadAkData(ak, path), akdata::LoadOk) << path;
    return ak;
}

std::string Read(const std::string& path) {
    std::optional<std::string> bytes = plat::readWholeFile(path);
    return bytes ? *bytes : std::string();
}

} // namespace interfacetest
