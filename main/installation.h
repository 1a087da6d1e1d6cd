// A fresh installation: the game master's data folder laid out with the
// samples shipped beside the program, and its first settings.
//
// The program's own files (the program, its libraries and plug-ins, the
// samples) lie where they were built or installed; what the game master
// keeps (confs, the conf tree, AK files, outputs, results, message sets,
// themes) lives in the data folder, the program folder of every library.
// On Windows an installer recorded where the program lies, and the message
// table took its basic message set from there. Nothing records that here, so
// on a first start (no base message path and no installation record in the
// settings) the program points the base message path at the basic message
// set laid out in the data folder, as a path relative to it.
#pragma once

#include <optional>
#include <string>

namespace vell {

void registerInstallation();

// The samples shipped with the program (an OS path ending in '/'): the
// folder VELL_SAMPLES_FROM_PROGRAM relative to the folder of the program's
// file, lib/corvane-vell/samples beside bin/ of an installation and its
// twin beside the build's program folder.
std::string samplesFolder();

// Lays the samples out in the data folder (both OS paths): every sample
// file that the data folder lacks is copied there (all of them on the
// first start, later only a sample added since or removed), written whole
// or not at all; a file that is there is never touched, so an edited conf,
// a renamed node or an imported AK stay as the game master left them. The
// ".gitkeep" of a sample folder that is empty only makes the folder.
// Returns the OS path of the first entry that could not be laid out (the
// others are still tried), nullopt when everything is in place.
std::optional<std::string> layOutSamples(const std::string& samplesOs, const std::string& dataOs);

} // namespace vell
