// What a mode's set-up window does apart from its widgets: the program
// folder and the caller's three records, the message table and display
// attributes, the game processor's system (StartSystem in the window's
// FormCreate, EndSystem in its FormClose), the AK folder with the folder
// slots of the AkSourceList, the AK list rows and their order, the
// result-file history, and the steps of the start sequence that every
// threaded mode runs. A mode's form (ui/modeform.h) holds one ModeSetup and
// adds its own controls, checks and event driver.
//
// Start sequence of a threaded mode, in the form's ButtonStartClick:
//     RandomizeSystem();                       // all modes but gauntlet
//     if (!setup.testResultFile()) return;     // 41020 shown
//     ... build the entrant list (the mode's own rules) ...
//     if (!setup.checkEntrants(list)) return;  // paths, files, weapon-data check
//     setup.history().promote();               // (the form also refreshes its combo)
//     setup.resetDigest();
//     setup.writeEntryList(list);              // SetEnvironment + entrylist.txt
//     ... the progress window, modally (TFormMode::runProgress) ...
//     setup.deleteForcedOutput(list);          // modes that forced option 23 on
#pragma once

#include "base/aksourcelist.h"
#include "base/confrecords.h"
#include "core/queue.h"
#include "core/system.h"
#include "modes/frame/akrows.h"
#include "modes/frame/entrants.h"
#include "modes/frame/history.h"
#include "modes/frame/modeinfo.h"

#include <array>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace modes {

// The message table of the settings store, as the game processor takes it.
struct MessageTables {
    static constexpr int AnnouncerSlots = 50;
    static constexpr int ComputerSlots = 100;
    static constexpr int PilotSlots = 200;

    MessageTables();
    // LoadMsgTable and LoadDispAttribute.
    void load(const std::string& programFolder);

    std::unique_ptr<AnnouncerEntry[]> Announcers;
    std::unique_ptr<MsgEntry[]> Computers;
    std::unique_ptr<MsgEntry[]> Pilots;
    int AnnouncerCount = 0;
    int ComputerCount = 0;
    int PilotCount = 0;
    char BasePath[256] = {};
    MsgWords Words{};
    DispAttribute Display{};
};

// Writes the entry sheets of `paths` (null-terminated) into `out` through
// OutputEntryList, after SetEnvironment with `settings`. A list that cannot
// be created (message 41020 naming it) or whose sheets did not all reach it
// (reported by the game processor; the cut file is removed) gives false:
// the event does not start.
bool writeEntryListFile(GameSettings& settings, const char* const* paths, const std::string& out,
                        cv::GameMessageBuffer* buffer);

class ModeSetup {
public:
    // Construction steps: the program folder (the platform's, ending in a
    // separator; GameStart's first argument is not used), the version text
    // into GameSettings, the message table and display attributes, the
    // current AK folder := the conf's AK input folder. The AK list is filled
    // by the form (fillAkList) with its mask.
    ModeSetup(const ModeInfo& info, GameSettings& settings, ConfHeader& header, AkSourceList& sources);
    ~ModeSetup();
    ModeSetup(const ModeSetup&) = delete;
    ModeSetup& operator=(const ModeSetup&) = delete;

    const ModeInfo& info() const { return info_; }
    const std::string& programFolder() const { return programFolder_; }
    GameSettings& settings() { return settings_; }
    ConfHeader& header() { return header_; }
    AkSourceList& sources() { return sources_; }
    MessageTables& tables() { return tables_; }

    // ---- Game processor system -------------------------------------------
    // Fills SystemInit from the program folder and the message table and
    // calls StartSystem; false when it failed (the window then closes).
    bool startSystem();
    // EndSystem when StartSystem handed back a buffer; once.
    void endSystem();
    cv::GameMessageBuffer* buffer() const { return buffer_; }
    const cv::SystemInit& systemInit() const { return init_; }

    // ---- AK folder --------------------------------------------------------
    const std::string& akFolder() const { return akFolder_; }
    void setAkFolder(std::string folder) { akFolder_ = std::move(folder); }
    // Slot 0 := name "Current" and the current AK folder.
    void fillSlotZero();
    // The folder combo's items: "試合設定のパス", then the names of slots
    // 1 .. Count-1 (Count clamped to 1..20).
    std::vector<std::string> folderChoices() const;
    // Takes slot k as the current folder when its name and folder are both
    // non-empty; false (nothing changed) otherwise.
    bool chooseFolderSlot(int k);

    // ---- AK list ------------------------------------------------------------
    // The rows of the current folder and mask, in the folder's order.
    void fillAkList(std::string_view mask);
    std::vector<AkRow>& rows() { return rows_; }
    void sortAkList(int column);
    const AkListSort& sortState() const { return sort_; }
    // The current folder + '\' + the row's file.
    std::string rowPath(size_t row) const;

    // ---- Result file -------------------------------------------------------
    ResultHistory& history() { return history_; }
    // ResultFolder + '\' + the history's text.
    std::string resultFilePath() const;
    // Whether the result file can be written: a file that is there is
    // opened for appending and closed untouched; where there is none, the
    // test makes and removes a file of its own in the folder and leaves no
    // result file. On failure message 41020 with the name as typed
    // (caption 41000) and false.
    bool testResultFile(void* owner = nullptr) const;

    // ---- Start sequence -----------------------------------------------------
    // The entry check, once before a run, in every mode. First every
    // entrant path (empty ones skipped) must fit the game settings' AK file
    // fields whole, and so must the output AK files an entrant fights on
    // with in the modes that carry them (forceAkOutput; nobody fights more
    // often than there are other entrants, lastOutputAkFile): else message
    // 41022 names the first path that does not fit. In those modes an
    // entrant's own file that its outputs would write over
    // (outputOverwritesInput) refuses the start too: message 41052 names
    // the AK output folder. Then with ConfHeader.CheckWeaponData:
    // LoadWeapon (0 ends the start silently). Then each entrant's file is
    // read (readAkFile: one that cannot be read is reported and ends the
    // start) and, with the weapon-data check, checked by cmnCheckAkData
    // until one answers 2; UnloadWpData. False when the start must end.
    bool checkEntrants(const EntrantList& entrants);
    // Option 38: ResultFolder\digest.mom is deleted when it exists.
    void resetDigest();
    // SetEnvironment, then OutputEntryList into ResultFolder\entrylist.txt
    // (writeEntryListFile). False when the event must not start.
    bool writeEntryList(const EntrantList& entrants);

    // Modes that write output AK files during their run whatever the conf
    // says (brawlall, brackets, teamfight): keeps the conf's option 23 and
    // sets it; deleteForcedOutput after the run deletes the run's output AK
    // files when the conf's own option was off: the files the run wrote for
    // the entrants (Entrant::Written), never an entrant's own file, nothing
    // else of the folder.
    void forceAkOutput();
    bool akOutputForced() const { return akOutputForced_; }
    uint8_t savedAkOutput() const { return savedAkOutput_; }
    void deleteForcedOutput(const EntrantList& entrants);
    // The same over several lists (the team battle's two teams).
    void deleteForcedOutput(std::span<const EntrantList> lists);

private:
    const ModeInfo& info_;
    GameSettings& settings_;
    ConfHeader& header_;
    AkSourceList& sources_;
    std::string programFolder_;
    MessageTables tables_;
    std::array<std::string, 8> messageFiles_;
    cv::SystemInit init_{};
    cv::GameMessageBuffer* buffer_ = nullptr;
    bool systemEnded_ = false;
    std::string akFolder_;
    std::vector<AkRow> rows_;
    AkListSort sort_;
    ResultHistory history_;
    bool akOutputForced_ = false;
    uint8_t savedAkOutput_ = 0;
};

} // namespace modes
