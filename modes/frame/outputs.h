// The clean-up of an earlier run's outputs that the modes do at the start
// of a run, and of a run's own output AK files after it, with the checks
// that keep it from taking a player's own AK file, and the removal of the
// temporary files a crash left behind.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace modes {

class RunThread;

// Which output AK files of the AK output folder a clean-up deletes.
enum class OutputAkFiles {
    Keep,   // none
    Delete, // every one
    // Every one, but when the folder is also an entrant's input folder only
    // those named after an entrant (outputStem): the others are AK files of
    // players outside the event.
    DeleteEntrantsWhereShared,
};

// What a clean-up deletes. In both folders it also deletes the program's
// own temporary files (plat::isTempFileName): what a run killed in the
// middle of a write left there, which nothing else would ever remove. An
// empty folder text deletes nothing there.
struct OldOutputs {
    // The AK output folder, when the event writes output AK files.
    std::string AkOutputFolder;
    OutputAkFiles AkFiles = OutputAkFiles::Keep;
    std::string ResultFolder;
    // The mode's logs in the results folder ("bt_*.*"); empty: none.
    std::string LogPattern;
    // The entrants' own AK files, which may lie in either folder: never
    // deleted.
    std::vector<std::string> Keep;
};

// How a clean-up goes: called before each file it may delete with the
// number of files seen so far and the number it has to see; false stops
// it there.
using CleanupStep = std::function<bool(int done, int total)>;

// Deletes what `what` names: output AK files (".da1" to ".da98",
// ak::isOutputAkName), files matching the log pattern, leftover temporary
// files. Only regular files go; each folder is listed once, from its index.
// False when `step` stopped it.
bool deleteOldOutputs(const OldOutputs& what, const CleanupStep& step = {});

// The clean-up as the first step of a run, shown in the progress window
// (RunHost::showCleanup): its status text while the folders are read, then
// the files gone through so far; "終了" stops it before the next file.
// `clean` does the deleting with the step it is given. False when the run
// was told to stop before the clean-up was over: the mode's body then
// returns at once, as after a cancel between matches (no tables).
bool cleanUpAtRunStart(RunThread& thread, const std::function<bool(const CleanupStep&)>& clean);

// Deletes the output AK files a run wrote (`written`, a file named more
// than once is deleted once), regular files only and none of `keep` (the
// entrants' own files).
void deleteRunOutputs(const std::vector<std::string>& written, const std::vector<std::string>& keep);

} // namespace modes
