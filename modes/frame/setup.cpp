// The set-up window's logic, free of widgets.
#include "modes/frame/setup.h"

#include "base/sjis.h"
#include "modes/frame/imports.h"
#include "modes/frame/match.h"
#include "modes/frame/outputs.h"
#include "modes/frame/textfmt.h"
#include "platform/catalogue.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sjis/frame_text.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace modes {

namespace {
// "機体データの出力先フォルダ(%s)にある参加機体のファイルが試合結果で上書きされるため、…"
constexpr int InputInOutputFolder = 41052;
} // namespace

MessageTables::MessageTables()
    : Announcers(new AnnouncerEntry[AnnouncerSlots]()), Computers(new MsgEntry[ComputerSlots]()),
      Pilots(new MsgEntry[PilotSlots]()) {}

void MessageTables::load(const std::string& programFolder) {
    LoadMsgTable(programFolder.c_str(), BasePath, Announcers.get(), &AnnouncerCount, Pilots.get(),
                 &PilotCount, Computers.get(), &ComputerCount, &Words);
    LoadDispAttribute(programFolder.c_str(), &Display);
}

ModeSetup::ModeSetup(const ModeInfo& info, GameSettings& settings, ConfHeader& header, AkSourceList& sources)
    : info_(info), settings_(settings), header_(header), sources_(sources),
      programFolder_(plat::programFolder()) {
    sjis::writeField(settings_.ModeVersionText, versionText(info_));
    tables_.load(programFolder_);
    akFolder_ = sjis::readField(header_.AkInputFolder);
}

ModeSetup::~ModeSetup() {
    endSystem();
}

bool ModeSetup::startSystem() {
    const char* files[8] = {"sysmsg\\play_sys.msg", "sysmsg\\play_ana.msg", "sysmsg\\play_com.msg",
                            "sysmsg\\play_com.msg", "sysmsg\\pil_man.msg",  "sysmsg\\pil_fem.msg",
                            "sysmsg\\pil_man.msg",  "sysmsg\\pil_fem.msg"};
    for (int i = 0; i < 8; ++i) {
        messageFiles_[i] = programFolder_ + files[i];
        init_.MessageFile[i] = messageFiles_[i].c_str();
    }
    init_.Announcers = tables_.Announcers.get();
    init_.ComputerEntries = tables_.Computers.get();
    init_.PilotEntries = tables_.Pilots.get();
    init_.Unused11 = 0;
    init_.AnnouncerCount = tables_.AnnouncerCount;
    init_.ComputerCount = tables_.ComputerCount;
    init_.PilotCount = tables_.PilotCount;
    init_.Unused16 = 0;
    init_.BaseFolder = programFolder_.c_str();
    cv::GameMessageBuffer* buffer = nullptr;
    uint32_t result = StartSystem(&init_, &buffer);
    buffer_ = buffer;
    systemEnded_ = false;
    return result == 0;
}

void ModeSetup::endSystem() {
    if (!buffer_ || systemEnded_) return;
    EndSystem();
    systemEnded_ = true;
    buffer_ = nullptr;
}

void ModeSetup::fillSlotZero() {
    sjis::writeField(sources_.Names[0], text::CurrentSlot);
    sjis::writeField(sources_.Paths[0], akFolder_);
}

std::vector<std::string> ModeSetup::folderChoices() const {
    std::vector<std::string> choices{text::ConfFolderSlot};
    const int32_t stored = sources_.Count; // a copy: the record is packed
    const int32_t count = std::clamp<int32_t>(stored, 1, 20);
    for (int k = 1; k < count; ++k) choices.emplace_back(sjis::readField(sources_.Names[k]));
    return choices;
}

bool ModeSetup::chooseFolderSlot(int k) {
    if (k < 0 || k >= 20) return false;
    std::string_view name = sjis::readField(sources_.Names[k]);
    std::string_view folder = sjis::readField(sources_.Paths[k]);
    if (name.empty() || folder.empty()) return false;
    akFolder_ = folder;
    return true;
}

void ModeSetup::fillAkList(std::string_view mask) {
    // A new fill shows the folder's order; the sort state stays, so a click
    // on the column sorted last still flips its direction.
    rows_ = listAkRows(akFolder_, mask);
}

void ModeSetup::sortAkList(int column) {
    sort_.click(column);
    sort_.apply(rows_);
}

std::string ModeSetup::rowPath(size_t row) const {
    return row < rows_.size() ? joinFolder(akFolder_, rows_[row].File) : std::string();
}

std::string ModeSetup::resultFilePath() const {
    return joinFolder(sjis::readField(header_.ResultFolder), history_.text());
}

namespace {

// Whether the result file can be written, leaving the disk as it was: a
// table that is there is opened for appending and closed untouched; where
// there is none, a file of the program's own is made in its folder and
// removed again, so that a start that goes no further leaves no empty
// table under the real name.
bool canWriteResultFile(const std::string& path) {
    if (plat::fileExists(path)) {
        std::FILE* f = plat::openFile(path, "ab");
        if (f) std::fclose(f);
        return f != nullptr;
    }
    const plat::PathParts parts = plat::splitPath(path);
    std::string folder = parts.drive + parts.dir;
    if (folder.empty()) folder = ".";
    std::optional<std::string> probe = plat::createUniqueFile(folder, plat::TempFilePrefix, plat::TempFileUniqueLength);
    if (probe) plat::removeFile(joinFolder(folder, *probe));
    return probe.has_value();
}

} // namespace

bool ModeSetup::testResultFile(void* owner) const {
    if (canWriteResultFile(resultFilePath())) return true;
    plat::msg::showError(41020, {history_.text()}, plat::msg::Style{true, owner});
    return false;
}

bool ModeSetup::checkEntrants(const EntrantList& entrants) {
    const std::string akOutputFolder(sjis::readField(header_.AkOutputFolder));
    const int32_t mostMatches = std::max<int32_t>(static_cast<int32_t>(entrants.size()) - 1, 1);
    const bool da1Only = settings_.Options[OptDa1Only] != 0;
    for (const Entrant& e : entrants) {
        if (e.Path.empty()) continue;
        if (!acceptAkPath(e.Path)) return false;
        if (!akOutputForced_) continue;
        if (!acceptAkPath(lastOutputAkFile(e.Path, mostMatches, akOutputFolder, da1Only))) return false;
        // An entrant's own file is never written over: the run would take
        // the player's file and leave nothing to run the event again from.
        if (outputOverwritesInput(e.Path, mostMatches, akOutputFolder, da1Only)) {
            plat::msg::showError(InputInOutputFolder, {akOutputFolder});
            return false;
        }
    }

    const bool weapons = header_.CheckWeaponData != 0;
    if (weapons) {
        std::string weaponFolder(sjis::readField(header_.WeaponDataFolder));
        if (LoadWeapon(weaponFolder.c_str()) == 0) return false;
    }
    int result = 1;
    bool readable = true;
    auto scratch = std::make_unique<TArmoredKnight>();
    std::unique_ptr<char[]> report(new char[cmn::CheckReportSize]());
    for (const Entrant& e : entrants) {
        if (e.Path.empty()) continue;
        if (!readAkFile(*scratch, e.Path)) {
            readable = false;
            break;
        }
        if (!weapons) continue;
        result = cmnCheckAkData(scratch.get(), report.get());
        if (result == 2) break;
    }
    if (weapons) UnloadWpData();
    return readable && result != 2;
}

void ModeSetup::resetDigest() {
    if (!settings_.Options[OptResetDigest]) return;
    std::string digest = joinFolder(sjis::readField(header_.ResultFolder), "digest.mom");
    if (plat::fileExists(digest)) plat::removeFile(digest);
}

bool writeEntryListFile(GameSettings& settings, const char* const* paths, const std::string& out,
                        cv::GameMessageBuffer* buffer) {
    // SetEnvironment also starts the game processor's record of a failed
    // file afresh, so what it holds afterwards is this list's.
    SetEnvironment(&settings);
    if (!OutputEntryList(&settings, paths, out.c_str(), buffer)) {
        plat::msg::showError(41020, {out});
        return false;
    }
    if (GetOutputFault(nullptr, 0) == 0) return true;
    // An entry sheet that did not reach the file (reported already): no cut
    // list stays under the real name.
    plat::removeFile(out);
    return false;
}

bool ModeSetup::writeEntryList(const EntrantList& entrants) {
    std::vector<const char*> paths = pathArray(entrants);
    std::string out = joinFolder(sjis::readField(header_.ResultFolder), "entrylist.txt");
    return writeEntryListFile(settings_, paths.data(), out, buffer_);
}

void ModeSetup::forceAkOutput() {
    if (!akOutputForced_) savedAkOutput_ = settings_.Options[OptAkOutput];
    akOutputForced_ = true;
    settings_.Options[OptAkOutput] = 1;
}

void ModeSetup::deleteForcedOutput(const EntrantList& entrants) {
    deleteForcedOutput(std::span<const EntrantList>(&entrants, 1));
}

void ModeSetup::deleteForcedOutput(std::span<const EntrantList> lists) {
    if (!akOutputForced_ || savedAkOutput_) return;
    // Exactly the files the run wrote; an entrant's own file among them
    // (which the entry check never lets the run write over) stays.
    std::vector<std::string> written, inputs;
    for (const EntrantList& list : lists)
        for (const Entrant& e : list) {
            if (!e.Path.empty()) inputs.push_back(e.Path);
            written.insert(written.end(), e.Written.begin(), e.Written.end());
        }
    deleteRunOutputs(written, inputs);
}

} // namespace modes
